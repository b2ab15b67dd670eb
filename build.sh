#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
#   ./build.sh run    install what is missing, build, start the board
#   ./build.sh test   install what is missing, build, run every test twice:
#                     a normal build, then one with AddressSanitizer and
#                     UndefinedBehaviorSanitizer (any finding fails the run)
#   ./build.sh package  install what is missing, build, make the Debian package
#                     build/tabellone_1.0.4_amd64.deb
set -euo pipefail
cd "$(dirname "$0")"

PACCHETTI=(
    cmake make g++ pkgconf
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n libgl-dev libvulkan-dev
    libgif-dev
    qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
    speech-dispatcher speech-dispatcher-espeak-ng
    fonts-liberation2 fonts-quicksand fonts-dancingscript fonts-dejavu-core
    desktop-file-utils appstream dpkg-dev file
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
*)
    echo "uso: $0 run | test | package" >&2
    exit 2
    ;;
esac
