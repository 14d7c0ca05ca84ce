#!/usr/bin/env bash
# Checks of the program as a desktop application, run by CTest:
#
#   desktop_checks.sh entry FILE.desktop     desktop-file-validate, menu keywords
#   desktop_checks.sh metainfo FILE.xml      appstreamcli validate --no-net
#   desktop_checks.sh manpages FILE.1...     groff renders them without a warning
#   desktop_checks.sh icons DESKTOP_DIR      the committed PNG icons: from the SVG as
#                                            it is, of their sizes (and, when
#                                            rsvg-convert is there, as it renders them)
#   desktop_checks.sh install BUILD_DIR      cmake --install into a temporary prefix,
#                                            the files there, the installed program run
#   desktop_checks.sh package BUILD_DIR      cpack -G DEB, its control fields, the
#                                            package unpacked and its program run
#   desktop_checks.sh skip REASON            a check that does not apply here
#
# A check whose tool is missing exits 77, which CTest reports as skipped.
set -euo pipefail

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for t in "$@"; do command -v "$t" >/dev/null 2>&1 || skip "$t is not installed"; done; }

scratch=""
cleanup() { if [ -n "$scratch" ]; then rm -rf "$scratch"; fi; }
trap cleanup EXIT
make_scratch() { scratch=$(mktemp -d "${TMPDIR:-/tmp}/verarov-check.XXXXXX"); }

