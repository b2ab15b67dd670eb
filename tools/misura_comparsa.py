#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Benchmark, not a test: how long the pop-up of a draw takes to appear on the
real board with N phones connected (default 500), against the phones switched
on with none connected, and switched off.

    tools/misura_telefoni.sh --comparsa BUILD_DIR [--display 47] [--telefoni 500]
                             [--giri 6] [--per-giro 10] [--grezzi FILE]

(misura_telefoni.sh compiles the phones and passes them as --strumento.)
Runs Xvfb 1920x1080 and openbox on the given display and copies the built
program and its pictures into a temporary program folder. Each round starts
the program twice, in alternating order: once with "Telefoni in sala" on, where
the phones are connected for a block of draws and then dropped for another
block (the order of the two blocks alternates too), and once with the phones
off. Each draw is a double-click on a cell (sent through XTest by a small X
client compiled here, which also watches the pop-up); the time runs from the
double-click to the pop-up exposed on screen, and from the key that closes it
to the pop-up gone (the draw is recorded and sent to the phones on closing),
and, from the phones' side, from that key to the last phone holding the draw.
Every process started is ended by its id.
"""
import argparse
import json
import os
import random
import re
import resource
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from misura_avvio import centri_celle, ferma, geometria, xdo  # noqa: E402

TITOLO = "^Tabellone Tombola$"
TABELLONE = "^Tabellone Tombola: "
POPUP = "La tombola della smorfia"

# The hands and eyes on the display. Sends the operator's double-click on a
# cell ("clic X Y") and the key that closes the pop-up ("tasto") through
# XTest, and answers "fatto T" with the moment the last event went to the
# server; watches for a window whose name starts with argv[1]: "comparso T"
# at its first exposure (on screen), "sparito T" when unmapped or destroyed.
# T in µs of the monotonic clock (Python's time.monotonic()). xdotool is too
# coarse for this on a busy machine: a search, or its own exit, takes tens of
# milliseconds.
OSSERVATORE = r'''
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

/* libXtst's calls (its header is not needed for three of them). */
extern int XTestFakeMotionEvent(Display *, int, int, int, unsigned long);
extern int XTestFakeButtonEvent(Display *, unsigned int, Bool, unsigned long);
extern int XTestFakeKeyEvent(Display *, unsigned int, Bool, unsigned long);

static long long adesso(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

static int nome_giusto(Display *d, Window w, const char *prefisso)
{
    Atom nomi[2] = {XInternAtom(d, "_NET_WM_NAME", False), XA_WM_NAME};
    for (int i = 0; i < 2; ++i) {
        Atom tipo;
        int formato;
        unsigned long quanti, resto;
        unsigned char *valore = NULL;
        if (XGetWindowProperty(d, w, nomi[i], 0, 256, False, AnyPropertyType, &tipo, &formato, &quanti, &resto, &valore) == Success && valore) {
            int giusto = formato == 8 && strncmp((const char *)valore, prefisso, strlen(prefisso)) == 0;
            XFree(valore);
            if (giusto)
                return 1;
        }
    }
    return 0;
}

static int ignora(Display *d, XErrorEvent *e) { (void)d; (void)e; return 0; }

int main(int argc, char **argv)
{
    Display *d = XOpenDisplay(NULL);
    if (!d || argc < 2)
        return 1;
    XSetErrorHandler(ignora);
    Window radice = DefaultRootWindow(d);
    XSelectInput(d, radice, SubstructureNotifyMask);
    Window visto = 0;
    char riga[128];
    size_t letti = 0;
    printf("pronto\n");
    fflush(stdout);
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            const long long t = adesso();
            switch (e.type) {
            case CreateNotify:
                if (e.xcreatewindow.parent == radice) {
                    XSelectInput(d, e.xcreatewindow.window, StructureNotifyMask | ExposureMask);
                    /* On screen already, its exposure gone before it was watched: seen now. */
                    XWindowAttributes a;
                    if (XGetWindowAttributes(d, e.xcreatewindow.window, &a) && a.map_state == IsViewable
                        && nome_giusto(d, e.xcreatewindow.window, argv[1])) {
                        visto = e.xcreatewindow.window;
                        printf("comparso %lld\n", t);
                    }
                }
                break;
            case Expose:
                if (e.xexpose.window != visto && nome_giusto(d, e.xexpose.window, argv[1])) {
                    visto = e.xexpose.window;
                    printf("comparso %lld\n", t);
                }
                break;
            case UnmapNotify:
            case DestroyNotify:
                if (e.xany.window == visto) {
                    visto = 0;
                    printf("sparito %lld\n", t);
                }
                break;
            }
            fflush(stdout);
        }
        fd_set pronti;
        FD_ZERO(&pronti);
        FD_SET(0, &pronti);
        FD_SET(ConnectionNumber(d), &pronti);
        if (select(ConnectionNumber(d) + 1, &pronti, NULL, NULL, NULL) < 0 || !FD_ISSET(0, &pronti))
            continue;
        const ssize_t n = read(0, riga + letti, sizeof riga - 1 - letti);
        if (n <= 0)
            return 0;
        letti += (size_t)n;
        riga[letti] = 0;
        char *fine;
        while ((fine = strchr(riga, '\n'))) {
            *fine = 0;
            int x, y;
            if (sscanf(riga, "clic %d %d", &x, &y) == 2) {
                XTestFakeMotionEvent(d, -1, x, y, 0);
                XSync(d, False);
                usleep(50000);
                for (int volta = 0; volta < 2; ++volta) {
                    if (volta)
                        usleep(40000);
                    XTestFakeButtonEvent(d, 1, True, 0);
                    XTestFakeButtonEvent(d, 1, False, 0);
                    XFlush(d);
                }
                printf("fatto %lld\n", adesso());
            } else if (strcmp(riga, "tasto") == 0) {
                const KeyCode spazio = XKeysymToKeycode(d, XK_space);
                XTestFakeKeyEvent(d, spazio, True, 0);
                XTestFakeKeyEvent(d, spazio, False, 0);
                XFlush(d);
                printf("fatto %lld\n", adesso());
            }
            fflush(stdout);
            letti -= (size_t)(fine + 1 - riga);
            memmove(riga, fine + 1, letti + 1);
        }
    }
}
'''

CONNESSI = "500 telefoni"
NESSUNO = "accesi, 0"
SPENTI = "spenti"


def visibile(nome, display):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", nome],
                       env=display, capture_output=True, text=True)
    return r.stdout.split()[0] if r.returncode == 0 and r.stdout.strip() else None


def aspetta_finestra(nome, display, limite=60.0):
    fine = time.monotonic() + limite
    while time.monotonic() < fine:
        trovata = visibile(nome, display)
        if trovata:
            return trovata
        time.sleep(0.01)
    return None


def porta_in_ascolto(pid):
    """The phones' port the program listens on (8090..8110 on every address), or None."""
    r = subprocess.run(["ss", "-Hltnp"], capture_output=True, text=True)
    for riga in r.stdout.splitlines():
        trovato = re.search(r"0\.0\.0\.0:(\d+)\s.*pid=%d," % pid, riga)
        if trovato and 8090 <= int(trovato.group(1)) <= 8110:
            return int(trovato.group(1))
    return None


