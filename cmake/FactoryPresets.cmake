# The factory presets as VST3 preset files, generated into the build tree
# (build/CONFIG/presets/vst3) whenever the table changes, and installed
# where Linux VST3 hosts browse presets: ~/.vst3/presets/<maker>/<plug-in>
# with the vst3 component, /usr/share/vst3/presets/<maker>/<plug-in> with
# the system_vst3_presets component (the Debian package's).
set(MORVANTE_VST3_PRESETS_DIR ${CMAKE_BINARY_DIR}/presets/vst3)
set(MORVANTE_VST3_PRESETS_SUBDIR presets/Penvarrowsonics/MORVANTE)
add_custom_command(OUTPUT ${MORVANTE_VST3_PRESETS_DIR}/.generated
  COMMAND morvante-factory-presets --vst3 ${MORVANTE_VST3_PRESETS_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${MORVANTE_VST3_PRESETS_DIR}/.generated
  DEPENDS morvante-factory-presets
  COMMENT "Writing the factory presets"
  VERBATIM)
add_custom_target(morvante_vst3_presets ALL DEPENDS ${MORVANTE_VST3_PRESETS_DIR}/.generated)

install(DIRECTORY ${MORVANTE_VST3_PRESETS_DIR}/ DESTINATION ${MORVANTE_VST3_INSTALL_DIR}/${MORVANTE_VST3_PRESETS_SUBDIR}
  COMPONENT vst3 FILES_MATCHING PATTERN "*.vstpreset")
install(DIRECTORY ${MORVANTE_VST3_PRESETS_DIR}/ DESTINATION share/vst3/${MORVANTE_VST3_PRESETS_SUBDIR}
  COMPONENT system_vst3_presets EXCLUDE_FROM_ALL FILES_MATCHING PATTERN "*.vstpreset")
