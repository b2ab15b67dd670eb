// SPDX-License-Identifier: MIT
#pragma once

#include "registro.h"

#include <QString>
#include <QStringList>

// Where a run finds its pictures and keeps its record. Decided once at start;
// every later read and write of the record uses the one folder chosen here.

// The application name under which the per-user data folder is found:
// ~/.local/share/tabellone on Linux.
inline constexpr auto NomeApplicazione = "tabellone";

struct Cartelle {
    // Beside the executable when they are there, else the installed data folder.
    QString immagini;
    // The folder of ultima.par; empty when no folder tried could be written.
    QString registro;
    // A record found in the program folder that cannot be written there: the
    // game goes on from a copy in registro (see riportaPartita).
    QString daRiportare;
    // Every folder tried for the record, in order, for telling the user.
    QStringList tentate;
    // Told once at start: files left alone, the place of a game found in two.
    QStringList avvisi;

    bool salvata() const { return !registro.isEmpty(); }
};

// cartellaProgramma is the executable's folder, cartellaUtente the per-user
// data folder (created here, owner-only, if missing). The program folder keeps
// the record when the pictures are beside the executable, a file there can be
// replaced atomically, its record and lock are this user's regular files, and
// no later game was carried on in the per-user folder; otherwise the per-user
// folder does. The newer of two records is the game (carried over if needed);
// with nowhere to write, the newest readable one is still shown.
Cartelle scegliCartelle(const QString &cartellaProgramma, const QString &cartellaUtente);

// The per-user data folder for NomeApplicazione (the application name must be set).
QString cartellaUtente();

// Copies the record to be carried over into registro, with the permissions of
// a new file; one far larger than any this program writes is rebuilt from its
// header and numbers instead. Nothing to do is a success.
EsitoScrittura riportaPartita(const Cartelle &cartelle);

// The game is kept for this run only, in cartellaProvvisoria: the record that
// would have been written is still shown, carried over there.
void soloPerQuestaVolta(Cartelle &cartelle, const QString &cartellaProvvisoria);

// The notice shown once at start when the game cannot be saved anywhere.
QString avvisoNonSalvata(const Cartelle &cartelle);
// Its last part: the recorded game shown all the same, when there is one.
QString ripresa(const Cartelle &cartelle);
