# Where `cmake --install` puts the programs' companions: the window's program,
# its desktop entry and icon, and the README. valdina-cli installs itself
# (cli/); the simulated mainframe only on request (VALDINA_INSTALL_SIM, sim/).

set(_valdina_res ${PROJECT_SOURCE_DIR}/res)

if(TARGET valdina)
  install(TARGETS valdina RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${_valdina_res}/valdina.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The icon theme wants a bitmap in the folder of its size; read it from the PNG
# header (width and height are the big-endian words at bytes 16 and 20).
if(EXISTS ${_valdina_res}/valdina.png)
  file(READ ${_valdina_res}/valdina.png _valdina_png_header LIMIT 24 HEX)
  string(SUBSTRING "${_valdina_png_header}" 32 8 _valdina_png_width)
  string(SUBSTRING "${_valdina_png_header}" 40 8 _valdina_png_height)
  math(EXPR _valdina_png_width "0x${_valdina_png_width}")
  math(EXPR _valdina_png_height "0x${_valdina_png_height}")
  install(FILES ${_valdina_res}/valdina.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_valdina_png_width}x${_valdina_png_height}/apps)
endif()
if(EXISTS ${_valdina_res}/valdina.svg)
  install(FILES ${_valdina_res}/valdina.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
if(EXISTS ${_valdina_res}/valdina.xpm)
  install(FILES ${_valdina_res}/valdina.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps)
endif()

# GNUInstallDirs would name the folder after the project (Valdina); packages use
# the program's name.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/valdina)
