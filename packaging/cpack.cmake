# The Debian package, made by CPack from the install rules: `cmake --workflow --preset deb`
# writes build/deb/zubeki_<version>_<arch>.deb. The preset installs the programs in
# /usr/games and the game's own folder in /usr/lib/games/zubeki, as Debian's games do.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zubeki)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The ZUBEKI project")
set(CPACK_PACKAGE_CONTACT "The ZUBEKI project <zubeki@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "board game of rooks and bishops on a shogi board")
set(CPACK_PACKAGE_DESCRIPTION
  "ZUBEKI is a game for two sides on a 9x9 board drawn like a shogi board,\n"
  "played with rooks and bishops only. Pieces slide like shogi's rook and\n"
  "bishop. An enemy group left without an empty neighbour vanishes and the\n"
  "side that surrounded it wins, and filling the enemy's corner wins too.\n"
  "\n"
  "Play another person at the same mouse or the computer at four levels,\n"
  "step through the moves of a game, and save and replay game records.\n"
  "zubeki-cli replays, analyses and self-plays records from the command line;\n"
  "zubeki-engine is the computer player for any GUI or script over a text protocol;\n"
  "zubeki-server lets two people play from two computers.")
# (The pieces above are joined as they stand: the text carries no semicolon.)
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zubeki.example.org/)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library dependencies come from dpkg-shlibdeps (zubeki-server's Qt WebSockets and SQLite
# among them); what the programs load by name is named here: the Mincho font the window's texts are set in and Qt's Japanese translation (the
# buttons of the message boxes).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-mincho, qt6-translations-l10n")

include(CPack)
