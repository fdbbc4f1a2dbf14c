# Test helpers shared by every test folder.
find_package(GTest REQUIRED)
include(GoogleTest)

# valdina_add_test(NAME SOURCES ... LIBS ... [SIM] [LABELS ...])
# SIM: the test loads the simulated mainframe through the loader's search path,
# exactly as the program does on a bench without hardware.
function(valdina_add_test name)
  cmake_parse_arguments(T "SIM" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  set(env "")
  if(T_SIM)
    add_dependencies(${name} zentra_sim)
    list(APPEND env "LD_LIBRARY_PATH=${VALDINA_SIM_DIR}")
  endif()
  list(APPEND env "QT_QPA_PLATFORM=offscreen")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "${env}" LABELS "${T_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()
