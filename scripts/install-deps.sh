#!/usr/bin/env bash
# Installs what building, running and testing Verarov need (Debian 12):
# librsvg2-bin renders the icon at build time; desktop-file-utils, appstream
# and groff check the menu entry, the metadata and the manual pages;
# dpkg-dev lets cpack find the libraries the package depends on;
# qt6-translations-l10n puts the toolkit's dialogs in French and Chinese;
# libespeak-ng-dev speaks the Chinese words (Prononcer, verarov-data say).
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    fonts-noto-cjk fonts-dejavu-core fonts-liberation2
    python3 unicode-data
    librsvg2-bin
    libespeak-ng-dev
    desktop-file-utils appstream groff-base dpkg-dev
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
