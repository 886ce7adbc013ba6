# morvante_add_vst3_bundle(<target> BUNDLE_NAME <name> SOURCES <sources...>
#                          [LIBS <libs...>] [RESOURCES_DIR <dir>]
#                          [RESOURCE_GENERATOR <executable target>
#                           RESOURCE_OUTPUTS <file names...>])
# Builds a VST3 bundle <name>.vst3/Contents/x86_64-linux/<name>.so in the
# build tree. The sources must define GetPlugModuleInfo and MakePlug; the
# module entry points come from the binding. Only the entry points are
# exported, and everything but the system libraries is linked in. A resource
# generator is run with the bundle's Contents/Resources folder as its one
# argument whenever it is rebuilt or one of the named outputs is missing
# there; the bundle depends on its output.
include(${CMAKE_CURRENT_LIST_DIR}/PluginModule.cmake)
set(MORVANTE_VST3_INSTALL_DIR "$ENV{HOME}/.vst3" CACHE PATH "Where cmake --install puts the VST3 bundles")

function(morvante_add_vst3_bundle target)
  cmake_parse_arguments(ARG "" "BUNDLE_NAME;RESOURCES_DIR;RESOURCE_GENERATOR" "SOURCES;LIBS;RESOURCE_OUTPUTS" ${ARGN})
  set(bundle_dir ${CMAKE_BINARY_DIR}/${ARG_BUNDLE_NAME}.vst3)
  set(exports ${PROJECT_SOURCE_DIR}/framework/vst3/exports.map)

  # The entry points are compiled into the bundle itself: from a static
  # library nothing would pull them in.
  add_library(${target} MODULE ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/framework/vst3/module_entry.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} morvante_vst3)
  morvante_plugin_module(${target} EXPORTS ${exports})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_BUNDLE_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${bundle_dir}/Contents/x86_64-linux)

  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle_dir}/Contents/Resources)
  # Copy file by file: git keeps no empty folders, so a fresh clone may have
  # no resource folder at all, and copy_directory fails on a missing source.
  if(ARG_RESOURCES_DIR)
    file(GLOB resources CONFIGURE_DEPENDS ${ARG_RESOURCES_DIR}/*)
    if(resources)
      add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${resources} ${bundle_dir}/Contents/Resources)
    endif()
  endif()
  if(ARG_RESOURCE_GENERATOR)
    # The images are drawn at build time, straight into the bundle.
    if(NOT ARG_RESOURCE_OUTPUTS)
      message(FATAL_ERROR "RESOURCE_GENERATOR needs RESOURCE_OUTPUTS")
    endif()
    list(TRANSFORM ARG_RESOURCE_OUTPUTS PREPEND ${bundle_dir}/Contents/Resources/ OUTPUT_VARIABLE outputs)
    add_custom_command(OUTPUT ${outputs}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle_dir}/Contents/Resources
      COMMAND ${ARG_RESOURCE_GENERATOR} ${bundle_dir}/Contents/Resources
      DEPENDS ${ARG_RESOURCE_GENERATOR}
      COMMENT "Drawing the ${ARG_BUNDLE_NAME} images"
      VERBATIM)
    add_custom_target(${target}_resources DEPENDS ${outputs})
    add_dependencies(${target} ${target}_resources)
  endif()
  set_property(TARGET ${target} PROPERTY MORVANTE_BUNDLE_DIR ${bundle_dir})
endfunction()