class Osservatore:
    """The pop-up's appearances and disappearances, as the X server tells them."""

    def __init__(self, eseguibile, display, processi):
        self.processo = subprocess.Popen([eseguibile, POPUP], env=display, stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        processi.append(self.processo)
        self.eventi = []
        self.cambiato = threading.Condition()
        if self.processo.stdout.readline().strip() != "pronto":
            raise RuntimeError("no X watcher")
        threading.Thread(target=self._leggi, daemon=True).start()

    def _leggi(self):
        for riga in self.processo.stdout:
            tipo, quando = riga.split()
            with self.cambiato:
                self.eventi.append((tipo, int(quando) / 1e6))
                self.cambiato.notify_all()

    def comanda(self, comando):
        """Sends a command; when its last event went to the server (monotonic seconds)."""
        prima = time.monotonic()
        self.processo.stdin.write(comando + "\n")
        self.processo.stdin.flush()
        fatto = self.aspetta("fatto", prima)
        if fatto is None:
            raise RuntimeError("the X watcher did not answer")
        return fatto

    def aspetta(self, tipo, dopo, limite=10.0):
        """When the first `tipo` event after `dopo` happened (monotonic seconds), or None."""
        fine = time.monotonic() + limite
        with self.cambiato:
            while True:
                for t, quando in self.eventi:
                    if t == tipo and quando >= dopo:
                        return quando
                resta = fine - time.monotonic()
                if resta <= 0:
                    return None
                self.cambiato.wait(resta)


class Telefoni:
    """The phones' process: connects, then reports each snapshot's arrivals."""

    def __init__(self, strumento, porta, quanti):
        self.processo = subprocess.Popen([strumento, "--collega", "ws://127.0.0.1:%d/ws" % porta, str(quanti)],
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.collegati = None
        self.arrivi = {}  # seq -> (phones, connected, first, last), monotonic seconds
        self.pronto = threading.Event()
        self.guardia = threading.Lock()
        threading.Thread(target=self._leggi, daemon=True).start()

    def _leggi(self):
        for riga in self.processo.stdout:
            parti = riga.split()
            if parti[:1] == ["collegati"]:
                self.collegati = int(parti[1])
                self.pronto.set()
            elif parti[:1] == ["seq"]:
                with self.guardia:
                    self.arrivi[int(parti[1])] = (int(parti[3]), int(parti[5]), int(parti[7]) / 1e6, int(parti[9]) / 1e6)
        self.pronto.set()

    def dopo(self, istante, limite=4.0):
        """The first snapshot that reached a phone after `istante`."""
        fine = time.monotonic() + limite
        while time.monotonic() < fine:
            with self.guardia:
                dopo = [a for a in self.arrivi.values() if a[2] >= istante]
            if dopo:
                return min(dopo, key=lambda a: a[2])
            time.sleep(0.02)
        return None

    def ferma(self):
        ferma(self.processo)


class Programma:
    """One run of the board in a fresh program folder, its board maximised."""

    def __init__(self, cartella, display, telefoni_accesi, osservatore, processi):
        self.osservatore = osservatore
        for nome in ("ultima.par", "storia.dat"):
            percorso = os.path.join(cartella, nome)
            if os.path.exists(percorso):
                os.remove(percorso)
        self.display = display
        self.processo = subprocess.Popen([os.path.join(cartella, "tabellone")], env=display, cwd=cartella,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processi.append(self.processo)
        self.porta = None
        splash = aspetta_finestra(TITOLO, display)
        if splash is None:
            raise RuntimeError("no start screen")
        if telefoni_accesi:
            # "Telefoni in sala": {900, 240, 420, 255} twips inside the frame at {4200, 2640}.
            for _ in range(3):
                sx, sy = self.fermo(splash)
                xdo(display, "mousemove", str(sx + (4200 + 900 + 210) // 15), str(sy + (2640 + 240 + 127) // 15), "click", "1")
                fine = time.monotonic() + 10
                while self.porta is None and time.monotonic() < fine:
                    time.sleep(0.2)
                    self.porta = porta_in_ascolto(self.processo.pid)
                if self.porta is not None:
                    break
            if self.porta is None:
                raise RuntimeError("the phones did not switch on")
        tabellone = None
        for _ in range(3):
            # The start button, the traffic light.
            sx, sy = self.fermo(splash)
            xdo(display, "mousemove", str(sx + (4200 + 1440 + 322) // 15 + 8), str(sy + (2640 + 240 + 487) // 15 + 8), "click", "1")
            tabellone = aspetta_finestra(TABELLONE, display, 10)
            if tabellone is not None:
                break
        if tabellone is None:
            raise RuntimeError("the board did not open")
        xdo(display, "windowactivate", "--sync", tabellone)
        xdo(display, "key", "F11")
        time.sleep(2.0)
        tabellone = aspetta_finestra(TABELLONE, display, 30)
        if tabellone is None:
            raise RuntimeError("the board went away")
        self.fermo(tabellone)
        self.celle = centri_celle(*geometria(display, tabellone))
        self.da_estrarre = list(range(1, 91))
        random.Random(self.processo.pid).shuffle(self.da_estrarre)

    def fermo(self, finestra):
        """The window's place once the window manager has stopped moving it; it is activated."""
        xdo(self.display, "windowactivate", "--sync", finestra)
        prima = None
        for _ in range(20):
            time.sleep(0.5)
            adesso = geometria(self.display, finestra)
            if adesso == prima:
                break
            prima = adesso
        return prima[0], prima[1]

    def estrai(self, telefoni=None):
        """One draw: (to the pop-up, to its closing, key to the last phone, phones holding it), in seconds."""
        cx, cy = self.celle[self.da_estrarre.pop()]
        clic = self.osservatore.comanda("clic %d %d" % (cx, cy))
        comparso = self.osservatore.aspetta("comparso", clic - 0.1)
        if comparso is None:
            raise RuntimeError("no pop-up")
        comparsa = comparso - clic
        time.sleep(0.4)
        tasto = self.osservatore.comanda("tasto")
        sparito = self.osservatore.aspetta("sparito", tasto - 0.1)
        chiusura = sparito - tasto if sparito is not None else None
        ultimo, quanti = None, None
        if telefoni is not None:
            arrivo = telefoni.dopo(tasto)
            if arrivo:
                ultimo, quanti = arrivo[3] - tasto, arrivo[0]
        time.sleep(0.6)
        return comparsa, chiusura, ultimo, quanti

    def ferma(self):
        ferma(self.processo)


def percentile(valori, p):
    valori = sorted(v for v in valori if v is not None)
    if not valori:
        return float("nan")
    return valori[min(len(valori) - 1, int(p * (len(valori) - 1) + 0.5))]


def intervallo(a, b, volte=2000):
    """90 % bootstrap interval of median(a) / median(b)."""
    caso = random.Random(1)
    rapporti = sorted(statistics.median(caso.choices(a, k=len(a))) / statistics.median(caso.choices(b, k=len(b)))
                      for _ in range(volte))
    return rapporti[int(0.05 * volte)], rapporti[int(0.95 * volte)]


def main():
    argomenti = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    argomenti.add_argument("build")
    argomenti.add_argument("--strumento", required=True, help="the compiled misura_telefoni")
    argomenti.add_argument("--display", type=int, default=47)
    argomenti.add_argument("--telefoni", type=int, default=500)
    argomenti.add_argument("--giri", type=int, default=6)
    argomenti.add_argument("--per-giro", type=int, default=10, help="draws per condition and round")
    argomenti.add_argument("--grezzi", help="also write every draw's times here, as JSON")
    opzioni = argomenti.parse_args()

    # Each phone is a socket here and one in the program.
    _, massimo = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(massimo, 8192), massimo))

    # Ended from outside, it still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    display = dict(os.environ, DISPLAY=":%d" % opzioni.display)
    display.pop("QT_QPA_PLATFORM", None)
    lavoro = tempfile.mkdtemp(prefix="misura_comparsa.")
    processi = []
    misure = {CONNESSI: [], NESSUNO: [], SPENTI: []}
    try:
        processi.append(subprocess.Popen(["Xvfb", ":%d" % opzioni.display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.0)
        if processi[-1].poll() is not None:
            raise RuntimeError("Xvfb did not start on :%d (display in use?)" % opzioni.display)
        processi.append(subprocess.Popen(["openbox"], env=display, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.0)
        sorgente = os.path.join(lavoro, "osservatore.c")
        with open(sorgente, "w") as f:
            f.write(OSSERVATORE)
        subprocess.run(["gcc", "-O2", sorgente, "-o", sorgente[:-2], "-lX11", "-l:libXtst.so.6"], check=True)
        osservatore = Osservatore(sorgente[:-2], display, processi)

        cartella = os.path.join(lavoro, "programma")
        os.mkdir(cartella)
        shutil.copy2(os.path.join(opzioni.build, "tabellone"), cartella)
        for nome in os.listdir(opzioni.build):
            if (nome.startswith("img") and nome.endswith(".gif")) or nome.startswith("tabellone-rete."):
                shutil.copy2(os.path.join(opzioni.build, nome), cartella)

        for giro in range(opzioni.giri):
            accesi_prima = giro % 2 == 0
            for accesi in (accesi_prima, not accesi_prima):
                programma = None
                try:
                    programma = Programma(cartella, display, accesi, osservatore, processi)
                    if not accesi:
                        for _ in range(opzioni.per_giro):
                            misure[SPENTI].append(programma.estrai())
                        continue
                    blocchi = (CONNESSI, NESSUNO) if giro % 4 < 2 else (NESSUNO, CONNESSI)
                    for blocco in blocchi:
                        if blocco == NESSUNO:
                            for _ in range(opzioni.per_giro):
                                misure[NESSUNO].append(programma.estrai())
                            continue
                        telefoni = Telefoni(opzioni.strumento, programma.porta, opzioni.telefoni)
                        processi.append(telefoni.processo)
                        try:
                            telefoni.pronto.wait(90)
                            if telefoni.collegati != opzioni.telefoni:
                                print("round %d: %s of %d phones connected" % (giro + 1, telefoni.collegati, opzioni.telefoni))
                            time.sleep(2.0)  # the connections settled
                            for _ in range(opzioni.per_giro):
                                misure[CONNESSI].append(programma.estrai(telefoni))
                        finally:
                            telefoni.ferma()
                        time.sleep(1.0)  # the program has seen them go
                finally:
                    if programma:
                        programma.ferma()
            print("round %d of %d done" % (giro + 1, opzioni.giri), flush=True)

        if opzioni.grezzi:
            with open(opzioni.grezzi, "w") as f:
                json.dump(misure, f)
        print()
        print("%-14s %6s %12s %12s %12s %12s %14s %14s" % ("phones", "draws", "pop-up med", "pop-up p90",
                                                          "close med", "close p90", "last phone med", "last phone p90"))
        for nome, righe in misure.items():
            comparse = [r[0] * 1000 for r in righe]
            chiusure = [r[1] * 1000 for r in righe if r[1] is not None]
            ultimi = [r[2] * 1000 for r in righe if r[2] is not None]
            print("%-14s %6d %9.1f ms %9.1f ms %9.1f ms %9.1f ms %11s %14s" % (
                nome, len(righe), statistics.median(comparse), percentile(comparse, 0.9),
                statistics.median(chiusure), percentile(chiusure, 0.9),
                "%.1f ms" % statistics.median(ultimi) if ultimi else "-",
                "%.1f ms" % percentile(ultimi, 0.9) if ultimi else "-"))
        for altro in (NESSUNO, SPENTI):
            a = [r[0] for r in misure[CONNESSI]]
            b = [r[0] for r in misure[altro]]
            ca = [r[1] for r in misure[CONNESSI] if r[1] is not None]
            cb = [r[1] for r in misure[altro] if r[1] is not None]
            print("ratio %s / %s: pop-up median %.3f (90 %% interval %.3f-%.3f), p90 %.3f; close median %.3f, p90 %.3f" % (
                CONNESSI, altro, statistics.median(a) / statistics.median(b), *intervallo(a, b),
                percentile(a, 0.9) / percentile(b, 0.9),
                statistics.median(ca) / statistics.median(cb), percentile(ca, 0.9) / percentile(cb, 0.9)))
        quanti = [r[3] for r in misure[CONNESSI] if r[3] is not None]
        if quanti:
            print("phones holding each draw: min %d, max %d" % (min(quanti), max(quanti)))
    finally:
        for p in reversed(processi):
            ferma(p)
        shutil.rmtree(lavoro, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
