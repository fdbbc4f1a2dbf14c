# Validates real --junit files of the simulated mainframe (a verify with a failing
# card, a scan, a failed start) against the JUnit schemas CI servers enforce.
# Skips (exit 77) when the schemas or xmllint are absent.
set(schemas ${SOURCE_DIR}/../shared/third-party/junit-schemas)
find_program(XMLLINT xmllint)
if(NOT EXISTS ${schemas}/ant-JUnit.xsd OR NOT EXISTS ${schemas}/jenkins-xunit-junit-10.xsd OR NOT XMLLINT)
  message("SKIP: no JUnit schemas in ${schemas} or no xmllint")
  cmake_language(EXIT 77)
endif()
set(ENV{LD_LIBRARY_PATH} ${SIM_DIR})
set(ENV{ZENTRA_SIM_SCENARIO} "")
foreach(run "verify" "scan" "verify;--board;7")
  string(REPLACE ";" "_" name "${run}")
  set(file ${WORK_DIR}/junit-${name}.xml)
  execute_process(COMMAND ${CLI} ${run} --junit ${file} OUTPUT_QUIET ERROR_QUIET)
  foreach(schema ant-JUnit.xsd jenkins-xunit-junit-10.xsd)
    execute_process(COMMAND ${XMLLINT} --noout --schema ${schemas}/${schema} ${file}
                    RESULT_VARIABLE failed ERROR_VARIABLE why)
    if(failed)
      message(FATAL_ERROR "${name} against ${schema}: ${why}")
    endif()
  endforeach()
endforeach()
