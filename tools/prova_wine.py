#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Windows build played under Wine, as a user would, on a display of its own.

    tools/prova_wine.py [build-windows] [--display 41] [--misura N [--prima OLD_BUILD]]

Portable zip: unpacked into a fresh folder, tabellone.exe started, the start
button pressed, cell 7 double-clicked, the pop-up closed with a key, the board
closed; ultima.par beside the executable must hold the header and " 7 " with
CR LF ends. A second start while the first runs minimised (the board, then
the start screen) must open no second board and bring the first back with
the focus; a start afterwards must show the 7. Command line: a bad --cartelle
from a console (a terminal of its own) and through a pipe must read as
written, and start /wait must give the exit status. Installer: /S installs
the program and its two Start-menu entries (the program, "Disinstalla
Tabellone Tombola"), the program's entry opened as the shell opens it starts
the program, Uninstall.exe /S removes them all. Phones: the zip's program
with the "Telefoni in sala" button pressed serves the page to a client on
this computer (loopback, and the computer's own IPv4 address when it has
one), 404 for paths outside its routes, and a draw on the board reaches an
open WebSocket as a new snapshot. With --misura N: start-up to
the first window, no record and a full one, medians of N interleaved rounds,
against a bare Qt window cross-built the same way (and an earlier build's zip
in the same rounds with --prima).

Xvfb, openbox and a Wine prefix of its own are started here and ended by
their ids (the prefix's wineserver with wineserver -k) whatever happens.
"""
import argparse
import base64
import fcntl
import glob
import hashlib
import http.client
import json
import os
import pty
import re
import select
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from misura_avvio import FINESTRA_BASE, aspetta_finestra, centri_celle, xdo  # noqa: E402

# Minimises a window of the program as its own button or the taskbar does
# (SC_MINIMIZE): with "tabellone" the visible window the start screen owns (the
# board), otherwise the start screen, which hides the board with it. A window
# manager's iconify does not reach Wine's windows of this kind: they would stay
# open for Windows.
RIDUCI = r"""
#include <windows.h>
#include <string.h>
#include <wchar.h>
static int tabellone, trovate;
static BOOL CALLBACK una(HWND h, LPARAM n)
{
    wchar_t classe[128] = {0};
    GetClassNameW(h, classe, 128);
    if (wcsstr(classe, L"QWindowIcon") && IsWindowVisible(h) && (GetWindow(h, GW_OWNER) != NULL) == tabellone) {
        SendMessageW(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ++trovate;
    }
    return TRUE;
}
int main(int argc, char **argv)
{
    tabellone = argc > 1 && strcmp(argv[1], "tabellone") == 0;
    EnumWindows(una, 0);
    return trovate == 1 ? 0 : 1;
}
"""

TITOLO = "^Tabellone Tombola$"
TABELLONE = "^Tabellone Tombola: "
BASE = "^Finestra di base$"


class Banco:
    def __init__(self, display):
        self.lavoro = tempfile.mkdtemp(prefix="prova_wine.")
        self.env = dict(os.environ, DISPLAY=":%d" % display, WINEPREFIX=os.path.join(self.lavoro, "prefisso"),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.processi = []
        self.processi.append(subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.5)
        self.processi.append(subprocess.Popen(["openbox"], env=self.env,
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True, timeout=300)

    def wine(self, *argomenti, cwd=None):
        p = subprocess.Popen(["wine", *argomenti], env=self.env, cwd=cwd,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processi.append(p)
        return p

    def chiudi(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for p in reversed(self.processi):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(self.lavoro, ignore_errors=True)

    def in_esecuzione(self, programma):
        """Whether a process of this bench's Wine prefix runs programma (a Windows file name)."""
        prefisso = ("WINEPREFIX=" + self.env["WINEPREFIX"]).encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    comando = f.read().split(b"\0")[0]
                with open("/proc/%s/environ" % pid, "rb") as f:
                    ambiente = f.read().split(b"\0")
            except OSError:
                continue
            nome = comando.replace(b"\\", b"/").lower()
            if nome.endswith(b"/" + programma.lower().encode()) and prefisso in ambiente:
                return True
        return False

    def finestre(self, nome):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", nome], env=self.env,
                           capture_output=True, text=True)
        return r.stdout.split()

    def finestre_classe(self, classe):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", classe], env=self.env,
                           capture_output=True, text=True)
        return sorted(r.stdout.split())

    def ritaglio(self, x, y, w, h, nome):
        percorso = os.path.join(self.lavoro, nome + ".png")
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), percorso],
                       env=self.env, check=True)
        return percorso

    def rosso(self, immagine):
        """Share of the picture's pixels in the numbers' red."""
        r = subprocess.run(["convert", immagine, "-fx", "r>0.45&&g<0.3&&b<0.3", "-format", "%[fx:mean]", "info:"],
                           env=self.env, capture_output=True, text=True, check=True)
        return float(r.stdout)


