#!/usr/bin/env bash
# The Windows build, made on Debian 12: Qt for Windows cross-built from
# Debian's own qt6-base source, the program built against it, every test run
# under Wine, the installer made with NSIS, then installed silently into a
# throw-away Wine prefix, started, checked and uninstalled.
#
#   scripts/windows.sh                 every stage, in order
#   scripts/windows.sh --qt-only       only Qt for Windows (into the cache)
#   scripts/windows.sh --no-tests      everything but the test run
#   scripts/windows.sh --stages=program,tests
#                                      chosen stages; the stages are
#                                      deps, qt, program, tests, installer,
#                                      install-check
#
# Qt is built once per source version, configure line and compiler version
# into ${XDG_CACHE_HOME:-$HOME/.cache}/verarov/qt-windows-<key> and reused.
# The program is built into build-windows/; the installer is
# build-windows/verarov-<version>-setup.exe.
#
# VERAROV_JOBS (default: the number of processors) sets the parallel jobs.
#
# The program stage by hand, once Qt is built (<qt> the cache folder above):
#   VERAROV_QT_WINDOWS=<qt> cmake --preset windows && cmake --build --preset windows
# the emulator (build-windows/wine-run.sh) and its wine-run.conf are written
# by this script's program stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

all_stages=(deps qt program tests installer install-check)
stages=("${all_stages[@]}")
for arg in "$@"; do
    case $arg in
    --qt-only) stages=(deps qt) ;;
    --no-tests) stages=(deps qt program installer install-check) ;;
    --stages=*) IFS=, read -r -a stages <<<"${arg#--stages=}" ;;
    -h | --help) sed -n '2,/^set -e/{/^set -e/!p}' "$0"; exit 0 ;;
    *) echo "windows.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done
