#!/usr/bin/env bash
# The pictures of the help pages, taken from the real program under Xvfb:
# help/dico_aide/*.png in the French interface, help/dico_aide_cn/*.png in
# the Chinese one.  Each run uses a throw-away home (settings, caches).
# Needs Xvfb, xdotool and ImageMagick (Debian: xvfb xdotool imagemagick);
# optipng, when installed, makes the pictures smaller.
# Usage: scripts/help-screenshots.sh [build dir]
# RADICAL_CLICKS="x,y x,y ..." are clicks (window coordinates) made on the
# radical page before its picture (default: heading "3", 氵, a character, a
# word); SEARCH_TEXT is searched in the search window (default 中国).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
program="$PWD/$build/src/app/verarov"
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }

display=:${SCREENSHOT_DISPLAY:-96}
xvfb="" app="" home=""
stop() {
    if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
    app=""
}
cleanup() {
    stop
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    if [ -n "$home" ]; then rm -rf "$home"; fi
}
trap cleanup EXIT
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
sleep 1
export DISPLAY=$display
x() { xdotool "$@"; }

# Starts the program in the interface language given ("fr" or "ch").
start() {
    home=$(mktemp -d /tmp/verarov-shots.XXXXXX)
    mkdir -p "$home/config"
    [ "$1" = ch ] && printf '[General]\nlangue=ch\n' > "$home/config/Duvuduz_ivod.conf"
    # A first start writes the default colours, which every later start shows.
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
        QT_QPA_PLATFORM=offscreen VERAROV_QUIT_WHEN_SHOWN=1 VERAROV_DICTIONARY= "$program" >/dev/null
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
        QT_QPA_PLATFORM=xcb VERAROV_DICTIONARY= "$program" &
    app=$!
    window=$(x search --sync --onlyvisible --pid "$app" --name 'Verarov' | head -n 1)
    sleep 2
}
shot() {
    import -window "$1" "$2"
    if command -v optipng >/dev/null; then optipng -quiet -o5 -strip all "$2"; fi
    echo "wrote $2"
}
click() { x mousemove --window "$1" "$2" "$3" click 1; sleep 0.6; }
# The program's window titled exactly $1, once shown (a search by name also
# returns the main window).
titled() {
    local id
    for _ in $(seq 20); do
        for id in $(x search --onlyvisible --pid "$app" --name "$1"); do
            if [ "$(x getwindowname "$id")" = "$1" ]; then echo "$id"; return; fi
        done
        sleep 0.5
    done
    echo "no window titled $1" >&2
    return 1
}

for lang in fr ch; do
    if [ "$lang" = fr ]; then out=help/dico_aide; else out=help/dico_aide_cn; fi

    # The main window: a word typed in the pinyin field.
    start "$lang"
    click "$window" 102 40        # tab "Pinyin"
    click "$window" 100 74        # its field
    x type --delay 120 zhongguo
    sleep 1
    shot "$window" "$out/fenetre.png"

    # Tracé (Ctrl+K): the strokes of the word shown, halfway through.
    if [ "$lang" = fr ]; then title='Tracé'; else title='笔顺'; fi
    x key --window "$window" ctrl+k
    trace=$(titled "$title")
    sleep "${TRACE_SECONDS:-7}"
    shot "$trace" "$out/trace.png"
    x windowunmap "$trace"

    # Écrire (Ctrl+W): 十 drawn with the mouse, across then down.
    if [ "$lang" = fr ]; then title='Écrire'; else title='手写'; fi
    click "$window" 300 200
    x key ctrl+w
    pad=$(titled "$title")
    sleep 1
    for stroke in "150,187 260,185 370,183" "258,70 259,190 258,310"; do
        set -- $stroke
        x mousemove --window "$pad" "${1%,*}" "${1#*,}" mousedown 1
        for point in "$@"; do
            x mousemove --window "$pad" "${point%,*}" "${point#*,}"
            sleep 0.1
        done
        x mouseup 1
        sleep 0.5
    done
    sleep 1
    shot "$pad" "$out/ecrire.png"
    x windowunmap "$pad"
    x windowactivate --sync "$window" 2>/dev/null || true

    # The radical page: a radical, then a character, then a word.
    click "$window" 40 40         # tab "Chinois"
    click "$window" 79 70         # page "radical"
    # Heading "3" opened, 氵 chosen, its first character, then a word (the
    # Chinese tabs are taller: the page starts 14 pixels lower).
    if [ "$lang" = fr ]; then clicks="27,143 60,166 38,251 120,268"; else clicks="27,157 60,180 38,266 120,283"; fi
    for spot in ${RADICAL_CLICKS:-$clicks}; do
        click "$window" "${spot%,*}" "${spot#*,}"
    done
    shot "$window" "$out/radical.png"

    # The search window: a string searched in the Chinese list.
    x key --window "$window" ctrl+f
    sleep 1
    search=$(x search --sync --onlyvisible --pid "$app" --name 'Rechercher' | tail -n 1)
    x windowactivate --sync "$search" 2>/dev/null || true
    click "$search" 110 37        # the search string
    x type --delay 150 "${SEARCH_TEXT:-中国}"
    x key Return
    sleep 1
    x key Down
    sleep 1
    shot "$search" "$out/recherche.png"
    stop
    rm -rf "$home"
    home=""
done
