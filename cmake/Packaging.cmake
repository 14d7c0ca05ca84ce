# The Debian package: `cpack -G DEB` in a build folder makes
# verarov_<version>-<release>_<arch>.deb from the install rules, with the
# libraries it links found by dpkg-shlibdeps and the fonts its windows name.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verarov)
set(CPACK_PACKAGE_VENDOR "The Verarov team")
set(CPACK_PACKAGE_CONTACT "The Verarov team <ecrire@verarov.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://verarov.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese-French dictionary for the desktop")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Qt 6 runtime, the C++ runtime: from the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the windows ask for: a CJK face for the Chinese text, narrow
# Latin faces for the fixed places sized for Tahoma and Arial.
# The Chinese voices of eSpeak NG (its library comes in by the shared
# library dependencies).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-arphic-uming | fonts-wqy-zenhei, fonts-liberation2 | fonts-dejavu-core, libespeak-ng1, espeak-ng-data")
# Opening the help pages and the translated files; Wayland sessions; the
# toolkit's dialogs in French and Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION
"Verarov looks Chinese words up by characters, by pinyin without tones or by
French, completing the word as it is typed, and shows each entry with its
pinyin and its French senses. It browses characters by radical, searches
every key by substring, turns a Chinese text file into a word list, and
speaks French or Chinese.

The built-in dictionary holds about 32,000 entries written for learners of
modern Chinese (CC BY-SA 4.0). The package also holds verarov-data, the
tool that imports, builds, checks and exports dictionaries.")
include(CPack)
