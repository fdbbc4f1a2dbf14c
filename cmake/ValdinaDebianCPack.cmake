# Read by cpack (CPACK_PROJECT_CONFIG_FILE) once the generator is known.

# Each package's summary is the first line of its own description; CPack would
# put the project's one-line description above it.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)

# CPack gives any package with a shared library below /usr/lib maintainer scripts
# that run ldconfig. The simulator's lies in a folder of its own, off the loader's
# path on purpose, so that would be useless: its dependencies are taken from
# dpkg-shlibdeps here instead of by CPack, which then adds no scripts.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(_work ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/sim-shlibdeps)
  file(MAKE_DIRECTORY ${_work}/debian)
  file(TOUCH ${_work}/debian/control)
  execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_VALDINA_SIM_LIBRARY}
                  WORKING_DIRECTORY ${_work} RESULT_VARIABLE _result
                  OUTPUT_VARIABLE _depends ERROR_VARIABLE _errors OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT _result EQUAL 0 OR NOT _depends MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "dpkg-shlibdeps ${CPACK_VALDINA_SIM_LIBRARY} failed: ${_errors}")
  endif()
  set(CPACK_DEBIAN_SIM_PACKAGE_SHLIBDEPS OFF)
  string(APPEND CPACK_DEBIAN_SIM_PACKAGE_DEPENDS ", ${CMAKE_MATCH_1}")
endif()