# The installed program, started offscreen with its own home: it must show
# its main window and end by itself.
run_installed_program() {
    local program=$1 home=$2 out
    mkdir -p "$home"
    out=$(env -u VERAROV_DICTIONARY HOME="$home" XDG_CONFIG_HOME="$home/config" \
              XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" \
              QT_QPA_PLATFORM=offscreen VERAROV_QUIT_WHEN_SHOWN=1 \
              timeout 60 "$program" 2>&1) || fail "$program ended with status $?: $out"
    grep -q '^shown [0-9]' <<<"$out" || fail "$program did not show its window: $out"
    echo "$program: $(grep '^shown' <<<"$out")"
}

check_entry() {
    local file=$1 report
    need desktop-file-validate
    report=$(desktop-file-validate "$file" 2>&1) || fail "desktop-file-validate: $report"
    # Hints are advice; warnings and errors are not accepted.
    if grep -Eq ': (warning|error):' <<<"$report"; then fail "$report"; fi
    [ -n "$report" ] && echo "$report"
    # A menu search in any language finds the entry by these words.
    local keywords
    keywords=$(grep '^Keywords=' "$file") || fail "no Keywords"
    for word in dictionnaire dictionary chinois 词典; do
        grep -q "[=;]$word;" <<<"$keywords" || fail "Keywords lack $word"
    done
    grep -q '^Exec=verarov$' "$file" || fail "Exec is not the program alone"
    echo "desktop entry valid: $file"
}

check_metainfo() {
    need appstreamcli
    appstreamcli validate --no-net --pedantic "$1"
}

check_manpages() {
    need groff
    local page report
    for page in "$@"; do
        report=$(LC_ALL=C.UTF-8 groff -man -ww -z -K utf8 -T utf8 "$page" 2>&1) || fail "$page: $report"
        [ -z "$report" ] || fail "$page: $report"
        grep -q '^\.SH NAME' "$page" || fail "$page has no NAME section"
        echo "manual page renders cleanly: $page"
    done
}

# The PNGs are rendered once and committed (scripts/render-icons.sh), which
# records the SHA-256 of the SVG they were made from.
check_icons() {
    local dir=$1 id=org.example.verarov size png bytes
    (cd "$dir" && sha256sum --check --quiet --status icons/source.sha256) \
        || fail "$id.svg changed after its PNGs were rendered: run scripts/render-icons.sh"
    for size in 16 22 24 32 48 64 128 256 512; do
        png=$dir/icons/${size}x${size}/$id.png
        [ -s "$png" ] || fail "missing: $png"
        # Width and height are the big-endian words at bytes 16 and 20 (IHDR).
        bytes=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
        read -r w1 w2 w3 w4 h1 h2 h3 h4 <<<"$bytes"
        [ "$(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 ))x$(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 ))" = "${size}x${size}" ] \
            || fail "$png is not ${size}x${size}"
    done
    echo "PNG icons made from the SVG as it is, of their sizes"
    command -v rsvg-convert >/dev/null 2>&1 || { echo "rsvg-convert not installed: renders not compared"; return 0; }
    make_scratch
    for size in 16 22 24 32 48 64 128 256 512; do
        rsvg-convert --width "$size" --height "$size" --output "$scratch/$size.png" "$dir/$id.svg"
        cmp -s "$scratch/$size.png" "$dir/icons/${size}x${size}/$id.png" \
            || fail "icons/${size}x${size}/$id.png is not what rsvg-convert renders: run scripts/render-icons.sh"
    done
    echo "PNG icons as rsvg-convert renders them"
}

check_install() {
    local build=$1 prefix
    make_scratch
    prefix=$scratch/prefix
    cmake --install "$build" --prefix "$prefix" >/dev/null
    local id=org.example.verarov
    for f in bin/verarov bin/verarov-data \
             share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
             share/icons/hicolor/scalable/apps/$id.svg \
             share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/48x48/apps/$id.png \
             share/icons/hicolor/256x256/apps/$id.png share/icons/hicolor/512x512/apps/$id.png \
             share/man/man1/verarov.1.gz share/man/man1/verarov-data.1.gz \
             share/verarov/dico_aide/index.html share/verarov/dico_aide_cn/index.html \
             share/doc/verarov/copyright; do
        [ -s "$prefix/$f" ] || fail "not installed: $f"
    done
    [ -x "$prefix/bin/verarov" ] && [ -x "$prefix/bin/verarov-data" ] || fail "programs not executable"
    # Every picture a help page shows is installed beside it.
    local page src
    for page in "$prefix"/share/verarov/dico_aide*/*.html; do
        for src in $(grep -o 'src="[^"]*"' "$page" | sed 's/^src="//; s/"$//'); do
            [ -f "$(dirname "$page")/$src" ] || fail "$page shows a missing $src"
        done
    done
    # The PNG icons are the sizes their folders say.
    if command -v identify >/dev/null 2>&1; then
        local size
        for size in 16 48 256; do
            [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] \
                || fail "icon ${size}x${size} has another size"
        done
    fi
    if command -v desktop-file-validate >/dev/null 2>&1; then
        desktop-file-validate "$prefix/share/applications/$id.desktop"
    fi
    run_installed_program "$prefix/bin/verarov" "$scratch/home"
    "$prefix/bin/verarov-data" check | grep -q '^entrées : [1-9]' || fail "verarov-data check"
    echo "installed into a temporary prefix and started"
}

check_package() {
    local build=$1
    need cpack dpkg-deb dpkg-shlibdeps
    make_scratch
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
        || { cat "$scratch/cpack.log"; fail "cpack"; }
    local deb
    deb=$(ls "$scratch"/out/verarov_*.deb) || fail "no package made"
    echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

    local info depends
    info=$(dpkg-deb --info "$deb")
    grep -E '^ (Package|Version|Architecture|Depends|Recommends|Section|Installed-Size):' <<<"$info"
    depends=$(dpkg-deb --field "$deb" Depends)
    for dep in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 fonts-noto-cjk fonts-liberation2; do
        grep -q "\b$dep\b" <<<"$depends" || fail "Depends lacks $dep: $depends"
    done
    [ "$(dpkg-deb --field "$deb" Package)" = verarov ] || fail "package name"

    # Files owned by root, nothing outside /usr.
    local listing
    listing=$(dpkg-deb --contents "$deb")
    if awk '{print $2}' <<<"$listing" | grep -v '^root/root$' | grep -q .; then
        fail "files not owned by root"
    fi
    if awk '{print $6}' <<<"$listing" | grep -v '^\./usr/' | grep -v '^\./$' | grep -q .; then
        fail "files outside /usr: $(awk '{print $6}' <<<"$listing" | grep -v '^\./usr/')"
    fi
    grep -q ' ./usr/share/doc/verarov/copyright$' <<<"$listing" || fail "no copyright file"

    # Unpacked into a throw-away root, with the machine's own Qt runtime.
    dpkg-deb -x "$deb" "$scratch/root"
    run_installed_program "$scratch/root/usr/bin/verarov" "$scratch/home"
    "$scratch/root/usr/bin/verarov-data" check | grep -q '^entrées : [1-9]' || fail "verarov-data check"
    echo "package unpacked and started"
}

check=${1:-}
shift || true
case "$check" in
    entry) check_entry "$@" ;;
    metainfo) check_metainfo "$@" ;;
    manpages) check_manpages "$@" ;;
    icons) check_icons "$@" ;;
    install) check_install "$@" ;;
    package) check_package "$@" ;;
    skip) skip "$*" ;;
    *) echo "usage: $0 entry|metainfo|manpages|icons|install|package ARGS | skip REASON" >&2; exit 2 ;;
esac
