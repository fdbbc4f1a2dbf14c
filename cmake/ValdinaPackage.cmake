# `make package`: three Debian packages from the install components.
# "valdina-cli" (component cli) needs only the C and C++ libraries and nettle (the
# image record's SHA-256), so a headless machine takes it alone; "valdina" (the window) depends on it; "valdina-sim" holds
# the simulated mainframe and its launcher and is never needed by the others.
# Dependencies come from dpkg-shlibdeps; ValdinaDebianCPack.cmake finishes the
# set-up at cpack time, ValdinaDebianStrip.cmake strips as Debian does.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME valdina)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VALDINA_PACKAGE_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ValdinaDebianCPack.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ValdinaDebianStrip.cmake)
set(CPACK_VALDINA_STRIP ${CMAKE_STRIP})
set(CPACK_VALDINA_SIM_LIBRARY ${VALDINA_SIM_DIR}/libgpib.so.0)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli valdina sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# The first line of each description is that package's summary.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME valdina-cli)
set(CPACK_COMPONENT_CLI_DESCRIPTION
  "checks the EEPROMs of Zentra mainframe channel cards over GPIB
Finds the channel cards of a Zentra mainframe on a GPIB (IEEE-488) bus,
verifies each card's EEPROM (block checksums and a gain self-test) and prints
every card's verdict, as a text report, JSON or JUnit XML for a CI server. It
also reads and writes single EEPROM bytes and sends a GPIB Device Clear; its
exit status says whether every card is good. Made for scripts and production
lines: it needs no display. The window is in the package valdina.
It needs a GPIB driver library (libgpib.so.0, from linux-gpib); valdina-sim
provides a simulated mainframe to try it without hardware.")

set(CPACK_DEBIAN_VALDINA_PACKAGE_NAME valdina)
set(CPACK_DEBIAN_VALDINA_PACKAGE_DEPENDS "valdina-cli (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_VALDINA_DESCRIPTION
  "desktop window to scan and verify Zentra mainframe channel cards
The operator window of Zentra EEPROM Verify: finds the channel cards of a
Zentra mainframe on a GPIB (IEEE-488) bus, verifies each card's EEPROM (block
checksums and a gain self-test), shows every card's verdict with a coloured
lamp, exports the table as a text report and reads and writes single EEPROM
bytes. The same checks without a window are valdina-cli, which this package
brings along.")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME valdina-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_DEPENDS "valdina (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_SIM_DESCRIPTION
  "simulated Zentra mainframe to try valdina without hardware
A drop-in GPIB driver library (libgpib.so.0, in /usr/lib/valdina-sim) that
simulates a Zentra mainframe with its channel cards, and valdina-demo, which
starts the valdina window on it from the desktop menu, so the tool can be
tried without hardware. It never replaces a real driver: only programs given
its folder on LD_LIBRARY_PATH use it.")

include(CPack)
