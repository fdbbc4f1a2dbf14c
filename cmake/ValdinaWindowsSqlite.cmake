# SQLite and SQLiteCpp for a Windows build made on Linux: the static ones that
# scripts/build-windows-sqlite makes from Debian's source packages and puts
# into the cache. VALDINA_WINDOWS_SQLITE names another installation folder.
include(ValdinaWindowsCache)
set(VALDINA_WINDOWS_SQLITE ${VALDINA_WINDOWS_CACHE}/sqlite-3.40.1-windows-${VALDINA_WINDOWS_ARCH} CACHE PATH
    "Installation folder of SQLite and SQLiteCpp for this Windows architecture")

if(NOT EXISTS ${VALDINA_WINDOWS_SQLITE}/lib/cmake/SQLiteCpp/SQLiteCppConfig.cmake)
  message(FATAL_ERROR "No SQLite for Windows in ${VALDINA_WINDOWS_SQLITE}: run "
          "scripts/build-windows-sqlite ${VALDINA_WINDOWS_ARCH} (a minute or two; scripts/test-windows runs it), "
          "then configure again.")
endif()
# Searched like the MinGW-w64 libraries: SQLiteCppConfig.cmake, and the
# header and library that CMake's FindSQLite3 looks for on its behalf.
list(APPEND CMAKE_PREFIX_PATH ${VALDINA_WINDOWS_SQLITE})
list(APPEND CMAKE_FIND_ROOT_PATH ${VALDINA_WINDOWS_SQLITE})
