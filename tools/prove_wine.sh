#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
#   tools/prove_wine.sh [build-windows] [ctest arguments...]
#
# The Windows build's Qt Test suite under Wine (CTest runs each test through
# build-windows/wine_esegui.sh), in a Wine prefix of its own that is removed
# afterwards; its wineserver is ended with it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
shift || true

WINEPREFIX=$(mktemp -d /tmp/tabellone-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
fine() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap fine EXIT
wineboot -i >/dev/null 2>&1
# Wine drops QT_* variables from the shell, but a program still gets those of
# the registry: the offscreen platform, and fonts for it (it has no system ones).
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
# Liberation Sans has Arial's metrics, which the windows' sizes are made for.
caratteri="$WINEPREFIX/caratteri"
mkdir -p "$caratteri"
ln -s /usr/share/fonts/truetype/liberation2/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf \
    /usr/share/fonts/truetype/quicksand/*.ttf /usr/share/fonts/opentype/dancingscript/*.otf "$caratteri/"
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "Z:${caratteri//\//\\}" /f >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@"
