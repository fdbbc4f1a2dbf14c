# The manual pages: scdoc sources in docs/man, turned into roff and compressed
# (gzip -n: the same bytes on every build) when the project builds.
find_program(VALDINA_SCDOC scdoc REQUIRED)
find_program(VALDINA_GZIP gzip REQUIRED)

set(VALDINA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(VALDINA_MAN_PAGES valdina valdina-cli valdina-demo)
set(_valdina_man_outputs)
foreach(page IN LISTS VALDINA_MAN_PAGES)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1.scd)
  add_custom_command(
    OUTPUT ${VALDINA_MAN_DIR}/${page}.1 ${VALDINA_MAN_DIR}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -DSCDOC=${VALDINA_SCDOC} -DGZIP=${VALDINA_GZIP}
            -DSOURCE=${source} -DOUTPUT=${VALDINA_MAN_DIR}/${page}.1 -P ${CMAKE_CURRENT_LIST_DIR}/ScdocPage.cmake
    DEPENDS ${source} ${CMAKE_CURRENT_LIST_DIR}/ScdocPage.cmake
    VERBATIM)
  list(APPEND _valdina_man_outputs ${VALDINA_MAN_DIR}/${page}.1.gz)
endforeach()
add_custom_target(valdina_man_pages ALL DEPENDS ${_valdina_man_outputs})
