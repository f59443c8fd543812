# The Debian package: `cpack -G DEB` in the build folder lays the installation out under
# /usr. The libraries it needs are found by dpkg-shlibdeps; the fonts and the sound font
# are data the program looks up at run time.
set(CPACK_PACKAGE_NAME velmorandi)
set(CPACK_PACKAGE_VENDOR "Velmorandi developers")
set(CPACK_PACKAGE_CONTACT "Velmorandi developers <velmorandi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "screensaver: a caterpillar spells out Japanese four-character idioms")
set(CPACK_PACKAGE_DESCRIPTION
    "A caterpillar walks a board of kanji leaves and spells out four-character idioms with\n\
their readings and meanings. Runs as a hack of the X screensaver daemon and in MATE's\n\
screensaver list, or full screen on every monitor; a settings dialog sets speed,\n\
wallpapers, music, font and the user's own idioms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver")
set(CPACK_GENERATOR DEB)
include(CPack)
set(CPACK_STRIP_FILES ON)
