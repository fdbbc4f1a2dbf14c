# cmake -DSCDOC=... -DGZIP=... -DSOURCE=page.1.scd -DOUTPUT=page.1 -P ScdocPage.cmake
# Writes OUTPUT (roff) and OUTPUT.gz; a failure leaves neither behind.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${SCDOC}" INPUT_FILE "${SOURCE}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(result EQUAL 0)
  execute_process(COMMAND "${GZIP}" -9 -n -c "${OUTPUT}" OUTPUT_FILE "${OUTPUT}.gz" RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}" "${OUTPUT}.gz")
  message(FATAL_ERROR "${SOURCE}: scdoc or gzip failed (${result})")
endif()
