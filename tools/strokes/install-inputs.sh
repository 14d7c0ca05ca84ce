#!/bin/sh
# Install the input of the stroke data tool: the npm package pinned in
# package.json / package-lock.json into tools/strokes/node_modules (and
# Debian's unicode-data, for the levels of the characters, when run as root).
set -e
cd "$(dirname "$0")"
if [ "$(id -u)" = 0 ] && ! dpkg-query -W unicode-data >/dev/null 2>&1; then
    apt-get install -y unicode-data
fi
npm ci --no-audit --no-fund
