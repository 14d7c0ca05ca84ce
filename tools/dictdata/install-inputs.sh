#!/bin/sh
# Install the inputs of the dictionary data tools: Debian's unicode-data and
# python3-jieba (when run as root), and the npm packages pinned in
# package.json / package-lock.json into tools/dictdata/node_modules.
set -e
cd "$(dirname "$0")"
if [ "$(id -u)" = 0 ] && ! dpkg-query -W unicode-data python3-jieba >/dev/null 2>&1; then
    apt-get install -y unicode-data python3-jieba
fi
npm ci --no-audit --no-fund
