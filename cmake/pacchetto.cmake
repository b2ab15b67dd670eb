# SPDX-License-Identifier: MIT
# The Debian package: `./build.sh package` leaves build/tabellone_1.0.4_amd64.deb.

# What the program loads at run time, which the shared-library scan cannot see:
# the platform plugins, the Italian Qt
# translations, the fonts that stand in for the ones asked for by name, and
# the speech service with an Italian voice for "Annuncio a voce".
set(TABELLONE_DIPENDENZE_AVVIO
    qt6-qpa-plugins
    qt6-translations-l10n
    fonts-liberation2
    fonts-quicksand
    fonts-dancingscript
    qt6-speech-speechd-plugin
    speech-dispatcher
    speech-dispatcher-espeak-ng
)

# Debian keeps each package's licence here.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tabellone RENAME copyright)
# The source is MIT; the program links Qt HttpServer (GPL-3.0 only), so the
# package as a whole is distributed under GPL-3.0 terms: its text goes with it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/LICENSES/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tabellone/licenze)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabellone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tabellone Tombola")
set(CPACK_PACKAGE_CONTACT "Tabellone Tombola <tabellone@tabellone.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tabellone elettronico per giocare a tombola")
set(CPACK_PACKAGE_DESCRIPTION
    "Il tabellone della tombola da mostrare su un grande schermo: doppio clic sul\n\
numero chiamato, che viene annunciato con il suo commento della smorfia. La\n\
partita è registrata a ogni numero e riprende alla prossima apertura.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY tabellone)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN TABELLONE_DIPENDENZE_AVVIO ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
