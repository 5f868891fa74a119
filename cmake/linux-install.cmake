# The Linux release: `cmake --install` puts korvel, korvel-sim, the voice, the sample configuration
# and the man page in place; `cpack` makes a .deb whose dependencies dpkg-shlibdeps works out from
# the binaries (SDL2, SDL2_ttf, fontconfig, libcsv, libsonic, the C++ runtime), plus the font the window asks for.
include(GNUInstallDirs)

install(TARGETS korvel korvel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${KORVEL_WAVE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvel/wave PATTERN .stamp EXCLUDE)
install(FILES korvel.cfg.example DESTINATION ${CMAKE_INSTALL_DATADIR}/korvel)
install(FILES packaging/korvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvel developers <korvel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard-driven, speaking front panel for Yaesu transceivers")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvel talks to a Yaesu transceiver over its CAT serial port and answers every key press with
spoken words, for operators who work the radio by ear. It includes korvel-sim, a simulated
transceiver on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# --speech=system speaks through speech-dispatcher, --braille shows on a display BRLTTY drives.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "speech-dispatcher, brltty")
include(CPack)
