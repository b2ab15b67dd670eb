#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The phones' page in a real browser (headless Chromium through Selenium),
# driven by test_pagina, which runs the server: this script asks it for a
# change of the game with a line on standard output ("PUBBLICA {...}",
# "RIAVVIA") and waits for its "fatto" on standard input.
# Usage: prova_pagina.py URL PROFILO [SCHERMATA.png]
import json
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

url, profilo = sys.argv[1], sys.argv[2]
schermata = sys.argv[3] if len(sys.argv) > 3 else None


def chiedi(riga):
    print(riga, flush=True)
    if sys.stdin.readline().strip() != "fatto":
        raise SystemExit("il test non ha risposto")


def istantanea(seq, numeri, aperte=(), programma=False):
    return json.dumps({"seq": seq, "numeri": numeri, "ultimo": numeri[-1] if numeri else 0,
                       "commento": "commento %d" % (numeri[-1] if numeri else 0),
                       "ultimi": numeri[-5:], "chiamate": len(numeri), "impronta": "1A2B 3C4D 5E6F 7A8B",
                       "chiusa": False, "programma": programma, "aperte": list(aperte), "premi": []},
                      separators=(",", ":"))


opzioni = webdriver.ChromeOptions()
opzioni.binary_location = "/usr/bin/chromium"
for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--no-first-run", "--user-data-dir=" + profilo,
             "--window-size=412,915"]:
    opzioni.add_argument(flag)
opzioni.set_capability("goog:loggingPrefs", {"performance": "ALL"})
servizio = Service("/usr/bin/chromedriver")
browser = webdriver.Chrome(service=servizio, options=opzioni)
try:
    attendi = WebDriverWait(browser, 15, poll_frequency=0.05)

    def testo(id_):
        return browser.find_element(By.ID, id_).text

    def segnato(n):
        return browser.execute_script(
            "return document.getElementById('tabellone').children[%d].className" % (n - 1)) == "si"

    def connesso():
        return browser.execute_script("return document.getElementById('stato').className") == "connesso"

    browser.get(url)
    # The game as it is: the number called, its comment, the board.
    attendi.until(lambda b: testo("numero") == "7")
    assert testo("commento") == "commento 7", testo("commento")
    assert segnato(7) and not segnato(8)
    assert connesso()

    # A draw on the board appears, quickly.
    inizio = time.monotonic()
    chiedi("PUBBLICA " + istantanea(2, [7, 42]))
    attendi.until(lambda b: testo("numero") == "42")
    print("ritardo della chiamata: %.0f ms" % ((time.monotonic() - inizio) * 1000), file=sys.stderr)
    assert testo("ultimi") == "7 42", testo("ultimi")
    assert segnato(42)

    # A reload ends showing the board.
    browser.refresh()
    attendi.until(lambda b: testo("numero") == "42" and segnato(42) and segnato(7))

    # The server goes away and comes back: the page says so, reconnects and
    # shows what changed meanwhile.
    chiedi("RIAVVIA " + istantanea(3, [7, 42, 13]))
    attendi.until(lambda b: testo("numero") == "13")
    attendi.until(lambda b: connesso())

    # A card by its code: marked as numbers are called, with its best row.
    browser.find_element(By.ID, "codice").send_keys("k3m9qx-67")
    browser.find_element(By.CSS_SELECTOR, "#aggiungi button").click()
    attendi.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, ".cartella div.si")) == 2)
    assert "Cartella K3M9QX-67" in testo("cartelle"), testo("cartelle")
    assert "Riga migliore: 1 su 5" in testo("cartelle"), testo("cartelle")
    # A wrong code is told, and adds nothing.
    browser.find_element(By.ID, "codice").send_keys("ZZZ-1")
    browser.find_element(By.CSS_SELECTOR, "#aggiungi button").click()
    attendi.until(lambda b: "non trovata" in testo("errore"))
    assert len(browser.find_elements(By.CSS_SELECTOR, ".scheda")) == 1

    # Its first row gets two numbers: an open ambo is told at once.
    chiedi("PUBBLICA " + istantanea(4, [7, 42, 13, 21], aperte=["ambo", "terno"], programma=True))
    attendi.until(lambda b: b.find_element(By.ID, "avviso").is_displayed())
    assert "AMBO" in testo("avviso"), testo("avviso")
    assert "Riga migliore: 2 su 5 (ambo)" in testo("cartelle"), testo("cartelle")
    if schermata:
        browser.save_screenshot(schermata)

    # The card is kept on the phone.
    browser.refresh()
    attendi.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, ".cartella div.si")) == 3)

    # Nothing but this server was asked for anything.
    origine = url.rstrip("/").split("//", 1)[1]
    richieste = 0
    for voce in browser.get_log("performance"):
        messaggio = json.loads(voce["message"])["message"]
        if messaggio["method"] in ("Network.requestWillBeSent", "Network.webSocketCreated"):
            indirizzo = messaggio["params"].get("request", {}).get("url") or messaggio["params"].get("url")
            # The browser's own pages (chrome://) are not requests to anyone.
            if indirizzo.split(":", 1)[0] in ("http", "https", "ws", "wss", "ftp"):
                assert indirizzo.split("//", 1)[1].startswith(origine + "/"), indirizzo
                richieste += 1
    assert richieste >= 4, richieste
    print("tutto bene", file=sys.stderr)
finally:
    browser.quit()
