// SPDX-License-Identifier: MIT
#pragma once

#include "storia.h"

#include <QDateTime>
#include <QString>

#include <functional>

// What became of the minutes asked for: the PDF's path when made, or why not.
struct VerbaleFatto {
    QString percorso;
    QString errore; // empty when made (Italian)
};

// Where the minutes go and how they are opened: the documents folder and the
// system's viewer, unless a test says otherwise.
struct ServiziVerbale {
    std::function<QString()> cartella;
    std::function<bool(const QString &)> apri;
};
ServiziVerbale serviziVerbaleDiSistema();

// The minutes of a game as a PDF in the folder, named after the moment asked,
// then opened.
VerbaleFatto salvaVerbale(const StoriaPartita &partita, const QDateTime &adesso, const ServiziVerbale &servizi);
