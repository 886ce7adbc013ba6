# morvante_add_lv2_module(<target> BUNDLE_DIR <dir> OUTPUT_NAME <name>
#                         EXPORTS <version script> SOURCES <sources...>
#                         [LIBS <libs...>])
# Builds one module of an LV2 bundle, <dir>/<name>.so. Only the symbols the
# version script names are exported, and everything but the system
# libraries is linked in. The processing module and the user interface's
# module are each made with it.
include(${CMAKE_CURRENT_LIST_DIR}/PluginModule.cmake)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LV2 REQUIRED IMPORTED_TARGET lv2)
set(MORVANTE_LV2_INSTALL_DIR "$ENV{HOME}/.lv2" CACHE PATH "Where cmake --install puts the LV2 bundles")

function(morvante_add_lv2_module target)
  cmake_parse_arguments(ARG "" "BUNDLE_DIR;OUTPUT_NAME;EXPORTS" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} PkgConfig::LV2)
  morvante_plugin_module(${target} EXPORTS ${ARG_EXPORTS})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${ARG_BUNDLE_DIR})
endfunction()