wants() { local s; for s in "${stages[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

jobs=${VERAROV_JOBS:-$(nproc)}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/verarov
build=$root/build-windows
cross=x86_64-w64-mingw32
wine=/usr/lib/wine/wine64
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
say() { printf '\n== windows.sh: %s\n' "$*"; }
now() { date +%s; }
elapsed() { echo "$(($(now) - $1)) s"; }

# --- deps: Debian packages, and the source entries apt-get source needs -----
if wants deps; then
    say "packages"
    packages=(
        cmake ninja-build ccache python3 librsvg2-bin
        qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
        wine64 nsis xvfb xauth xdotool imagemagick dpkg-dev
    )
    missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
fi

# --- Qt for Windows ------------------------------------------------------------
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
compiler_version=$($cross-g++-posix --version 2>/dev/null | head -n1 || true)
# What Qt is configured with. Notes on the choices that matter:
#  - INPUT_opengl=no, not FEATURE_opengl=OFF: the latter leaves dynamicgl on
#    and the Windows platform plugin does not compile;
#  - direct2d stays on: without it qwindows.dll does not link;
#  - the Debian source drops wintab (tablet events) and sqlite (SQL).
# The cross compiler: Debian's MinGW-w64 with POSIX threads (std::thread).
cross_compiler=(
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64
    -DCMAKE_C_COMPILER=$cross-gcc-posix -DCMAKE_CXX_COMPILER=$cross-g++-posix
    -DCMAKE_RC_COMPILER=$cross-windres
)
cross_find=(
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
)
qt_configure=(
    -G Ninja
    "${cross_compiler[@]}"
    -DCMAKE_FIND_ROOT_PATH=/usr/$cross
    "${cross_find[@]}"
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no -DFEATURE_tabletevent=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
)
qt_key=$(printf '%s\n' "$qt_version" "$compiler_version" "${qt_configure[@]}" | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-windows-$qt_key

if wants qt; then
    if [ -f "$qt_prefix/.complete" ]; then
        say "Qt for Windows: cached in $qt_prefix"
    else
        [ -n "$qt_version" ] || { echo "windows.sh: qt6-base-dev is not installed" >&2; exit 1; }
        say "Qt for Windows $qt_version: building into $qt_prefix"
        t0=$(now)
        # apt-get source needs source entries; Debian 12's deb822 list has none.
        if ! apt-get source --print-uris "qt6-base=$qt_version" >/dev/null 2>&1; then
            echo "Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $sudo tee /etc/apt/sources.list.d/verarov-deb-src.sources >/dev/null
            $sudo apt-get update -qq
        fi
        src_parent=$cache/qt-source-$qt_version
        if [ ! -f "$src_parent/.complete" ]; then
            rm -rf "$src_parent"; mkdir -p "$src_parent"
            (cd "$src_parent" && apt-get source -qq "qt6-base=$qt_version" >/dev/null)
            touch "$src_parent/.complete"
        fi
        qt_src=$(find "$src_parent" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
        qt_build=$cache/qt-windows-build-$qt_key
        rm -rf "$qt_prefix"
        launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S "$qt_src" -B "$qt_build" "${qt_configure[@]}" "${launcher[@]}" \
              -DCMAKE_INSTALL_PREFIX="$qt_prefix" >"$cache/qt-windows-$qt_key.configure.log" 2>&1 \
            || { tail -n 40 "$cache/qt-windows-$qt_key.configure.log" >&2; exit 1; }
        nice -n 10 cmake --build "$qt_build" -j "$jobs"
        cmake --install "$qt_build" >/dev/null
        touch "$qt_prefix/.complete"
        rm -rf "$qt_build"
        echo "Qt for Windows built in $(elapsed "$t0")"
    fi
fi

# --- the program ---------------------------------------------------------------
[ -f "$qt_prefix/.complete" ] || {
    for s in program tests installer install-check; do
        wants "$s" && { echo "windows.sh: Qt for Windows is not built; run the qt stage first" >&2; exit 1; }
    done
    exit 0
}
# DLLs the programs load from outside their folder while built: Qt's, and
# the MinGW runtime (C++, GCC's, threads).
runtime_dlls=()
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    runtime_dlls+=("$($cross-g++-posix -print-file-name=$dll)")
done
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
dll_path=$(windows_path "$qt_prefix/bin")
for dll in "${runtime_dlls[@]}"; do dll_path+=";$(windows_path "$(dirname "$dll")")"; done

# The Wine prefix every build-time program and every test starts from, and
# the settings of the emulator (desktop/windows/wine-run.sh).
wine_template=$build/wine/template
write_wine_conf() {
    mkdir -p "$build"
    {
        printf 'WINE=%q\n' "$wine"
        printf 'WINE_TEMPLATE=%q\n' "$wine_template"
        printf 'WINE_DLL_PATH=%q\n' "$dll_path"
        printf 'WINE_HOMES=%q\n' "$build/tests/homes"
    } >"$build/wine-run.conf"
    cp desktop/windows/wine-run.sh "$build/wine-run.sh"
    if [ ! -f "$wine_template/.ready" ]; then
        # Made with a home of its own: Wine links the user's Desktop and
        # Documents folders to the Unix home's.
        rm -rf "$wine_template" "$build/wine/home"; mkdir -p "$wine_template" "$build/wine/home"
        HOME=$build/wine/home WINEPREFIX=$wine_template WINEDEBUG=-all \
            WINEDLLOVERRIDES=mscoree,mshtml= "$wine" wineboot -i >/dev/null 2>&1
        WINEPREFIX=$wine_template "${wine%/*}/wineserver" -w
        touch "$wine_template/.ready"
    fi
}

if wants program; then
    say "the program: $build"
    t0=$(now)
    write_wine_conf
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # The "windows" preset of CMakePresets.json, Qt for Windows named by
    # VERAROV_QT_WINDOWS.
    VERAROV_QT_WINDOWS=$qt_prefix cmake --preset windows "${launcher[@]}" >/dev/null
    nice -n 10 cmake --build "$build" -j "$jobs"
    echo "program built in $(elapsed "$t0")"
fi

# --- the tests, under Wine (a virtual display for what Wine draws) --------------
test_status=0
test_summary=""
if wants tests; then
    say "the tests under Wine"
    t0=$(now)
    write_wine_conf
    log=$build/ctest.log
    set +e
    (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" \
        ctest -j "$jobs" --output-on-failure --timeout 600) 2>&1 | tee "$log"
    test_status=${PIPESTATUS[0]}
    set -e
    test_summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n1)
    [ -n "$test_summary" ] || test_status=1
    echo "tests run in $(elapsed "$t0")"
fi

# --- the installer -------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
setup=$build/verarov-$version-setup.exe
deploy=$build/deploy
if wants installer; then
    say "the installer"
    t0=$(now)
    [ -n "$version" ] || { echo "windows.sh: build the program first" >&2; exit 1; }
    # What windeployqt would gather: the programs, Qt's libraries and the
    # plugins they load, the MinGW runtime, the toolkit's translations, and
    # ours: help pages and licences.
    rm -rf "$deploy"
    mkdir -p "$deploy/platforms" "$deploy/styles" "$deploy/translations"
    cp "$build/verarov.exe" "$build/verarov-data.exe" "$deploy/"
    for lib in Core Gui Widgets; do cp "$qt_prefix/bin/Qt6$lib.dll" "$deploy/"; done
    cp "$qt_prefix/plugins/platforms/qwindows.dll" "$deploy/platforms/"
    cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$deploy/styles/"
    cp "${runtime_dlls[@]}" "$deploy/"
    cp /usr/share/qt6/translations/qtbase_fr.qm /usr/share/qt6/translations/qtbase_zh_CN.qm \
       "$deploy/translations/"
    cp -r help/dico_aide help/dico_aide_cn "$deploy/"
    cp data/strokes.bin "$deploy/"
    cp LICENSE "$deploy/LICENSE.txt"
    cp data/LICENSE "$deploy/LICENSE-donnees.txt"
    cp data/ARPHICPL.TXT "$deploy/LICENSE-traces.txt"
    cp desktop/copyright "$deploy/copyright.txt"
    find "$deploy" \( -name '*.exe' -o -name '*.dll' \) -exec $cross-strip --strip-unneeded {} +
    makensis -V2 -DVERSION="$version" -DDEPLOY="$deploy" -DOUTFILE="$setup" \
             -DICON="$build/desktop/verarov.ico" desktop/windows/verarov.nsi
    echo "installer $setup ($(du -h "$setup" | cut -f1)) made in $(elapsed "$t0")"
fi

# --- the installer at work, in a throw-away Wine prefix ------------------------
# The installer is run silently, the installed program started until its
# window shows, the installed data tool checks the built-in dictionary, and
# the silent uninstaller must leave no file, shortcut or registry entry.
# With VERAROV_SHOTS=<folder>, screenshots of the installed program in
# French and in Chinese are saved there (windows-fr.png, windows-cn.png).
if wants install-check; then
    say "install, start, check, uninstall"
    t0=$(now)
    [ -f "$setup" ] || { echo "windows.sh: make the installer first" >&2; exit 1; }
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/verarov-windows.XXXXXX")
    wine_user=$(id -un) # Wine names the Windows user after the Unix one
    # A home of its own, and no Linux menu entries made of Start-menu
    # shortcuts (winemenubuilder): nothing of the check outlives it.
    mkdir -p "$scratch/home"
    export HOME=$scratch/home WINEPREFIX=$scratch/prefix WINEDEBUG=-all \
           WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    xvfb_pid=""
    finish() {
        "${wine%/*}/wineserver" -k 2>/dev/null || true
        [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
        rm -rf "$scratch"
    }
    trap finish EXIT
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    "$wine" wineboot -i >/dev/null 2>&1
    fail() { echo "windows.sh: install check: $*" >&2; exit 1; }
    unix_of() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

    cp "$setup" "$scratch/setup.exe"
    "$wine" "$scratch/setup.exe" /S || fail "the installer ended with status $?"
    "${wine%/*}/wineserver" -w
    installed=$(unix_of 'C:\users\'"$wine_user"'\AppData\Local\Programs\Verarov')
    [ -n "$installed" ] || installed=$WINEPREFIX/drive_c/users/$wine_user/AppData/Local/Programs/Verarov
    for f in verarov.exe verarov-data.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll \
             strokes.bin dico_aide/index.html dico_aide_cn/index.html \
             LICENSE.txt LICENSE-donnees.txt LICENSE-traces.txt; do
        [ -f "$installed/$f" ] || fail "not installed: $f"
    done
    menu=$WINEPREFIX/drive_c/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
    [ -f "$menu/Verarov.lnk" ] || fail "no Start menu entry"
    "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Verarov' >/dev/null 2>&1 \
        || fail "no uninstall entry"

    # The program shows its window, in each language, and ends by itself.
    for langue in fr ch; do
        "$wine" reg add 'HKCU\Software\Duvuduz_ivod' /v langue /t REG_SZ /d "$langue" /f >/dev/null 2>&1
        out=$(VERAROV_QUIT_WHEN_SHOWN=1 timeout 120 "$wine" "$installed/verarov.exe" 2>&1) \
            || fail "verarov.exe ($langue) ended with status $?: $out"
        grep -q 'shown [0-9]' <<<"$out" || fail "verarov.exe ($langue) showed no window: $out"
        echo "verarov.exe ($langue): $(grep -o 'shown [0-9].*' <<<"$out" | tr -d '\r')"
        if [ -n "${VERAROV_SHOTS:-}" ]; then
            mkdir -p "$VERAROV_SHOTS"
            "$wine" "$installed/verarov.exe" >/dev/null 2>&1 &
            shown=""
            for _ in $(seq 60); do
                shown=$(xdotool search --onlyvisible --class verarov.exe 2>/dev/null | head -n1) && [ -n "$shown" ] && break
                sleep 1
            done
            sleep 3
            name=windows-$([ "$langue" = ch ] && echo cn || echo fr).png
            import -display "$display" -window root "$VERAROV_SHOTS/$name" && echo "screenshot $VERAROV_SHOTS/$name"
            "$wine" taskkill /im verarov.exe /f >/dev/null 2>&1 || true
            "${wine%/*}/wineserver" -w
        fi
    done
    # The settings as the program keeps them: strings and 32-bit integers.
    settings=$("$wine" reg query 'HKCU\Software\Duvuduz_ivod' 2>/dev/null | tr -d '\r')
    echo "$settings"
    grep -Eq 'langue +REG_SZ +ch' <<<"$settings" || fail "langue is not a REG_SZ"
    [ "$(grep -c 'REG_DWORD' <<<"$settings")" -eq 11 ] || fail "the eleven colours are not REG_DWORD values"

    out=$("$wine" "$installed/verarov-data.exe" check 2>&1) || fail "verarov-data check: status $?: $out"
    echo "verarov-data check: $(tr -d '\r' <<<"$out" | tail -n1)"

    # Silently uninstalled from FOLDER: no file, Start menu entry (in MENU)
    # or uninstall entry (under HIVE) may be left.
    uninstall() {
        local folder=$1 menu=$2 hive=$3 mode=$4
        "$wine" "$folder/uninstall.exe" /S || fail "the uninstaller ($mode) ended with status $?"
        for _ in $(seq 60); do [ -e "$folder" ] || break; sleep 1; done
        "${wine%/*}/wineserver" -w
        [ ! -e "$folder" ] || fail "left after uninstalling ($mode): $(find "$folder" | head)"
        [ ! -e "$menu/Verarov.lnk" ] || fail "Start menu entry left ($mode)"
        if "$wine" reg query "$hive"'\Software\Microsoft\Windows\CurrentVersion\Uninstall\Verarov' \
                >/dev/null 2>&1; then
            fail "uninstall entry left ($mode)"
        fi
    }
    uninstall "$installed" "$menu" HKCU "current user"
    if "$wine" reg query 'HKCU\Software\Duvuduz_ivod' >/dev/null 2>&1; then fail "settings left"; fi
    [ ! -e "$WINEPREFIX/drive_c/users/$wine_user/AppData/Local/verarov" ] || fail "the program's cache left"

    # For all users (an administrator's choice): Program Files, the common
    # Start menu, the uninstall entry under HKEY_LOCAL_MACHINE.
    "$wine" "$scratch/setup.exe" /S /AllUsers || fail "the installer (/AllUsers) ended with status $?"
    "${wine%/*}/wineserver" -w
    everyone=$WINEPREFIX/drive_c/Program\ Files/Verarov
    common_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
    [ -f "$everyone/verarov.exe" ] || fail "not installed for all users"
    [ -f "$common_menu/Verarov.lnk" ] || fail "no Start menu entry for all users"
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Verarov' >/dev/null 2>&1 \
        || fail "no uninstall entry for all users"
    out=$("$wine" "$everyone/verarov-data.exe" check 2>&1) || fail "verarov-data check (all users): status $?: $out"
    uninstall "$everyone" "$common_menu" HKLM "all users"
    echo "installed, started, checked and uninstalled in $(elapsed "$t0")"
fi

if wants tests; then
    echo "$test_summary"
    exit "$test_status"
fi
