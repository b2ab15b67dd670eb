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

    bool salvata() const { return !registro.isEmpty(); }
};

// cartellaProgramma is the executable's folder, cartellaUtente the per-user
// data folder (created here if missing). The program folder keeps the record
// when the pictures are beside the executable and a file there can be replaced
// atomically; otherwise the per-user folder does.
Cartelle scegliCartelle(const QString &cartellaProgramma, const QString &cartellaUtente);

// The per-user data folder for NomeApplicazione (the application name must be set).
QString cartellaUtente();

// Copies the record to be carried over into registro, with the permissions of
// a new file. Nothing to do is a success.
EsitoScrittura riportaPartita(const Cartelle &cartelle);

// The notice shown once at start when the game cannot be saved anywhere.
QString avvisoNonSalvata(const Cartelle &cartelle);
