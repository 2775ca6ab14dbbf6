# corvin_add_test(<name> LABEL <label> SOURCES <files...> LIBS <targets...> [QT])
# Builds one GoogleTest program and registers each of its tests with CTest under a layer label.
# QT programs get the main of tests/support that creates a QApplication (offscreen by default).
include(GoogleTest)

function(corvin_add_test name)
  cmake_parse_arguments(T "QT" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE corvin_test_qtmain ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL} TIMEOUT 300)
endfunction()
