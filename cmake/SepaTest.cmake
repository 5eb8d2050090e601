# sepa_add_test(<name> SOURCES <files...> [LIBS <libs...>] [LABELS <labels...>])
# A GoogleTest program of one of the component's modules, linked with the library of the
# module whose folder calls this (and through it the modules below), the libraries in LIBS and
# the component's resources. CTest runs it under Wine through scripts/run-gtest.sh (the
# cross-compiling emulator), which fails the test unless the program's XML result shows every
# test run to completion. Every program gets the prefix's virtual display.
function(sepa_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  get_filename_component(module ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(NOT TARGET ${module})
    message(FATAL_ERROR "sepa_add_test(${name}): ${CMAKE_CURRENT_SOURCE_DIR} is not the folder of a module library")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${module} sepa_resources sepa_test_support GTest::gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
