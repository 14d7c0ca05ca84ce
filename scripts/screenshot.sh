#!/bin/sh
# Screenshot of the main window under Xvfb, after typing into a lookup field:
# the window alone when xdotool finds it, else the whole screen.  The
# README's picture is made by:
#   scripts/screenshot.sh build docs/screenshot.png zhongguo 1
# Usage: scripts/screenshot.sh [build dir] [output.png] [text to type] [tab 0-2]
# Needs Xvfb and ImageMagick (Debian: xvfb imagemagick), fonts-noto-cjk for
# the Chinese text; xdotool (optional) types the text.
set -eu
build=${1:-build}
out=${2:-screenshot.png}
text=${3:-ba}
tab=${4:-1}
program="$build/src/app/verarov"
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }

display=:${SCREENSHOT_DISPLAY:-97}
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
program_pid=""
window=""
# A throw-away home: default settings, and the user's own left alone.
home=$(mktemp -d /tmp/verarov-screenshot.XXXXXX)
trap 'if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi; kill "$xvfb" 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
    VERAROV_DICTIONARY= DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" &
program_pid=$!
sleep 3
if command -v xdotool >/dev/null 2>&1; then
    window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name 'Verarov' | head -n 1)
    DISPLAY=$display xdotool windowactivate --sync "$window" 2>/dev/null || true
    # A tab of the lookup pages (Chinois, Pinyin, Français), then its field,
    # and the text.  On "Chinois" the second click opens the "radical" page.
    DISPLAY=$display xdotool mousemove --window "$window" $((40 + 62 * tab)) 40 click 1
    sleep 0.5
    if [ "$tab" = 0 ]; then field_y=92; else field_y=74; fi
    DISPLAY=$display xdotool mousemove --window "$window" 100 "$field_y" click 1
    DISPLAY=$display xdotool type --delay 150 "$text"
    sleep 1
fi
DISPLAY=$display import -window "${window:-root}" "$out"
echo "wrote $out"
