#!/bin/sh
# Screenshot of the main window under Xvfb, after typing into a lookup field.
# Usage: scripts/screenshot.sh [build dir] [output.png] [text to type]
# Needs Xvfb and ImageMagick; xdotool (optional) types the text.
set -eu
build=${1:-build}
out=${2:-screenshot.png}
text=${3:-ba}
program="$build/src/app/verarov"
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }

display=:${SCREENSHOT_DISPLAY:-97}
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
trap 'kill "$program_pid" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" &
program_pid=$!
sleep 3
if command -v xdotool >/dev/null 2>&1; then
    window=$(DISPLAY=$display xdotool search --sync --name 'Verarov' | head -n 1)
    DISPLAY=$display xdotool windowactivate --sync "$window" 2>/dev/null || true
    # Second tab of the lookup pages ("Pinyin"), then the text.
    DISPLAY=$display xdotool mousemove --window "$window" 80 40 click 1
    sleep 0.5
    DISPLAY=$display xdotool mousemove --window "$window" 100 74 click 1
    DISPLAY=$display xdotool type --delay 150 "$text"
    sleep 1
fi
DISPLAY=$display import -window root "$out"
echo "wrote $out"
