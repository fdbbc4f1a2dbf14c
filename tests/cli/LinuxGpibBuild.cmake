# Builds linux-gpib's own user library into PREFIX with the tool beside the
# repository (TOOL: ../shared/tools/build-linux-gpib, which unpacks linux-gpib's
# sources from ../shared/third-party). Without the tool, as in a clone on its
# own, it says so and the test skips; the doctor tests that need the library
# skip with it.
if(NOT EXISTS ${TOOL})
  message("SKIP: linux-gpib's sources are not beside the repository (no ${TOOL}); "
          "the doctor tests against linux-gpib's own library skip too")
  return()
endif()
execute_process(COMMAND ${TOOL} ${PREFIX} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${TOOL} ${PREFIX} failed (${failed})")
endif()
