#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Installs build/tabellone_1.0.4_amd64.deb with apt-get, starts the installed
# program headless with an empty home, checks that it stays up, finds its
# pictures in /usr/share/tabellone and keeps its record in the per-user
# folder, then removes the package. Run as root (CI) or with sudo at hand.
set -euo pipefail
cd "$(dirname "$0")/.."

PACCHETTO=./build/tabellone_1.0.4_amd64.deb
[ -f "$PACCHETTO" ] || { echo "manca $PACCHETTO: prima ./build.sh package" >&2; exit 1; }
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

CASA=$(mktemp -d)
PROGRAMMA=
fine() {
    if [ -n "$PROGRAMMA" ]; then kill "$PROGRAMMA" 2>/dev/null || true; wait "$PROGRAMMA" 2>/dev/null || true; fi
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq tabellone >/dev/null || true
    rm -rf "$CASA"
}
trap fine EXIT

installa() { DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "$PACCHETTO"; }
# A fresh machine may have no package lists yet for the dependencies.
installa || { "${sudo[@]}" apt-get update -qq && installa; }
test -x /usr/bin/tabellone
test -f /usr/share/tabellone/img90.gif
test -f /usr/share/applications/it.tabellone.Tombola.desktop

# A game left by an earlier run, in the per-user folder; nothing else in the home.
DATI="$CASA/.local/share/tabellone"
mkdir -p "$DATI"
printf 'Partita : 24/12/2026 21:30:00\r\n 7 \r\n' >"$DATI/ultima.par"

# Started from its own folder: the record must not be looked for there.
(cd /tmp && exec env -i HOME="$CASA" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen /usr/bin/tabellone \
    >"$CASA/uscita.txt" 2>"$CASA/errori.txt") &
PROGRAMMA=$!
sleep 4

errore() { echo "prova del pacchetto: $*" >&2; cat "$CASA/errori.txt" >&2; exit 1; }
kill -0 "$PROGRAMMA" 2>/dev/null || errore "il programma installato non è rimasto aperto"
! grep -q "immagine mancante" "$CASA/errori.txt" || errore "immagini non trovate in /usr/share/tabellone"
# The running board holds the lock beside the record it keeps: the per-user one.
BLOCCO="$DATI/ultima.par.lock"
[ -f "$BLOCCO" ] || errore "nessun blocco accanto a $DATI/ultima.par"
[ "$(head -1 "$BLOCCO")" = "$PROGRAMMA" ] || errore "il blocco in $DATI non è del programma avviato"
[ ! -e /usr/bin/ultima.par ] && [ ! -e /usr/bin/ultima.par.lock ] || errore "scritto nella cartella del programma"
# A second start on the same record brings the first forward and ends at once.
env -i HOME="$CASA" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen timeout 20 /usr/bin/tabellone 2>/dev/null \
    || errore "la seconda apertura non si è chiusa da sola"
kill -0 "$PROGRAMMA" 2>/dev/null || errore "la seconda apertura ha chiuso la prima"

echo "prova del pacchetto: avviato da /usr/bin, immagini da /usr/share/tabellone, partita in $DATI"
