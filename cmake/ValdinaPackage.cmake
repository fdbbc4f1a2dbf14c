# `make package`: two Debian packages from the install components. "valdina" holds
# the programs and never the simulator; "valdina-sim" the simulated mainframe and
# its launcher. Dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME valdina)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VALDINA_PACKAGE_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL valdina sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_VALDINA_PACKAGE_NAME valdina)
set(CPACK_COMPONENT_VALDINA_DESCRIPTION
  "maintenance tool for the Zentra instrument mainframe on GPIB
Finds the channel cards of a Zentra mainframe on a GPIB (IEEE-488) bus,
verifies each card's EEPROM (block checksums and a gain self-test), shows
every card's verdict, exports the table as a text report and reads and
writes single EEPROM bytes. The window program is valdina; valdina-cli does
the same for scripts and production lines, with JSON and JUnit XML output.
It needs a GPIB driver library (libgpib.so.0); valdina-sim provides a
simulated mainframe to try it without hardware.")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME valdina-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_SIM_PACKAGE_DEPENDS "valdina (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_SIM_DESCRIPTION
  "simulated Zentra mainframe for valdina
A drop-in GPIB driver library (libgpib.so.0, in /usr/lib/valdina-sim) that
simulates a Zentra mainframe with its channel cards, and valdina-demo, which
starts the valdina window on it, so the tool can be tried without hardware.")

include(CPack)
