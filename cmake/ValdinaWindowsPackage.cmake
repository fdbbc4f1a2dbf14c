# `make package-windows`: per architecture, a zip and an installer
# (valdina-VERSION-windows-ARCH-setup.exe, NSIS) with the window, valdina-cli.exe,
# the README, a note on the NI-488.2 library the programs load, SQLiteCpp's
# licence and, when the window is in, Qt's LGPL-3.0 notice.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VALDINA_WINDOWS_ARCH x86)
  set(VALDINA_WINDOWS_BITS 32)
  set(VALDINA_WINDOWS_DRIVER GPIB-32.DLL)
  set(VALDINA_WINDOWS_STATUS "the exported variables user_ibsta, user_iberr and user_ibcntl")
else()
  set(VALDINA_WINDOWS_ARCH x64)
  set(VALDINA_WINDOWS_BITS 64)
  set(VALDINA_WINDOWS_DRIVER ni4882.dll)
  set(VALDINA_WINDOWS_STATUS "the exported functions Ibsta, Iberr and Ibcnt")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/GPIB-DRIVER.txt.in ${CMAKE_BINARY_DIR}/packaging/GPIB-DRIVER.txt @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/packaging/GPIB-DRIVER.txt
        DESTINATION . COMPONENT valdina)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT valdina)
endif()
# SQLiteCpp, linked into the programs, is MIT-licensed: its notice goes with them.
# (SQLite itself is in the public domain.)
if(EXISTS ${VALDINA_WINDOWS_SQLITE}/share/doc/SQLiteCpp/LICENSE.txt)
  install(FILES ${VALDINA_WINDOWS_SQLITE}/share/doc/SQLiteCpp/LICENSE.txt DESTINATION .
          RENAME SQLITECPP-LICENSE.txt COMPONENT valdina)
endif()
if(TARGET valdina)
  set(VALDINA_QT_VERSION ${Qt6_VERSION})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/QT-NOTICE.txt.in ${CMAKE_BINARY_DIR}/packaging/QT-NOTICE.txt @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/QT-NOTICE.txt DESTINATION . COMPONENT valdina)
  install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.0.txt COMPONENT valdina)
  install(FILES /usr/share/common-licenses/GPL-3 DESTINATION . RENAME GPL-3.0.txt COMPONENT valdina)
endif()

set(CPACK_GENERATOR ZIP)
if(TARGET valdina)
  list(APPEND CPACK_GENERATOR NSIS)
endif()
set(CPACK_PACKAGE_NAME valdina)
set(CPACK_PACKAGE_VENDOR Valdina)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_SYSTEM_NAME windows-${VALDINA_WINDOWS_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
# Everything a Windows build installs is the one component "valdina": one zip
# folder, and an installer without a component page.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

# The installer: one folder under Program Files, a Start-menu entry for the
# window, an uninstaller.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Valdina)
set(CPACK_NSIS_PACKAGE_NAME "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_DISPLAY_NAME "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_PACKAGE_EXECUTABLES valdina "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME valdina.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/valdina.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/valdina.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
if(VALDINA_WINDOWS_BITS EQUAL 64)
  # A 64-bit installer (NSIS's amd64 stubs) for the 64-bit programs; CPack's
  # template has no setting for the target, so it rides on the compressor line.
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma\n  Target amd64-unicode")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
endif()
# The zip keeps its plain name; the installer says what it is.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ValdinaCPackNames.cmake)
include(CPack)
