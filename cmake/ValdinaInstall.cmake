# What `cmake --install` and the packages put where. Component "valdina": the
# window, its desktop entry and icons, the manual pages, the bash completion and
# the README (valdina-cli installs itself, cli/). Component "sim": the simulated
# mainframe in lib/valdina-sim and the valdina-demo launcher, installed only on
# request (VALDINA_INSTALL_SIM) or into its own package, never over a real driver.

set(_valdina_res ${PROJECT_SOURCE_DIR}/res)
# GNUInstallDirs would name the folder after the project (Valdina); packages use
# the program's name.
set(_valdina_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/valdina)
set(_valdina_sim_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/valdina-sim)
set(_valdina_sim_only)
if(NOT VALDINA_INSTALL_SIM)
  set(_valdina_sim_only EXCLUDE_FROM_ALL)
endif()

if(TARGET valdina)
  install(TARGETS valdina RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT valdina)
endif()
if(WIN32)
  include(ValdinaWindowsPackage)
  return()
endif()
install(FILES ${_valdina_res}/valdina.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT valdina)
install(FILES ${_valdina_res}/valdina32.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME valdina.xpm
        COMPONENT valdina)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${_valdina_doc} COMPONENT valdina)

if(UNIX)
  install(TARGETS zentra_sim LIBRARY DESTINATION lib/valdina-sim COMPONENT sim ${_valdina_sim_only})
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/sim/valdina-demo DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT sim ${_valdina_sim_only})

  include(ValdinaIcons)
  foreach(size IN LISTS VALDINA_ICON_SIZES)
    install(FILES ${VALDINA_ICON_DIR}/${size}x${size}/valdina.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT valdina)
  endforeach()

  include(ValdinaManPages)
  install(FILES ${VALDINA_MAN_DIR}/valdina.1.gz ${VALDINA_MAN_DIR}/valdina-cli.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT valdina)
  install(FILES ${VALDINA_MAN_DIR}/valdina-demo.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT sim ${_valdina_sim_only})

  install(FILES ${PROJECT_SOURCE_DIR}/cli/completion/valdina-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT valdina)

  # Every package carries its copyright and changelog in its own doc folder.
  set(VALDINA_PACKAGE_CONTACT "Valdina maintainers <valdina@example.org>" CACHE STRING
      "Maintainer of the Debian packages: name and mail address")
  string(TIMESTAMP VALDINA_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  foreach(VALDINA_PACKAGE valdina valdina-sim)
    set(folder ${CMAKE_BINARY_DIR}/packaging/${VALDINA_PACKAGE})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${folder}/changelog @ONLY)
    execute_process(COMMAND gzip -9 -n -f ${folder}/changelog RESULT_VARIABLE _valdina_gzip)
    if(NOT _valdina_gzip EQUAL 0)
      message(FATAL_ERROR "gzip ${folder}/changelog failed")
    endif()
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/valdina/changelog.gz
          DESTINATION ${_valdina_doc} COMPONENT valdina)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/valdina-sim/changelog.gz
          DESTINATION ${_valdina_sim_doc} COMPONENT sim ${_valdina_sim_only})

  include(ValdinaPackage)
endif()
