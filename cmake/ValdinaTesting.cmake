# Test helpers shared by every test folder.
find_package(GTest REQUIRED)
include(GoogleTest)

# valdina_add_test(NAME SOURCES ... LIBS ... [SIM] [FIXTURE name])
# FIXTURE: every test of NAME runs after the ctest fixture of that name is set up.
# SIM: the test loads the simulated mainframe through the loader's search path,
# exactly as the program does on a bench without hardware.
# Each test carries one label, its folder under tests/ (ctest -L sim, -L ui...).
# gtest_discover_tests hands list-valued properties on unescaped, so every
# property here holds a single value.
function(valdina_add_test name)
  cmake_parse_arguments(T "SIM" "FIXTURE" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  get_filename_component(label ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(properties LABELS ${label})
  if(T_SIM)
    add_dependencies(${name} zentra_sim)
    list(APPEND properties ENVIRONMENT "LD_LIBRARY_PATH=${VALDINA_SIM_DIR}")
  endif()
  if(T_FIXTURE)
    list(APPEND properties FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  # Under an emulator (Wine) the tests are listed when ctest runs, not in the build.
  set(discovery)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(discovery DISCOVERY_MODE PRE_TEST)
  endif()
  gtest_discover_tests(${name} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60 ${discovery})
endfunction()
