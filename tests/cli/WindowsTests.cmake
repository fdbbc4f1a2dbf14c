# valdina-cli.exe under Wine: a verify pass on the stand-in NI-488.2 library
# found in the program's own folder, and the version block of its resources.
add_test(NAME cli_windows_verify COMMAND valdina-cli verify)
set_tests_properties(cli_windows_verify PROPERTIES LABELS cli
  PASS_REGULAR_EXPRESSION "[0-9]+ +0 +1  Good")

# The Windows build recording into its card history and answering from it: a
# verify pass into a fresh store, then that card's history.
set(history_store ${CMAKE_CURRENT_BINARY_DIR}/wine-history.sqlite)
add_test(NAME cli_windows_history_fresh
  COMMAND ${CMAKE_COMMAND} -E rm -f ${history_store} ${history_store}-wal ${history_store}-shm)
set_tests_properties(cli_windows_history_fresh PROPERTIES FIXTURES_SETUP cli_history_fresh)
add_test(NAME cli_windows_history_verify COMMAND valdina-cli verify 1 --history ${history_store})
set_tests_properties(cli_windows_history_verify PROPERTIES LABELS cli FIXTURES_REQUIRED cli_history_fresh
  FIXTURES_SETUP cli_history_recorded PASS_REGULAR_EXPRESSION "[0-9]+ +0 +1  Good")
add_test(NAME cli_windows_history_answers COMMAND valdina-cli history --channel 1 --history ${history_store})
set_tests_properties(cli_windows_history_answers PROPERTIES LABELS cli FIXTURES_REQUIRED cli_history_recorded
  PASS_REGULAR_EXPRESSION "Z +[^ ]+ +[^ ]+ +1 +[0-9]+ +Good  \\[verify 1 --history ")

valdina_add_test(cli_version_info_test
  SOURCES VersionInfoTest.cpp
  LIBS valdina_version version)
target_compile_definitions(cli_version_info_test PRIVATE VALDINA_CLI_PATH="$<TARGET_FILE:valdina-cli>")
add_dependencies(cli_version_info_test valdina-cli)
if(TARGET valdina)
  target_compile_definitions(cli_version_info_test PRIVATE VALDINA_WINDOW_PATH="$<TARGET_FILE:valdina>")
  add_dependencies(cli_version_info_test valdina)
endif()

# Without a driver in reach, doctor names the library this architecture loads
# and how to install it; a copy of the program in a folder of its own.
set(nodriver_dir ${CMAKE_CURRENT_BINARY_DIR}/no-driver)
add_test(NAME cli_windows_no_driver_copy
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:valdina-cli> ${nodriver_dir}/valdina-cli.exe)
set_tests_properties(cli_windows_no_driver_copy PROPERTIES FIXTURES_SETUP cli_no_driver)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(driver_dll ni4882\\.dll)
else()
  set(driver_dll GPIB-32\\.DLL)
endif()
add_test(NAME cli_windows_doctor_without_driver
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${nodriver_dir}/valdina-cli.exe doctor)
set_tests_properties(cli_windows_doctor_without_driver PROPERTIES LABELS cli FIXTURES_REQUIRED cli_no_driver
  PASS_REGULAR_EXPRESSION "FAIL  driver library: ${driver_dll}: [^\n]*\n[^\n]*\n +to do: install the NI-488\\.2 driver, which puts ${driver_dll} ")

# A driver DLL planted in the current folder or on PATH is never loaded: the
# same program copy, started in a folder holding the stand-in under the
# driver's name, with that folder on PATH too, still finds no driver.
set(planted_dir ${CMAKE_CURRENT_BINARY_DIR}/planted-driver)
add_test(NAME cli_windows_planted_driver_copy
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zentra_sim> ${planted_dir}/$<TARGET_FILE_NAME:zentra_sim>)
set_tests_properties(cli_windows_planted_driver_copy PROPERTIES FIXTURES_SETUP cli_planted_driver)
add_test(NAME cli_windows_doctor_ignores_planted_driver
  COMMAND ${CMAKE_COMMAND} -E env WINEPATH=${planted_dir} ${CMAKE_CROSSCOMPILING_EMULATOR}
          ${nodriver_dir}/valdina-cli.exe doctor
  WORKING_DIRECTORY ${planted_dir})
set_tests_properties(cli_windows_doctor_ignores_planted_driver PROPERTIES LABELS cli
  FIXTURES_REQUIRED "cli_no_driver;cli_planted_driver"
  PASS_REGULAR_EXPRESSION "FAIL  driver library: ${driver_dll}: [^\n]*\n +looked in: the program's folder \\([^\n]*no-driver\\), then the system folder \\([^)]*\\); never the current folder or PATH\n")

# Nor is a DLL that the driver itself loads by name at run time: the program,
# next to a stand-in driver that loads valdina-driver-helper.dll on its first
# call, started in that same planted folder which holds a helper of that name.
set(helper_dir ${CMAKE_CURRENT_BINARY_DIR}/driver-loads-helper)
add_test(NAME cli_windows_planted_helper_copy
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_gpib> ${planted_dir}/valdina-driver-helper.dll)
add_test(NAME cli_windows_helper_loading_driver_copy
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_gpib_loads_helper> ${helper_dir}/$<TARGET_FILE_NAME:zentra_sim>)
add_test(NAME cli_windows_helper_loading_program_copy
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:valdina-cli> ${helper_dir}/valdina-cli.exe)
set_tests_properties(cli_windows_planted_helper_copy cli_windows_helper_loading_driver_copy
  cli_windows_helper_loading_program_copy PROPERTIES FIXTURES_SETUP cli_driver_loads_helper)
add_test(NAME cli_windows_driver_helper_never_planted
  COMMAND ${CMAKE_COMMAND} -E env WINEPATH=${planted_dir} ${CMAKE_CROSSCOMPILING_EMULATOR}
          ${helper_dir}/valdina-cli.exe clear
  WORKING_DIRECTORY ${planted_dir})
set_tests_properties(cli_windows_driver_helper_never_planted PROPERTIES LABELS cli
  FIXTURES_REQUIRED cli_driver_loads_helper
  PASS_REGULAR_EXPRESSION "fake driver: valdina-driver-helper\\.dll not found\n")
