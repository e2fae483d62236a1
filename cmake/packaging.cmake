# Installation of the two programs with their manual pages, and the packages
# cpack makes from it: a .deb on Linux (programs in /usr/bin), a .zip for
# Windows with the programs and the README at its top.
include(GNUInstallDirs)

if(WIN32)
  set(VORKANE_PROGRAM_DIR .)
  set(VORKANE_DOC_DIR .)
else()
  set(VORKANE_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
  set(VORKANE_DOC_DIR ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/man/vorkane.1 ${PROJECT_SOURCE_DIR}/man/vorkane-data.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endif()
install(TARGETS vorkane vorkane-data RUNTIME DESTINATION ${VORKANE_PROGRAM_DIR} COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VORKANE_DOC_DIR} COMPONENT programs)

set(CPACK_PACKAGE_NAME vorkane)
set(CPACK_PACKAGE_VENDOR "vorkane developers")
set(CPACK_PACKAGE_CONTACT "vorkane developers <vorkane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Heliocentric positions and velocities of the planets, Pluto and the Moon from DE440")
set(CPACK_PACKAGE_DESCRIPTION
    "vorkane evaluates the DE440 planetary ephemeris for one date in the x87 80-bit extended format, so results agree to the last bit; vorkane-data makes its data file from the DE440 files JPL publishes.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES OFF)  # call-stack traces need the debug information
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The programs are linked statically: no shared library to depend on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
