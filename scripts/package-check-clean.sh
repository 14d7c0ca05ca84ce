#!/usr/bin/env bash
# Installs the Debian package on a clean Debian 12 and removes it again:
# debootstrap makes a minimal system in a throw-away folder, apt installs the
# package there with every dependency it declares, the program is started
# offscreen, then the package is purged and no file of it may be left.
# Needs root, debootstrap and Debian's mirror; takes a few minutes and about
# 1 GB in /tmp.  Usage: scripts/package-check-clean.sh path/to/verarov_*.deb
set -euo pipefail
deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
root=$(mktemp -d /tmp/verarov-clean.XXXXXX)
cleanup() { umount "$root/proc" 2>/dev/null || true; rm -rf "$root"; }
trap cleanup EXIT

debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/verarov.deb"
chroot "$root" sh -euc '
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/verarov.deb >/dev/null
    dpkg -L verarov > /tmp/files.txt
    HOME=/tmp/home QT_QPA_PLATFORM=offscreen VERAROV_QUIT_WHEN_SHOWN=1 timeout 60 verarov | grep "^shown "
    verarov-data check | grep "^entrées : "
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq verarov >/dev/null
    left=0
    while read -r f; do if [ -f "$f" ]; then echo "left behind: $f"; left=1; fi; done < /tmp/files.txt
    [ $left -eq 0 ]
'
echo "installed on a clean Debian 12, started, removed cleanly"
