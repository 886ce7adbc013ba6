# morvante_plugin_module(<target> EXPORTS <version script>)
# What every plug-in module of any format gets: only the symbols the version
# script names are exported, inline and other symbols stay hidden, and in a
# plain build nothing may stay unresolved but the system libraries.
function(morvante_plugin_module target)
  cmake_parse_arguments(ARG "" "EXPORTS" "" ${ARGN})
  target_link_options(${target} PRIVATE -Wl,--version-script=${ARG_EXPORTS})
  if(NOT MORVANTE_SANITIZE AND NOT MORVANTE_TSAN AND NOT MORVANTE_FUZZ)
    # Sanitizer runtimes come from the host process, so only a plain build
    # can insist that everything else resolves inside the module.
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".so"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${ARG_EXPORTS})
endfunction()
