# A Windows build made on Linux with MinGW-w64 and run under Wine. Its
# libraries come from Debian: SQLite and SQLiteCpp built from its source packages
# by scripts/build-windows-sqlite, GoogleTest built from Debian's sources with the
# cross compiler, CLI11 and nlohmann-json as copies of their host headers (the
# host's include folder itself stays out of the build). The config files in
# cmake/windows hand these targets to the usual find_package calls.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()

set(_valdina_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(COPY /usr/include/CLI DESTINATION ${_valdina_host_headers}/cli11)
file(COPY /usr/include/nlohmann DESTINATION ${_valdina_host_headers}/json)
add_library(valdina_host_cli11 INTERFACE)
add_library(valdina_host_json INTERFACE)
target_include_directories(valdina_host_cli11 SYSTEM INTERFACE ${_valdina_host_headers}/cli11)
target_include_directories(valdina_host_json SYSTEM INTERFACE ${_valdina_host_headers}/json)
add_library(CLI11::CLI11 ALIAS valdina_host_cli11)
add_library(nlohmann_json::nlohmann_json ALIAS valdina_host_json)

set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
foreach(package GTest CLI11 nlohmann_json)
  set(${package}_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "" FORCE)
endforeach()
# SQLite and SQLiteCpp are built for Windows from Debian's sources beforehand.
include(ValdinaWindowsSqlite)

# Tests run under Wine, in a prefix of this build folder. Mono and Gecko are
# never needed, so Wine is told not to offer them.
set(VALDINA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
# A 64-bit program goes straight to Wine's 64-bit loader: Debian's `wine`
# starts the 32-bit one first, which a kernel without 32-bit support cannot run.
set(VALDINA_WINE wine)
set(VALDINA_WINE_LOADER)
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND EXISTS /usr/lib/wine/wine64)
  set(VALDINA_WINE /usr/lib/wine/wine64)
  set(VALDINA_WINE_LOADER WINELOADER=${VALDINA_WINE})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${VALDINA_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= ${VALDINA_WINE_LOADER} ${VALDINA_WINE})
