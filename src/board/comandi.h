// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <Qt>

// What a key going down on the board asks for.
enum class ComandoTastiera {
    Nessuno,
    Informazioni,
    NuovaPartita,
    Messaggi,
    LasciaTabellone,
    IngrandisciRiduci,
    VerificaCartella,
    EstrazioneComputer,
    FinestraPartita,
    EstrazioniAutomatiche,
};

// Key codes as the board's commands know them (F1 = 112 … F12 = 123,
// letters 65..90, digits 48..57, keypad digits 96..105).
inline constexpr int CodiceF1 = 112;
inline constexpr int CodiceF5 = 116;
inline constexpr int CodiceF6 = 117;
inline constexpr int CodiceF7 = 118;
inline constexpr int CodiceF9 = 120;

// Shift 1, Ctrl 2, Alt 4, summed.
int mascheraModificatori(Qt::KeyboardModifiers modificatori);

// Key code of a key event. On Windows the native virtual key is that code
// already; elsewhere it is mapped from Qt's key. 0 for keys that have none.
int codiceTasto(int tastoQt, Qt::KeyboardModifiers modificatori, quint32 tastoNativo);

// The board's code straight from the platform's own key code where the two
// are the same (Windows' virtual keys); 0 elsewhere or when there is none.
int codiceNativo(quint32 tastoNativo);

// The board selects on key code + modifier mask alone; the mask is looked at
// by itself only to tell F10 (messages) from its modified forms, and F5 (the
// card check), F6 (the computer draws), F7 (the game's window) and F9
// (automatic draws) from the combinations that add up to them, which do nothing.
ComandoTastiera smistaTasto(int codice, int maschera);

// The scrolling caption of the board: T + S1 + T + S2 + T + S3 + T.
QString titoloTabellone();

// The message column for a message M: M, three blanks, line feed, twice.
QString testoColonnaMessaggi(const QString &messaggio);
