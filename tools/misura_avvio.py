#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Benchmark, not a test: start-up time to the first window and resident
memory of the real program, with game records of several sizes, side by side
with a bare Qt window, as ratios.

    tools/misura_avvio.py BUILD_DIR [--display 71] [--volte 11] [--estrazioni] [--prima OLD_BUILD_DIR]

Runs Xvfb 1920x1080 and openbox on the given display, copies the executable
and its pictures into a temporary program folder (the record is kept beside
the executable) and starts the program once per record and round. With
--estrazioni it also draws all 90 numbers on the board maximised, and reports
memory empty, full, and after F2. Only the standard library and the usual
X tools (Xvfb, openbox, xdotool) are used; every process started is ended by
its id.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TITOLO = "^Tabellone Tombola$"
TABELLONE = "^Tabellone Tombola: "
BASE = "^Finestra di base$"

FINESTRA_BASE = r'''
#include <QApplication>
#include <QWidget>
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget finestra;
    finestra.setWindowTitle("Finestra di base");
    finestra.resize(480, 320);
    finestra.show();
    return app.exec();
}
'''


def registri(cartella):
    """Record contents by name: header plus number lines, CR LF."""
    testa = b"Partita : 06/12/2026 21:05:33\r\n"
    riga = lambda n: b" %d \r\n" % n
    casi = [("none", None),
            ("90 numbers", testa + b"".join(riga(n) for n in range(1, 91))),
            ("1,000 lines", testa + b"".join(riga(1 + i % 90) for i in range(1000))),
            ("20,000 lines", testa + b"".join(riga(1 + i % 90) for i in range(20000)))]
    # The same full game with its story beside it: every call timed, its seed, withdrawals.
    storia = (b"tabellone storia 1\r\nintervallo 20\r\npartita\r\ninizio 2026-12-06T21:05:33\r\nseme " + b"5a" * 32 + b"\r\n"
              + b"".join(b"c %d %d 2026-12-06T21:%02d:%02d c\r\n" % (n, n, 5 + n // 60, n % 60) for n in range(1, 91)))
    casi.append(("90 + story", (casi[1][1], storia)))
    grande = os.path.join(cartella, "grande.par")
    blocco = b"".join(riga(1 + i % 90) for i in range(90 * 1000))
    with open(grande, "wb") as f:
        f.write(testa)
        while f.tell() < 200 * 1024 * 1024:
            f.write(blocco)
    casi.append(("200 MB", grande))
    return casi


def aspetta_finestra(nome, display, limite=120.0):
    fine = time.monotonic() + limite
    while time.monotonic() < fine:
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", nome],
                           env=display, capture_output=True, text=True)
        if r.returncode == 0 and r.stdout.strip():
            return r.stdout.split()[0]
        time.sleep(0.002)
    return None


def memoria(pid, campo="VmRSS"):
    with open("/proc/%d/status" % pid) as f:
        for riga in f:
            if riga.startswith(campo + ":"):
                return int(riga.split()[1]) / 1024.0
    return float("nan")


def ferma(processo):
    if processo.poll() is None:
        processo.send_signal(signal.SIGTERM)
        try:
            processo.wait(5)
        except subprocess.TimeoutExpired:
            processo.kill()
            processo.wait()


def avvia(comando, finestra, display, cwd):
    """Seconds to the first mapped window, and the process (still running)."""
    inizio = time.monotonic()
    p = subprocess.Popen(comando, env=display, cwd=cwd,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    trovata = aspetta_finestra(finestra, display)
    tempo = time.monotonic() - inizio
    if trovata is None:
        ferma(p)
        return None, None
    return tempo, p


def una_volta(comando, finestra, display, cwd):
    """Start-up seconds, resident and peak MB once the first paint has settled; None if no window."""
    tempo, p = avvia(comando, finestra, display, cwd)
    if tempo is None:
        return None
    time.sleep(1.0)  # settled: the first paint done
    valori = (tempo, memoria(p.pid), memoria(p.pid, "VmHWM"))
    ferma(p)
    return valori


def mediane(misure):
    return tuple(statistics.median(m[i] for m in misure) for i in range(3)) if misure else (None,) * 3


def xdo(display, *argomenti):
    subprocess.run(["xdotool", *argomenti], env=display, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def geometria(display, finestra):
    r = subprocess.run(["xdotool", "getwindowgeometry", "--shell", finestra],
                       env=display, capture_output=True, text=True)
    valori = dict(riga.split("=", 1) for riga in r.stdout.split())
    return int(valori["X"]), int(valori["Y"]), int(valori["WIDTH"]), int(valori["HEIGHT"])


def centri_celle(x, y, sw, sh):
    """Screen centres of cells 1..90, from the board's layout rules (pixels)."""
    ux, uy = sw / 100.0, sh / 88.0
    passo_c = (sw - 9.0 * ux) / 10.0
    passo_r = (sh - 7.5 * uy) / 8.5
    larghezza, altezza = passo_c - 3.0 * ux, passo_r - 3.0 * uy
    centri = {}
    for n in range(1, 91):
        riga, colonna = (n - 1) // 10, (n - 1) % 10
        sinistra = 2.0 * ux + colonna * passo_c
        alto = riga * passo_r + (1.5 + riga // 3) * uy
        centri[n] = (int(x + sinistra + larghezza / 2), int(y + alto + altezza / 2))
    return centri


def estrazioni(eseguibile, display, cartella):
    """Resident memory (MB) of the board maximised: empty, all 90 drawn, after F2."""
    tempo, p = avvia([eseguibile], TITOLO, display, cartella)
    if tempo is None:
        return None
    try:
        time.sleep(1.0)
        splash = aspetta_finestra(TITOLO, display)
        xdo(display, "windowactivate", "--sync", splash)
        # The start button: Tab through the level options to the traffic light.
        sx, sy, sw, sh = geometria(display, splash)
        xdo(display, "mousemove", str(sx + (4200 + 1440 + 322) // 15 + 8), str(sy + (2640 + 240 + 487) // 15 + 8), "click", "1")
        tabellone = aspetta_finestra(TABELLONE, display, 10)
        if tabellone is None:
            return None
        xdo(display, "windowactivate", "--sync", tabellone)
        xdo(display, "key", "F11")
        time.sleep(2.0)
        tabellone = aspetta_finestra(TABELLONE, display, 10)
        x, y, w, h = geometria(display, tabellone)
        vuoto = memoria(p.pid)
        for n, (cx, cy) in centri_celle(x, y, w, h).items():
            xdo(display, "mousemove", str(cx), str(cy), "click", "--repeat", "2", "--delay", "40", "1")
            time.sleep(0.15)
            xdo(display, "key", "space")
            time.sleep(0.1)
        time.sleep(1.0)
        pieno = memoria(p.pid)
        xdo(display, "windowactivate", "--sync", tabellone)
        xdo(display, "key", "F2")
        time.sleep(0.5)
        xdo(display, "key", "Return")
        time.sleep(1.5)
        dopo = memoria(p.pid)
        with open(os.path.join(cartella, "ultima.par"), "rb") as f:
            righe = f.read().count(b"\n")
        return vuoto, pieno, dopo, righe
    finally:
        ferma(p)


def main():
    argomenti = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    argomenti.add_argument("build")
    argomenti.add_argument("--display", type=int, default=71)
    argomenti.add_argument("--volte", type=int, default=11)
    argomenti.add_argument("--estrazioni", action="store_true")
    argomenti.add_argument("--prima", metavar="BUILD_DIR", help="an earlier build, measured in the same rounds")
    opzioni = argomenti.parse_args()

    display = dict(os.environ, DISPLAY=":%d" % opzioni.display)
    display.pop("QT_QPA_PLATFORM", None)
    lavoro = tempfile.mkdtemp(prefix="misura_avvio.")
    processi = []
    try:
        processi.append(subprocess.Popen(["Xvfb", ":%d" % opzioni.display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.0)
        processi.append(subprocess.Popen(["openbox"], env=display, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.0)

        base = os.path.join(lavoro, "finestra_di_base")
        with open(base + ".cpp", "w") as f:
            f.write(FINESTRA_BASE)
        flag = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], capture_output=True, text=True, check=True).stdout.split()
        subprocess.run(["g++", "-std=c++20", "-O2", "-fPIC", base + ".cpp", "-o", base, *flag], check=True)

        # The build measured, and the one before it when asked: each in a program folder of its own.
        programmi = []
        for etichetta, build in (("", opzioni.build), ("before: ", opzioni.prima)):
            if not build:
                continue
            cartella = os.path.join(lavoro, "programma" + str(len(programmi)))
            os.mkdir(cartella)
            eseguibile = os.path.join(cartella, "tabellone")
            shutil.copy2(os.path.join(build, "tabellone"), eseguibile)
            for nome in os.listdir(build):
                if (nome.startswith("img") and nome.endswith(".gif")) or nome.startswith("tabellone-rete."):
                    shutil.copy2(os.path.join(build, nome), cartella)
            programmi.append((etichetta, eseguibile, cartella))

        def prepara(cartella, contenuto):
            registro, storia = os.path.join(cartella, "ultima.par"), os.path.join(cartella, "storia.dat")
            for vecchio in (registro, storia):
                if os.path.exists(vecchio):
                    os.remove(vecchio)
            if isinstance(contenuto, tuple):
                contenuto, accanto = contenuto
                with open(storia, "wb") as f:
                    f.write(accanto)
            if isinstance(contenuto, bytes):
                with open(registro, "wb") as f:
                    f.write(contenuto)
            elif contenuto:
                shutil.copy(contenuto, registro)

        # Interleaved: each round starts the bare window and then every build on every
        # record once, so a machine that slows down part way weighs on all of them alike.
        casi = registri(lavoro)
        misure = {"bare Qt window": []}
        for giro in range(opzioni.volte):
            valori = una_volta([base], BASE, display, lavoro)
            if valori:
                misure["bare Qt window"].append(valori)
            for nome, contenuto in casi:
                if nome == "200 MB" and giro > 0:
                    continue
                for etichetta, eseguibile, cartella in programmi:
                    prepara(cartella, contenuto)
                    valori = una_volta([eseguibile], TITOLO, display, cartella)
                    misure.setdefault(etichetta + nome, [])
                    if valori:
                        misure[etichetta + nome].append(valori)
        risultati = [(nome,) + mediane(misure[nome]) for nome in misure]

        base_t, base_m = risultati[0][1], risultati[0][2]
        vuoto_t, vuoto_m = risultati[1][1], risultati[1][2]
        print("medians of %d rounds" % opzioni.volte)
        print("%-24s %9s %7s %7s %8s %7s %10s %8s" % ("record", "start ms", "/bare", "/none", "RSS MB", "/bare", "+RSS none", "peak MB"))
        for nome, t, m, picco in risultati:
            if t is None:
                print("%-24s no window within 120 s" % nome)
                continue
            print("%-24s %9.1f %7.2f %7.2f %8.1f %7.2f %10.1f %8.1f" % (nome, t * 1000, t / base_t, t / vuoto_t if vuoto_t else 0,
                                                                  m, m / base_m, m - (vuoto_m or 0), picco))

        etichetta, eseguibile, cartella = programmi[0]
        registro = os.path.join(cartella, "ultima.par")
        if opzioni.estrazioni:
            if os.path.exists(registro):
                os.remove(registro)
            esito = estrazioni(eseguibile, display, cartella)
            if esito is None:
                print("draws: the board did not open")
            else:
                vuoto, pieno, dopo, righe = esito
                print("board maximised 1920x1080, RSS MB: empty %.1f, 90 drawn %.1f (+%.1f), after F2 %.1f (+%.1f); record lines after F2: %d"
                      % (vuoto, pieno, pieno - vuoto, dopo, dopo - vuoto, righe))
    finally:
        for p in reversed(processi):
            ferma(p)
        shutil.rmtree(lavoro, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
