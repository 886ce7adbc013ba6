# morvante_add_test(<name> LIBS <libs...> [LABELS <labels...>])
# Builds every *.cpp in the calling folder into one GoogleTest executable and
# registers its cases with CTest.
function(morvante_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE MORVANTE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(labels ${ARG_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  # The editor reads its per-user settings and the desktop's scale: tests
  # start from none of the user's own.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${labels}"
    ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config;GDK_SCALE=")
endfunction()

find_package(Threads REQUIRED)
