# The Debian package for users: `./dev package` (cpack -G DEB) makes build/package/furlox_*.deb,
# which `apt install ./furlox_<version>_amd64.deb` installs with its run-time dependencies.
# Installed under /usr the program folder is not writable, so the per-user data folder is the
# work directory; Foot.dat and the help page are found under /usr/share/furlox.
set(CPACK_PACKAGE_NAME furlox)
set(CPACK_PACKAGE_VENDOR "Morvane")
set(CPACK_PACKAGE_CONTACT "Furlox Plus developers <furlox@morvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "JRA race-day analysis: FX values, marks and recommended bets")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Opens the race-day data distributed as LHA archives (.lzh), computes the FX speed figure of\n"
    "each runner's last five runs, ranks the runners, gives the marks and proposes bets; shows a\n"
    "race at a time in a skinned window with a per-horse detail window and chart, exports text,\n"
    "HTML and batch files and prints. furlox-cli does the same without a screen.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_LICENSE "GPL-3.0-or-later")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.morvane.example/")
# The shared libraries the programs link (Qt, libarchive, the C++ runtime) are found by
# dpkg-shlibdeps; what is loaded at run time without being linked is named here: Qt's platform
# plugins (the window cannot open without one), Qt's Japanese dialog texts and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
# The help page opens in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
