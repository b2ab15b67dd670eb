#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Takes the README's screenshots from the real program, under Xvfb with the
# openbox window manager, driven by xdotool:
#   docs/schermata-iniziale.png  the start screen
#   docs/tabellone.png           the maximised board with numbers drawn
#   docs/estrazione.png          the pop-up of a draw with its comment
#   docs/cartelle.png            a printed page of cards (page 1 of the PDF)
#   docs/verifica.png            a card checked with F5 on the board
#
#   tools/schermate.sh [display]      (default :85; needs xvfb openbox xdotool imagemagick poppler-utils)
#
# The program runs from a scratch copy of build/, so no record of a real game is touched.
set -euo pipefail
cd "$(dirname "$0")/.."

SCHERMO=${1:-:85}
[ -x build/tabellone ] || { echo "manca build/tabellone: prima ./build.sh test" >&2; exit 1; }

LAVORO=$(mktemp -d)
PIDS=()
fine() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$LAVORO"
}
trap fine EXIT

cp build/tabellone build/tabellone-rete.so "$LAVORO/"
for f in build/img*.gif; do ln -s "$PWD/$f" "$LAVORO/"; done
# A game under way: nine numbers already drawn.
printf 'Partita : 24/12/2026 21:30:00\r\n' >"$LAVORO/ultima.par"
for n in 7 13 22 33 45 58 61 77 90; do printf ' %d \r\n' "$n" >>"$LAVORO/ultima.par"; done

# A batch of twelve series, made from the command line with no display, kept beside the record.
env -u DISPLAY -u WAYLAND_DISPLAY "$LAVORO/tabellone" --cartelle 12 --pdf "$LAVORO/cartelle.pdf" >/dev/null
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$LAVORO/cartelle.pdf" docs/cartelle
# The card that holds most of the numbers drawn by the end (50 is drawn below).
CARTELLA=$(pdftotext -layout "$LAVORO/cartelle.pdf" - | python3 -c '
import re, sys
estratti = {7, 13, 22, 33, 45, 58, 61, 77, 90, 50}
migliore, numero, righe = (-1, 0), 0, 0
for linea in sys.stdin:
    m = re.search(r"Cartella (\d+)", linea)
    if m:
        numero, righe, trovati = int(m.group(1)), 3, 0
    elif righe and linea.strip():
        righe -= 1
        trovati += len(estratti & {int(x) for x in linea.split()})
        if righe == 0:
            migliore = max(migliore, (trovati, -numero))
print(-migliore[1])')

Xvfb "$SCHERMO" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
PIDS+=($!)
export DISPLAY=$SCHERMO
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
PIDS+=($!)
sleep 1

"$LAVORO/tabellone" &
PROGRAMMA=$!
PIDS=("$PROGRAMMA" "${PIDS[@]}")

finestra() { xdotool search --sync --onlyvisible --pid "$PROGRAMMA" --name "$1" | head -1; }

SPLASH=$(finestra '^Tabellone Tombola$')
sleep 1
import -window "$SPLASH" docs/schermata-iniziale.png

# Comments of level 1, then the green traffic light (positions in the start screen's pixels).
xdotool mousemove --window "$SPLASH" 318 204 click 1
xdotool mousemove --window "$SPLASH" 407 228 click 1
finestra 'doppio clic' >/dev/null
sleep 1
# F11 on the board, which has the focus: it fills the screen.
xdotool key F11
sleep 2
import -window root docs/tabellone.png

# Number 50, the last cell of the fifth row, on the 1280x800 screen.
xdotool mousemove 1112 405 click --repeat 2 --delay 80 1
sleep 2
import -window root docs/estrazione.png
xdotool key space
sleep 1

# F5, the card's number, Enter: the card checked over the board.
xdotool key F5
finestra '^Controllo cartella$' >/dev/null
sleep 0.5
xdotool type "$CARTELLA"
xdotool key Return
sleep 1
import -window root docs/verifica.png
xdotool key Return
sleep 1
echo "schermate in docs/: $(ls docs/*.png | tr '\n' ' ')"
