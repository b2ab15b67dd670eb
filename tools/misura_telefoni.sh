#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmark of the phones' server with N WebSocket phones (default 500) and
# M draws (default 40): time from a draw to the last phone, memory and idle CPU.
# Usage: tools/misura_telefoni.sh [phones] [draws]
# With --comparsa, the real board under Xvfb instead: the draw's pop-up with
# N phones connected against none (see misura_comparsa.py for the options).
# Usage: tools/misura_telefoni.sh --comparsa BUILD_DIR [--telefoni N] [--giri R] [--per-giro K]
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
/usr/lib/qt6/libexec/moc "$radice/src/telefoni/servertelefoni.h" -o "$lavoro/moc_servertelefoni.cpp"
g++ -std=c++20 -O2 -fPIC -I"$radice/src/telefoni" "$radice/tools/misura_telefoni.cpp" \
    "$radice/src/telefoni/servertelefoni.cpp" "$lavoro/moc_servertelefoni.cpp" \
    -o "$lavoro/misura_telefoni" $(pkg-config --cflags --libs Qt6Network Qt6HttpServer Qt6WebSockets)
ulimit -n 8192 2>/dev/null || ulimit -n 4096 2>/dev/null || true
if [ "${1:-}" = --comparsa ]; then
    shift
    python3 "$radice/tools/misura_comparsa.py" --strumento "$lavoro/misura_telefoni" "$@"
else
    "$lavoro/misura_telefoni" "$@"
fi
