#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
#   ./build.sh run    install what is missing, build, start the board
#   ./build.sh test   install what is missing, build, run every test twice:
#                     a normal build, then one with AddressSanitizer and
#                     UndefinedBehaviorSanitizer (any finding fails the run)
#   ./build.sh package  install what is missing, build, make the Debian package
#                     build/tabellone_1.0.4_amd64.deb
#   ./build.sh windows  the same native build (its tools draw the pictures and
#                     icons), then the Windows cross build in build-windows/ with
#                     the Qt for MinGW-w64 in $QT_MINGW (built by
#                     tools/qt_mingw.sh when unset), its tests under Wine, and
#                     build-windows/tabellone-1.0.4-win64.zip and -setup.exe
set -euo pipefail
cd "$(dirname "$0")"

PACCHETTI=(
    cmake make g++ pkgconf
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n libgl-dev libvulkan-dev
    libgif-dev libfontconfig-dev
    qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
    speech-dispatcher speech-dispatcher-espeak-ng
    fonts-liberation2 fonts-quicksand fonts-dancingscript fonts-dejavu-core
    desktop-file-utils appstream dpkg-dev file
    poppler-utils xvfb openbox xdotool
    qt6-httpserver-dev qt6-websockets-dev libqrcodegencpp-dev
    chromium chromium-driver python3-selenium
)
# The Windows build: cross compiler, Wine to run its tests, NSIS for the
# installer, and what tools/prova_wine.py plays the zip with on a display.
PACCHETTI_WINDOWS=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    ninja-build qt6-base-dev-tools wine wine64 nsis zip unzip
    imagemagick x11-utils python3
)

installa() {
    local mancanti=()
    for p in "${PACCHETTI[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || mancanti+=("$p")
    done
    [ ${#mancanti[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installo: ${mancanti[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
}

compila() { # folder, extra cmake arguments...
    local cartella=$1
    shift
    cmake -S . -B "$cartella" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$cartella" --parallel "$(nproc)"
}

prova() { # folder
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure --timeout 300
}

finestre() {
    if [ -z "${QT_MINGW:-}" ]; then
        QT_MINGW="$PWD/build-qt-mingw/qt6-mingw"
        [ -x "$QT_MINGW/bin/qt-cmake" ] || tools/qt_mingw.sh "$QT_MINGW"
    fi
    QT_MINGW=$(cd "$QT_MINGW" && pwd)
    export QT_MINGW
    # pkg-config sees only that Qt's prefix (its qrcodegen), never Debian's Linux files.
    PKG_CONFIG_LIBDIR="$QT_MINGW/lib/pkgconfig" "$QT_MINGW/bin/qt-cmake" -S . -B build-windows -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DTABELLONE_STRUMENTI="$PWD/build/tools" >/dev/null
    cmake --build build-windows --parallel "$(nproc)"
    tools/prove_wine.sh build-windows
    (cd build-windows && cpack >/dev/null && ls -l tabellone-*-win64.zip tabellone-*-win64-setup.exe)
}

case "${1:-}" in
run)
    installa
    compila build
    exec ./build/tabellone
    ;;
test)
    installa
    compila build
    prova build
    compila build-asan -DTABELLONE_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        prova build-asan
    ;;
package)
    installa
    compila build
    (cd build && cpack -G DEB)
    ;;
windows)
    PACCHETTI+=("${PACCHETTI_WINDOWS[@]}")
    installa
    compila build
    finestre
    ;;
*)
    echo "uso: $0 run | test | package | windows" >&2
    exit 2
    ;;
esac
