#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: the emulator CMake
# puts before the programs it runs at build time (the dictionary compiler)
# and before every test.  scripts/windows.sh writes the settings it reads
# into wine-run.conf beside the build's CMakeCache.txt:
#   WINE        the 64-bit Wine loader
#   WINE_TEMPLATE   a prefix made by wineboot once
#   WINE_DLL_PATH   Windows folders searched for DLLs (Qt, the MinGW runtime)
#   WINE_HOMES  the folder of the tests' own home folders
# A program started with HOME inside WINE_HOMES (every test: CTest gives each
# its own HOME) runs in a prefix of its own, HOME/wine, made from the
# template: Windows ignores HOME and XDG_*, so that prefix is what keeps its
# registry and user folders apart from the other tests'.  The template's
# system files are linked, not copied; registry and user folders are copied.
set -euo pipefail
conf=${VERAROV_WINE_CONF:-$(dirname "$(readlink -f "$0")")/wine-run.conf}
# shellcheck source=/dev/null
. "$conf"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH=$WINE_DLL_PATH
prefix=$WINE_TEMPLATE
if [ -n "${HOME:-}" ] && [[ $HOME == "$WINE_HOMES"/* ]]; then
    prefix=$HOME/wine
    if [ ! -f "$prefix/.ready" ]; then
        rm -rf "$prefix"
        mkdir -p "$prefix/dosdevices" "$prefix/drive_c"
        cp -a "$WINE_TEMPLATE"/*.reg "$WINE_TEMPLATE/.update-timestamp" "$prefix/"
        ln -s ../drive_c "$prefix/dosdevices/c:"
        ln -s / "$prefix/dosdevices/z:"
        for part in "$WINE_TEMPLATE"/drive_c/*; do
            case ${part##*/} in
            users | ProgramData) cp -a "$part" "$prefix/drive_c/" ;;
            *) cp -as "$part" "$prefix/drive_c/" ;;
            esac
        done
        # Wine keeps QT_* variables from its programs (they are the host
        # Qt's): the test's own are put into the prefix's user environment,
        # read by every program started in it.
        { env | grep '^QT_[A-Za-z0-9_]*=' || true; } | while IFS='=' read -r name value; do
            value=${value//\\/\\\\}
            printf '"%s"="%s"\n' "$name" "${value//\"/\\\"}"
        done >"$prefix/qt-environment"
        sed -i '/^\[Environment\]/{n;r '"$prefix/qt-environment"'
}' "$prefix/user.reg"
        rm "$prefix/qt-environment"
        # Wine links Desktop, Documents and the like to the Unix home: in a
        # test's prefix they are folders of its own.
        find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l -exec sh -c \
            'for link; do rm "$link" && mkdir "$link"; done' sh {} +
        touch "$prefix/.ready"
    fi
fi
export WINEPREFIX=$prefix
exec "$WINE" "$@"
