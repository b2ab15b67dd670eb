#!/bin/sh
# SPDX-License-Identifier: MIT
# Benchmark of the message column's tick (see misura_colonna.cpp).
# Usage: tools/misura_colonna.sh [font points] [width] [height]
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
g++ -std=c++20 -O2 -fPIC -I"$radice/src/commentary" \
    "$radice/tools/misura_colonna.cpp" "$radice/src/commentary/orologio.cpp" \
    -o "$lavoro/misura_colonna" $(pkg-config --cflags --libs Qt6Widgets)
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$lavoro/misura_colonna" "$@"
