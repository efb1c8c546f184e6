# vexa_add_test(<name> SOURCES <files> LIBS <targets>)
# Builds one Qt Test executable and registers it with CTest. Tests run headless
# (offscreen platform), with test-mode standard paths, from their own build folder.
function(vexa_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS} vexa_warnings)
  # Shared test helpers live in tests/support ("support/WidgetFinder.h").
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VEXA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    VEXA_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# vexa_add_test_dir(LIBS <targets> [TIMEOUT s])
# Every tst_<name>.cpp in the calling folder becomes the test <folder>_<name>, the folder
# being its path below tests/ with "_" for "/" (tests/app/ui/tst_mainwindow.cpp: app_ui_mainwindow).
function(vexa_add_test_dir)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" folder "${folder}")
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(source ${tests})
    get_filename_component(stem ${source} NAME_WE)
    string(REGEX REPLACE "^tst_" "" stem ${stem})
    vexa_add_test(${folder}_${stem} SOURCES ${source} LIBS ${ARG_LIBS} TIMEOUT ${ARG_TIMEOUT})
  endforeach()
endfunction()
