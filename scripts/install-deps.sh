#!/usr/bin/env bash
# Installs what building, running and testing Verarov need (Debian 12):
# clang builds the code a second time (scripts/test.sh --clang), for its
# warnings; desktop-file-utils, appstream and groff check the menu
# entry, the metadata and the manual pages;
# dpkg-dev lets cpack find the libraries the package depends on;
# qt6-translations-l10n puts the toolkit's dialogs in French and Chinese;
# xvfb gives the start-up benchmark an X server of its own;
# libespeak-ng-dev speaks the Chinese words (Prononcer, verarov-data say);
# libfontconfig-dev lets start-up read the font configuration early.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    fonts-noto-cjk fonts-dejavu-core fonts-liberation2
    python3 unicode-data
    libespeak-ng-dev libfontconfig-dev
    desktop-file-utils appstream groff-base dpkg-dev
    xvfb
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
