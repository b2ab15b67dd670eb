#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmark of the phones' server with N WebSocket phones (default 500) and
# M draws (default 40): time from a draw to the last phone, memory and idle CPU.
# Usage: tools/misura_telefoni.sh [phones] [draws]
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
/usr/lib/qt6/libexec/moc "$radice/src/telefoni/servertelefoni.h" -o "$lavoro/moc_servertelefoni.cpp"
g++ -std=c++20 -O2 -fPIC -I"$radice/src/telefoni" "$radice/tools/misura_telefoni.cpp" \
    "$radice/src/telefoni/servertelefoni.cpp" "$lavoro/moc_servertelefoni.cpp" \
    -o "$lavoro/misura_telefoni" $(pkg-config --cflags --libs Qt6Network Qt6HttpServer Qt6WebSockets)
ulimit -n 4096 2>/dev/null || true
"$lavoro/misura_telefoni" "$@"
