# The Debian package: `cpack -G DEB` in the build folder lays the installation out under
# /usr. The libraries it needs are found by dpkg-shlibdeps; the fonts and the sound font
# are data the program looks up at run time, xdg-utils the opener of the help file.
set(CPACK_PACKAGE_NAME velmorandi)
set(CPACK_PACKAGE_VENDOR "Velmorandi developers")
set(CPACK_PACKAGE_CONTACT "Velmorandi developers <velmorandi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "screensaver: a caterpillar spells out Japanese four-character idioms")
# The control file's lines stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "A caterpillar walks a board of kanji leaves and spells out four-character\n\
idioms with their readings and meanings. Runs as a hack of the X screensaver\n\
daemon (velmorandi --add-to-xscreensaver lists it there) and in MATE's\n\
screensaver list, or full screen on every monitor; a settings dialog sets\n\
speed, wallpapers, music, font and the user's own idioms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver")
# Installed files lose their debug information: the package ships no debug symbols.
# CPack reads its settings when it is included, so they all come before.
set(CPACK_STRIP_FILES ON)
# CPack counts the hack's link as a second copy of the program; the package is given the
# size dpkg counts.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebInstalledSize.cmake)
set(CPACK_GENERATOR DEB)
include(CPack)
