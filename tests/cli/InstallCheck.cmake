# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWITH_UI=ON|OFF -DWITH_SIM=ON|OFF -P InstallCheck.cmake
# Installs into a fresh temporary prefix and checks every file that must be there.
string(RANDOM LENGTH 12 _suffix)
set(prefix "${BUILD_DIR}/install-check-${_suffix}")
file(REMOVE_RECURSE "${prefix}")

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE_RECURSE "${prefix}")
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

include(GNUInstallDirs)
set(expected
  "${CMAKE_INSTALL_BINDIR}/valdina-cli"
  "${CMAKE_INSTALL_DATADIR}/applications/valdina.desktop"
  "${CMAKE_INSTALL_DATADIR}/doc/valdina/README.md")
if(WITH_UI)
  list(APPEND expected "${CMAKE_INSTALL_BINDIR}/valdina")
endif()
if(UNIX)
  # Icon=valdina of the desktop entry resolves in the hicolor theme.
  list(APPEND expected
    "${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps/valdina.png"
    "${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps/valdina.png"
    "${CMAKE_INSTALL_MANDIR}/man1/valdina-cli.1.gz"
    "${CMAKE_INSTALL_MANDIR}/man1/valdina.1.gz"
    "${CMAKE_INSTALL_DATADIR}/bash-completion/completions/valdina-cli")
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${prefix}/${file}")
    list(APPEND missing "${file}")
  endif()
endforeach()

# The simulated mainframe is never installed unless asked for.
file(GLOB_RECURSE sim_files "${prefix}/*libgpib*")

# The installed program runs and answers --help without any driver.
execute_process(COMMAND "${prefix}/${CMAKE_INSTALL_BINDIR}/valdina-cli" --help
                RESULT_VARIABLE help_result OUTPUT_VARIABLE help_output ERROR_QUIET)

file(READ "${prefix}/${CMAKE_INSTALL_DATADIR}/applications/valdina.desktop" desktop)
file(REMOVE_RECURSE "${prefix}")

if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()
# Every file is installed once ("Installing:" or "Up-to-date:" per file and rule).
string(REGEX MATCHALL "(Installing|Up-to-date): [^\n]*" installed "${output}")
list(TRANSFORM installed REPLACE "^[^:]*: " "")
list(LENGTH installed installed_count)
list(REMOVE_DUPLICATES installed)
list(LENGTH installed distinct_count)
if(NOT installed_count EQUAL distinct_count)
  message(FATAL_ERROR "some file is installed twice:\n${output}")
endif()
if(sim_files AND NOT WITH_SIM)
  message(FATAL_ERROR "the simulated driver was installed without VALDINA_INSTALL_SIM: ${sim_files}")
endif()
if(NOT help_result EQUAL 0 OR NOT help_output MATCHES "Exit codes")
  message(FATAL_ERROR "installed valdina-cli --help failed (${help_result}): ${help_output}")
endif()
foreach(key "Exec=valdina\n" "Icon=valdina\n" "Type=Application\n")
  string(FIND "${desktop}" "${key}" at)
  if(at LESS 0)
    message(FATAL_ERROR "desktop entry lacks ${key}")
  endif()
endforeach()