def geometria(env, finestra):
    """Where the window's inside lies on the screen: xdotool's answer is off
    by the frame for Wine's windows, xwininfo's is not."""
    r = subprocess.run(["xwininfo", "-id", finestra], env=env, capture_output=True, text=True)
    valori = {k.strip(): v.strip() for k, _, v in (riga.partition(":") for riga in r.stdout.splitlines())}
    return (int(valori["Absolute upper-left X"]), int(valori["Absolute upper-left Y"]),
            int(valori["Width"]), int(valori["Height"]))


def riduci(banco, quale):
    sorgente, riduci = os.path.join(banco.lavoro, "riduci.c"), os.path.join(banco.lavoro, "riduci.exe")
    if not os.path.exists(riduci):
        with open(sorgente, "w") as f:
            f.write(RIDUCI)
        subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O1", sorgente, "-o", riduci], check=True)
    esito = subprocess.run(["wine", riduci, quale], env=banco.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    assert esito.returncode == 0, "not exactly one window to minimise (%s)" % quale


def attendi_fine(p, secondi):
    try:
        p.wait(secondi)
        return True
    except subprocess.TimeoutExpired:
        return False


def scompatta(banco, build, nome):
    """The zip unpacked into a fresh folder of the bench; the path of its tabellone.exe."""
    archivio = glob.glob(os.path.join(build, "tabellone-*-win64.zip"))[0]
    cartella = os.path.join(banco.lavoro, nome)
    with zipfile.ZipFile(archivio) as z:
        z.extractall(cartella)
    return glob.glob(os.path.join(cartella, "*", "tabellone.exe"))[0]


def apri_schermata(banco, exe):
    """The program started; its process, and its start screen active with its corner."""
    p = banco.wine(exe, cwd=os.path.dirname(exe))
    splash = aspetta_finestra(TITOLO, banco.env, 120)
    assert splash, "the start screen did not show"
    time.sleep(1.0)
    xdo(banco.env, "windowactivate", "--sync", splash)
    sx, sy, _, _ = geometria(banco.env, splash)
    return p, splash, sx, sy


def apri_tabellone(banco, exe):
    p, splash, sx, sy = apri_schermata(banco, exe)
    return p, apri_tabellone_aperta(banco, splash, sx, sy)[1]


def celle(banco, tabellone):
    x, y, w, h = geometria(banco.env, tabellone)
    return centri_celle(x, y, w, h), (w / 100.0)


def termina(banco, tabellone, p):
    """Back to the start screen (Ctrl+F8) and its STOP button, as the operator ends."""
    xdo(banco.env, "windowactivate", "--sync", tabellone)
    xdo(banco.env, "key", "ctrl+F8")
    time.sleep(1.0)
    splash = aspetta_finestra(TITOLO, banco.env, 10)
    assert splash, "Ctrl+F8 did not bring the start screen back"
    premi_stop(banco, splash)
    assert attendi_fine(p, 30), "the STOP button did not end the program"


def premi_stop(banco, splash):
    sx, sy, _, _ = geometria(banco.env, splash)
    xdo(banco.env, "mousemove", str(sx + (150 + 4200 + 2070 + 322) // 15), str(sy + (60 + 2640 + 240 + 487) // 15),
        "click", "1")


def zip_portatile(banco, build):
    exe = scompatta(banco, build, "scompattato")
    registro = os.path.join(os.path.dirname(exe), "ultima.par")

    p, tabellone = apri_tabellone(banco, exe)
    centri, _ = celle(banco, tabellone)
    xdo(banco.env, "windowactivate", "--sync", tabellone)
    xdo(banco.env, "mousemove", *map(str, centri[7]), "click", "--repeat", "2", "--delay", "80", "1")
    time.sleep(2.0)
    xdo(banco.env, "key", "space")
    time.sleep(1.5)
    with open(registro, "rb") as f:
        dati = f.read()
    assert re.fullmatch(rb"Partita : [^\r\n]+\r\n 7 \r\n", dati), "ultima.par holds %r" % dati
    print("zip: ultima.par beside the exe holds %r" % dati)

    # A second start while the first runs minimised (the board, or the start screen
    # that takes the board with it): it ends, no second board opens, and the board
    # comes back with the focus. The board's title scrolls: its windows are counted
    # by Wine's class, the program's name.
    prima = banco.finestre_classe("tabellone.exe")
    for quale in ("tabellone", "schermata"):
        riduci(banco, quale)
        fine = time.monotonic() + 10
        while time.monotonic() < fine and tabellone in banco.finestre_classe("tabellone.exe"):
            time.sleep(0.2)
        assert tabellone not in banco.finestre_classe("tabellone.exe"), "the board did not go (%s minimised)" % quale
        secondo = banco.wine(exe, cwd=os.path.dirname(exe))
        assert attendi_fine(secondo, 90), "the second start did not end"
        fine = time.monotonic() + 10
        while time.monotonic() < fine and banco.finestre_classe("tabellone.exe") != prima:
            time.sleep(0.2)
        dopo = banco.finestre_classe("tabellone.exe")
        assert dopo == prima, "%s minimised: before the second start %s, after it %s" % (quale, prima, dopo)
        attiva = subprocess.run(["xdotool", "getactivewindow"], env=banco.env, capture_output=True,
                                text=True).stdout.strip()
        assert attiva == tabellone, "%s minimised: the board is back but the focus is on %s" % (quale, attiva)
        print("zip: a second start with the %s minimised brought the board back with the focus, and opened "
              "no board of its own" % ("board" if quale == "tabellone" else "start screen"))

    termina(banco, tabellone, p)
    with open(registro, "rb") as f:
        assert f.read() == dati, "ending changed the record"

    p, tabellone = apri_tabellone(banco, exe)
    centri, u = celle(banco, tabellone)
    lato = int(4 * u)
    ritagli = {n: banco.ritaglio(centri[n][0] - lato // 2, centri[n][1] - lato // 2, lato, lato, "cella%d" % n)
               for n in (7, 8, 9)}
    rossi = {n: banco.rosso(r) for n, r in ritagli.items()}
    assert rossi[7] > 0.05 and rossi[8] < 0.01 and rossi[9] < 0.01, "the second start does not show 7 drawn: %s" % rossi
    print("zip: the second start shows 7 drawn")
    termina(banco, tabellone, p)


def in_console(banco, comando, cwd, secondi=120):
    """comando run by Wine on a terminal of its own, as from a console window: the exit
    status and what the terminal got, cursor and colour sequences taken out."""
    principale, secondario = pty.openpty()
    p = subprocess.Popen(["wine", *comando], env=banco.env, cwd=cwd, stdin=secondario, stdout=secondario,
                         stderr=secondario, close_fds=True, start_new_session=True)
    banco.processi.append(p)
    os.close(secondario)
    ricevuto, fine = b"", time.monotonic() + secondi
    try:
        while time.monotonic() < fine:
            pronti, _, _ = select.select([principale], [], [], 0.5)
            if pronti:
                try:
                    dati = os.read(principale, 4096)
                except OSError:
                    break
                if not dati:
                    break
                ricevuto += dati
            elif p.poll() is not None:
                break
    finally:
        os.close(principale)
    assert attendi_fine(p, 30), "%s did not end" % comando
    return p.returncode, re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", ricevuto).decode("utf-8", "replace")


def riga_di_comando(banco, build):
    """tabellone --cartelle with a bad number, from a console and through a pipe: the
    message must read "non «0»" in both, and start /wait must give its exit status."""
    exe = scompatta(banco, build, "riga")
    cartella = os.path.dirname(exe)
    esito, testo = in_console(banco, ["cmd", "/c", "tabellone.exe", "--cartelle", "0"], cartella)
    assert esito == 2 and "da 1 a 500, non «0»." in testo, "console: status %d, %r" % (esito, testo)
    print("command line: a console shows %r" % next(r for r in testo.splitlines() if "«0»" in r).strip())
    esito, testo = in_console(banco, ["cmd", "/c", "start", "/wait", "tabellone.exe", "--cartelle", "0"], cartella)
    assert esito == 2, "start /wait: status %d, %r" % (esito, testo)
    print("command line: cmd /c start /wait gives exit status %d" % esito)
    p = subprocess.run(["wine", exe, "--cartelle", "0"], env=banco.env, cwd=cartella, stdin=subprocess.DEVNULL,
                       capture_output=True, timeout=120)
    assert p.returncode == 2 and "non «0»".encode() in p.stderr, "pipe: status %d, %r" % (p.returncode, p.stderr)
    print("command line: through a pipe, UTF-8 bytes")


def installatore(banco, build):
    setup = glob.glob(os.path.join(build, "tabellone-*-win64-setup.exe"))[0]
    p = banco.wine(setup, "/S")
    assert attendi_fine(p, 180), "the silent install did not end"
    c = os.path.join(banco.env["WINEPREFIX"], "drive_c")
    exe = glob.glob(os.path.join(c, "Program Files", "Tabellone Tombola", "tabellone.exe"))
    collegamenti = [l for l in glob.glob(os.path.join(c, "**", "*.lnk"), recursive=True) if "Tabellone" in l]
    assert exe and collegamenti, "installed: %s, shortcuts: %s" % (exe, collegamenti)
    print("installer: %s and %s" % (os.path.relpath(exe[0], c), [os.path.relpath(l, c) for l in collegamenti]))
    nomi = sorted(os.path.basename(l) for l in collegamenti)
    assert nomi == ["Disinstalla Tabellone Tombola.lnk", "Tabellone Tombola.lnk"], "Start-menu entries: %s" % nomi
    # The program's entry opened as the shell opens it: the program must come up.
    programma = [l for l in collegamenti if os.path.basename(l) == "Tabellone Tombola.lnk"][0]
    avviato = banco.wine("start", "/wait", "/unix", programma)
    splash = aspetta_finestra(TITOLO, banco.env, 120)
    assert splash, "the Start-menu entry did not start the program"
    time.sleep(1.0)
    xdo(banco.env, "windowactivate", "--sync", splash)
    premi_stop(banco, splash)
    attendi_fine(avviato, 30)
    # start /wait may not get the program's process from a link: the program is
    # waited for by its own process, which holds the files the uninstaller removes.
    fine = time.monotonic() + 30
    while time.monotonic() < fine and banco.in_esecuzione("tabellone.exe"):
        time.sleep(0.5)
    assert not banco.in_esecuzione("tabellone.exe"), "the program did not end when its start screen was closed"
    print("installer: the Start-menu entry starts the installed program")
    disinstalla = banco.wine(os.path.join(os.path.dirname(exe[0]), "Uninstall.exe"), "/S")
    attendi_fine(disinstalla, 60)
    # The uninstaller runs on from a copy of itself: wait for its work.
    fine = time.monotonic() + 60
    while time.monotonic() < fine and (os.path.exists(exe[0]) or any(map(os.path.exists, collegamenti))):
        time.sleep(0.5)
    rimasti = [f for f in exe + collegamenti if os.path.exists(f)]
    assert not rimasti, "Uninstall.exe /S left %s" % rimasti
    print("installer: Uninstall.exe /S removed the program and its shortcut")


def misura(banco, build, volte, prima=None):
    """Start-up to the first window under Wine against a bare Qt window cross-built the same
    way: interleaved rounds, medians; no record and a full one; an earlier build alongside."""
    exe = scompatta(banco, build, "misura")
    qt = os.environ["QT_MINGW"]
    sorgente = os.path.join(banco.lavoro, "base.cpp")
    with open(sorgente, "w") as f:
        f.write(FINESTRA_BASE)
    base = os.path.join(os.path.dirname(exe), "base.exe")
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-std=c++17", "-O2", sorgente, "-o", base, "-mwindows",
                    "-I" + qt + "/include", "-I" + qt + "/include/QtCore", "-I" + qt + "/include/QtGui",
                    "-I" + qt + "/include/QtWidgets", "-L" + qt + "/lib",
                    "-lQt6Widgets", "-lQt6Gui", "-lQt6Core"], check=True)
    pieno = b"Partita : 06/12/2026 21:05:33\r\n" + b"".join(b" %d \r\n" % n for n in range(1, 91))
    casi = [("bare Qt window", base, BASE, None)]
    for etichetta, eseguibile in (("", exe), ("before: ", scompatta(banco, prima, "prima") if prima else None)):
        if eseguibile:
            casi += [(etichetta + "no record", eseguibile, TITOLO, b""), (etichetta + "90 numbers", eseguibile, TITOLO, pieno)]
    tempi = {nome: [] for nome, _, _, _ in casi}
    for _ in range(volte):
        for nome, eseguibile, finestra, registro in casi:
            cartella = os.path.dirname(eseguibile)
            if registro is not None:
                percorso = os.path.join(cartella, "ultima.par")
                if registro:
                    with open(percorso, "wb") as f:
                        f.write(registro)
                elif os.path.exists(percorso):
                    os.remove(percorso)
            inizio = time.monotonic()
            p = banco.wine(eseguibile, cwd=cartella)
            assert aspetta_finestra(finestra, banco.env, 120)
            tempi[nome].append(time.monotonic() - inizio)
            time.sleep(0.5)
            subprocess.run(["wine", "taskkill", "/f", "/im", os.path.basename(eseguibile)], env=banco.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            attendi_fine(p, 20)
    nudo = statistics.median(tempi["bare Qt window"])
    print("start-up under Wine, medians of %d interleaved rounds:" % volte)
    for nome, valori in tempi.items():
        print("  %-22s %6.0f ms  %.2f" % (nome, statistics.median(valori) * 1000, statistics.median(valori) / nudo))


def schermate(banco, build, cartella_docs):
    """The start screen, the board with a few numbers drawn, and a pop-up, under Wine."""
    exe = scompatta(banco, build, "schermate")
    with open(os.path.join(os.path.dirname(exe), "ultima.par"), "wb") as f:
        f.write(b"Partita : 06/12/2026 21:05:33\r\n" + b"".join(b" %d \r\n" % n for n in (3, 18, 25, 47, 52, 66, 71, 90)))
    foto = lambda nome: subprocess.run(["import", "-window", "root", os.path.join(cartella_docs, nome)],
                                       env=banco.env, check=True)
    p = banco.wine(exe, cwd=os.path.dirname(exe))
    splash = aspetta_finestra(TITOLO, banco.env, 120)
    time.sleep(2.0)
    x, y, w, h = geometria(banco.env, splash)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                    os.path.join(cartella_docs, "windows-schermata-iniziale.png")], env=banco.env, check=True)
    xdo(banco.env, "windowactivate", "--sync", splash)
    xdo(banco.env, "mousemove", str(x + (150 + 4200 + 240 + 90) // 15), str(y + (60 + 2640 + 240 + 120) // 15), "click", "1")
    _, tabellone = apri_tabellone_aperta(banco, splash, x, y)
    xdo(banco.env, "key", "F11")
    time.sleep(3.0)
    foto("windows-tabellone.png")
    centri, _ = celle(banco, tabellone)
    xdo(banco.env, "mousemove", *map(str, centri[7]), "click", "--repeat", "2", "--delay", "80", "1")
    time.sleep(3.0)
    foto("windows-estrazione.png")
    xdo(banco.env, "key", "space")
    time.sleep(1.0)
    termina(banco, tabellone, p)


def apri_tabellone_aperta(banco, splash, sx, sy):
    xdo(banco.env, "mousemove", str(sx + (150 + 4200 + 1440 + 322) // 15), str(sy + (60 + 2640 + 240 + 487) // 15),
        "click", "1")
    tabellone, fine = None, time.monotonic() + 30
    while not tabellone and time.monotonic() < fine:
        altre = [f for f in banco.finestre_classe("tabellone.exe") if f != splash]
        tabellone = altre[0] if altre else None
        time.sleep(0.2)
    assert tabellone, "the board did not open"
    time.sleep(1.5)
    return None, tabellone


class WebSocket:
    """Just enough of a WebSocket client for the phones' live route: the
    handshake, text messages in, a close frame out."""

    def __init__(self, indirizzo, porta, percorso="/ws"):
        self.s = socket.create_connection((indirizzo, porta), timeout=10)
        self.dati, self.fine = b"", time.monotonic() + 10
        chiave = base64.b64encode(os.urandom(16)).decode()
        self.s.sendall(("GET %s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                        "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
                        % (percorso, indirizzo, porta, chiave)).encode())
        while b"\r\n\r\n" not in self.dati:
            self._ricevi()
        testa, _, self.dati = self.dati.partition(b"\r\n\r\n")
        accetta = base64.b64encode(hashlib.sha1((chiave + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11").encode()).digest())
        assert testa.startswith(b"HTTP/1.1 101") and b"Sec-WebSocket-Accept: " + accetta in testa, \
            "%s:%d%s: the handshake was answered %r" % (indirizzo, porta, percorso, testa)

    def _ricevi(self):
        self.s.settimeout(max(0.01, self.fine - time.monotonic()))
        pezzo = self.s.recv(65536)
        if not pezzo:
            raise EOFError("the server closed the WebSocket")
        self.dati += pezzo

    def _leggi(self, n):
        while len(self.dati) < n:
            self._ricevi()
        pezzo, self.dati = self.dati[:n], self.dati[n:]
        return pezzo

    def messaggio(self, secondi):
        """The next text message as JSON; socket.timeout after secondi."""
        self.fine, testo = time.monotonic() + secondi, b""
        while True:
            b0, b1 = self._leggi(2)
            assert not b1 & 0x80, "the server masked its frame"
            lunghezza = b1 & 0x7F
            if lunghezza >= 126:
                lunghezza = struct.unpack("!H" if lunghezza == 126 else "!Q", self._leggi(2 if lunghezza == 126 else 8))[0]
            carico = self._leggi(lunghezza)
            codice = b0 & 0x0F
            if codice == 8:
                raise EOFError("the server closed the WebSocket")
            if codice in (0, 1):
                testo += carico
                if b0 & 0x80:
                    return json.loads(testo)

    def chiudi(self):
        try:
            self.s.sendall(bytes([0x88, 0x80]) + os.urandom(4))
        except OSError:
            pass
        self.s.close()


def richiesta(indirizzo, porta, percorso):
    """GET percorso as written, not normalised: the status and the body."""
    c = http.client.HTTPConnection(indirizzo, porta, timeout=10)
    try:
        c.request("GET", percorso)
        r = c.getresponse()
        return r.status, r.read()
    finally:
        c.close()


def indirizzi_ipv4():
    """This computer's IPv4 addresses a phone could use: not loopback, not link-local."""
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    trovati = []
    try:
        for _, nome in socket.if_nameindex():
            interfaccia = struct.pack("256s", nome[:15].encode())
            try:
                acceso = struct.unpack("H", fcntl.ioctl(s.fileno(), 0x8913, interfaccia)[16:18])[0] & 1  # SIOCGIFFLAGS, IFF_UP
                dati = fcntl.ioctl(s.fileno(), 0x8915, interfaccia)  # SIOCGIFADDR
            except OSError:
                continue
            if not acceso:
                continue
            indirizzo = socket.inet_ntoa(dati[20:24])
            if not indirizzo.startswith(("127.", "169.254.")):
                trovati.append(indirizzo)
    finally:
        s.close()
    return trovati


def porta_in_ascolto(banco, secondi):
    """The port the bench's Wine processes listen on for every IPv4 address (0.0.0.0):
    read from the sockets they hold, so that another program on 8090 is not mistaken
    for this one. Wine's server may hold the socket for the program: any process
    of the prefix counts."""
    prefisso = ("WINEPREFIX=" + banco.env["WINEPREFIX"]).encode()
    fine = time.monotonic() + secondi
    while time.monotonic() < fine:
        nodi = set()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if prefisso not in f.read().split(b"\0"):
                        continue
                for fd in os.listdir("/proc/%s/fd" % pid):
                    collegamento = os.readlink("/proc/%s/fd/%s" % (pid, fd))
                    if collegamento.startswith("socket:["):
                        nodi.add(collegamento[8:-1])
            except OSError:
                continue
        with open("/proc/net/tcp") as f:
            for riga in f.readlines()[1:]:
                campi = riga.split()
                locale, stato, nodo = campi[1], campi[3], campi[9]
                if stato == "0A" and nodo in nodi and locale.startswith("00000000:"):
                    return int(locale.split(":")[1], 16)
        time.sleep(0.2)
    return None


def telefoni(banco, build):
    """The "Telefoni in sala" button on the start screen, then the page from this
    computer as a phone would get it, and a draw on the board over a WebSocket."""
    inizio = time.monotonic()
    exe = scompatta(banco, build, "telefoni")
    p, splash, sx, sy = apri_schermata(banco, exe)
    xdo(banco.env, "mousemove", str(sx + (150 + 4200 + 900 + 210) // 15), str(sy + (60 + 2640 + 240 + 127) // 15),
        "click", "1")
    porta = porta_in_ascolto(banco, 15)
    assert porta, "after \"Telefoni in sala\" no port of the program listens on every IPv4 address"
    assert 8090 <= porta <= 8110, "the program listens on %d, not from 8090 on" % porta

    indirizzi = ["127.0.0.1"] + indirizzi_ipv4()[:1]
    for indirizzo in indirizzi:
        stato, corpo = richiesta(indirizzo, porta, "/")
        assert stato == 200 and b"<title>Tombola</title>" in corpo and b'"/ws"' in corpo, \
            "GET / on %s:%d: %d, %r" % (indirizzo, porta, stato, corpo[:200])
    print("phones: the page is served on %s port %d (%d bytes)" % (" and ".join(indirizzi), porta, len(corpo)))
    for percorso in ("/../../etc/passwd", "/win.ini", "/..\\..\\windows\\win.ini", "/%2e%2e/%2e%2e/windows/win.ini",
                     "/C:/windows/win.ini", "//etc/passwd"):
        stato, corpo = richiesta("127.0.0.1", porta, percorso)
        assert stato == 404 and b"root:" not in corpo and b"[fonts]" not in corpo, \
            "GET %s: %d, %r" % (percorso, stato, corpo[:200])
    print("phones: paths outside the page's routes get 404")

    ws = [WebSocket(indirizzo, porta) for indirizzo in indirizzi]
    try:
        primi = [w.messaggio(5) for w in ws]
        for indirizzo, primo in zip(indirizzi, primi):
            assert isinstance(primo.get("seq"), int) and primo.get("numeri") == [], \
                "the first WebSocket message on %s is %r" % (indirizzo, primo)
        print("phones: the WebSocket on %s gets the snapshot first (seq %d, no number drawn)"
              % (" and ".join(indirizzi), primi[0]["seq"]))

        _, tabellone = apri_tabellone_aperta(banco, splash, sx, sy)
        centri, _ = celle(banco, tabellone)
        xdo(banco.env, "windowactivate", "--sync", tabellone)
        xdo(banco.env, "mousemove", *map(str, centri[42]), "click", "--repeat", "2", "--delay", "80", "1")
        # The number counts as drawn once its pop-up is closed.
        time.sleep(2.0)
        xdo(banco.env, "key", "space")
        estratto = time.monotonic()
        for indirizzo, w, primo in zip(indirizzi, ws, primi):
            ultimo = primo
            while 42 not in ultimo.get("numeri", []):
                try:
                    ultimo = w.messaggio(estratto + 5 - time.monotonic())
                except socket.timeout:
                    raise AssertionError("42 drawn on the board did not reach the WebSocket on %s within 5 s "
                                         "(last snapshot %r)" % (indirizzo, ultimo)) from None
            assert ultimo["seq"] > primo["seq"] and ultimo["numeri"] == [42] and ultimo["ultimo"] == 42, \
                "after drawing 42 the WebSocket on %s got %r" % (indirizzo, ultimo)
        print("phones: 42 drawn on the board reached the WebSocket%s %.0f ms after its pop-up closed (seq %d)"
              % ("s" if len(ws) > 1 else "", (time.monotonic() - estratto) * 1000, ultimo["seq"]))
    finally:
        for w in ws:
            w.chiudi()
    termina(banco, tabellone, p)
    print("phones: %.0f s in all" % (time.monotonic() - inizio))


def main():
    argomenti = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    argomenti.add_argument("build", nargs="?", default="build-windows")
    argomenti.add_argument("--display", type=int, default=41)
    argomenti.add_argument("--misura", type=int, default=0)
    argomenti.add_argument("--prima", metavar="BUILD", help="with --misura: an earlier build, in the same rounds")
    argomenti.add_argument("--schermate", metavar="CARTELLA")
    opzioni = argomenti.parse_args()
    banco = Banco(opzioni.display)
    try:
        if opzioni.misura:
            misura(banco, opzioni.build, opzioni.misura, opzioni.prima)
        elif opzioni.schermate:
            schermate(banco, opzioni.build, os.path.abspath(opzioni.schermate))
        else:
            zip_portatile(banco, opzioni.build)
            telefoni(banco, opzioni.build)
            riga_di_comando(banco, opzioni.build)
            installatore(banco, opzioni.build)
    finally:
        banco.chiudi()
    return 0


if __name__ == "__main__":
    sys.exit(main())
