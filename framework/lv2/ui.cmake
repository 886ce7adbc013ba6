# The user interface's module of MORVANTE.lv2: the editor on the windowed
# engine. Its images are the bundle's resources.
add_library(morvante_lv2_editor STATIC lv2_ui.cpp lv2_idle_run_loop.cpp)
target_include_directories(morvante_lv2_editor PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(morvante_lv2_editor PUBLIC morvante_lv2 morvante_graphics morvante_lice)

morvante_add_lv2_module(morvante_lv2_ui
  BUNDLE_DIR ${MORVANTE_LV2_BUNDLE_DIR}
  OUTPUT_NAME MORVANTE_ui
  EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/ui_exports.map
  SOURCES lv2_ui_entry.cpp make_lv2_plug.cpp
  LIBS morvante_lv2_editor morvante_effect_lv2 morvante_graphics_linux)
set(lv2_ui_binary MORVANTE_ui.so)
list(APPEND lv2_bundle_modules morvante_lv2_ui)
