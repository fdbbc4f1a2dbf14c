# Debian's hardening flags (stack protector, fortified functions, full RELRO with
# immediate binding) from dpkg-buildflags, for the builds the packages are made
# from: native release builds on a Debian system. Sanitizer and fuzzing builds
# bring their own instrumentation.
find_program(VALDINA_DPKG_BUILDFLAGS dpkg-buildflags)
set(_valdina_flags_default OFF)
if(VALDINA_DPKG_BUILDFLAGS AND NOT CMAKE_CROSSCOMPILING AND NOT VALDINA_SANITIZE AND NOT VALDINA_FUZZ)
  set(_valdina_flags_default ON)
endif()
option(VALDINA_DEBIAN_BUILDFLAGS "Compile and link with dpkg-buildflags' hardening flags" ${_valdina_flags_default})

if(VALDINA_DEBIAN_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # Run from the source folder: its path is mapped to "." in the debug information.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${VALDINA_DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
