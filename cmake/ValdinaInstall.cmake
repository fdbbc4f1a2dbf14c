# What `cmake --install` and the packages put where, by component (one Debian
# package each). "cli": valdina-cli (installed by cli/), its manual page and bash
# completion. "valdina": the window, its desktop entry, icons and manual page.
# "sim": the simulated mainframe in lib/valdina-sim, the valdina-demo launcher and
# its desktop entry, installed only on request (VALDINA_INSTALL_SIM) or into its
# own package, never over a real driver. Each package's doc folder holds the
# users' README, the copyright and a changelog.

set(_valdina_res ${PROJECT_SOURCE_DIR}/res)
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

if(UNIX)
  install(TARGETS zentra_sim LIBRARY DESTINATION lib/valdina-sim COMPONENT sim ${_valdina_sim_only})
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/sim/valdina-demo DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT sim ${_valdina_sim_only})
  install(FILES ${_valdina_res}/valdina-demo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT sim ${_valdina_sim_only})

  include(ValdinaIcons)
  foreach(size IN LISTS VALDINA_ICON_SIZES)
    install(FILES ${VALDINA_ICON_DIR}/${size}x${size}/valdina.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT valdina)
  endforeach()

  include(ValdinaManPages)
  install(FILES ${VALDINA_MAN_DIR}/valdina.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT valdina)
  install(FILES ${VALDINA_MAN_DIR}/valdina-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
  install(FILES ${VALDINA_MAN_DIR}/valdina-demo.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT sim ${_valdina_sim_only})

  install(FILES ${PROJECT_SOURCE_DIR}/cli/completion/valdina-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT cli)
  # Lintian's word for a message of a library linked in, which is not ours to mend.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian/valdina-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT cli)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian/valdina
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT valdina)

  # GNUInstallDirs would name the doc folder after the project (Valdina); packages
  # use their own names.
  set(VALDINA_PACKAGE_CONTACT "Valdina maintainers <valdina@example.org>" CACHE STRING
      "Maintainer of the Debian packages: name and mail address")
  string(TIMESTAMP VALDINA_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  foreach(component cli valdina sim)
    set(VALDINA_PACKAGE valdina-${component})
    set(only)
    if(component STREQUAL "valdina")
      set(VALDINA_PACKAGE valdina)
    elseif(component STREQUAL "sim")
      set(only ${_valdina_sim_only})
    endif()
    set(folder ${CMAKE_BINARY_DIR}/packaging/${VALDINA_PACKAGE})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${folder}/changelog @ONLY)
    execute_process(COMMAND gzip -9 -n -f ${folder}/changelog RESULT_VARIABLE _valdina_gzip)
    if(NOT _valdina_gzip EQUAL 0)
      message(FATAL_ERROR "gzip ${folder}/changelog failed")
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
                  ${folder}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VALDINA_PACKAGE} COMPONENT ${component} ${only})
  endforeach()

  include(ValdinaPackage)
endif()
