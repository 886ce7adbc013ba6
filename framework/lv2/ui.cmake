# The user interface's module of MORVANTE.lv2: the editor on the windowed
# engine, and the images it loads from the bundle's resources folder.
add_library(morvante_lv2_editor STATIC lv2_ui.cpp lv2_idle_run_loop.cpp)
target_include_directories(morvante_lv2_editor PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(morvante_lv2_editor PUBLIC morvante_lv2 morvante_graphics morvante_lice)

morvante_add_lv2_module(morvante_lv2_ui
  BUNDLE_DIR ${MORVANTE_LV2_BUNDLE_DIR}
  OUTPUT_NAME MORVANTE_ui
  EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/ui_exports.map
  SOURCES lv2_ui_entry.cpp make_lv2_plug.cpp
  LIBS morvante_lv2_editor morvante_effect_lv2 morvante_graphics_linux)

# The images are drawn at build time, straight into the bundle, as for the
# VST3 bundle.
set(morvante_lv2_resources ${MORVANTE_LV2_BUNDLE_DIR}/resources)
add_custom_command(OUTPUT ${morvante_lv2_resources}/BG.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${morvante_lv2_resources}
  COMMAND morvante-artwork ${morvante_lv2_resources}
  DEPENDS morvante-artwork
  COMMENT "Drawing the MORVANTE.lv2 images"
  VERBATIM)
add_custom_target(morvante_lv2_resources DEPENDS ${morvante_lv2_resources}/BG.png)
add_dependencies(morvante_lv2_ui morvante_lv2_resources)
