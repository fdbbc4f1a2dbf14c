# valdina-cli.exe under Wine: a verify pass on the stand-in NI-488.2 library
# found in the program's own folder, and the version block of its resources.
add_test(NAME cli_windows_verify COMMAND valdina-cli verify)
set_tests_properties(cli_windows_verify PROPERTIES LABELS cli
  PASS_REGULAR_EXPRESSION "[0-9]+ +0 +1  Good")

valdina_add_test(cli_version_info_test
  SOURCES VersionInfoTest.cpp
  LIBS valdina_version version)
target_compile_definitions(cli_version_info_test PRIVATE VALDINA_CLI_PATH="$<TARGET_FILE:valdina-cli>")
add_dependencies(cli_version_info_test valdina-cli)
