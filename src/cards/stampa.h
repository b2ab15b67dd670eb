// SPDX-License-Identifier: MIT
#pragma once

#include "blocchetto.h"
#include "registro.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The printout of a batch: an A4 PDF, one series a page, its six cards one
// under the other with cutting lines between them, nothing within 8 mm of the
// paper's edge. Cards carry their numbers across batches. Text stays text (vector),
// so the numbers print sharp at any size and a reader can search them.

// "Cartelle tombola <codice>.pdf": the name says what the file is and which batch.
QString nomePdf(const Blocchetto &blocchetto);

// The whole PDF, in memory (a batch of 500 series is a few MB).
QByteArray pdfBlocchetto(const Blocchetto &blocchetto);

// Writes the PDF to percorso through a file renamed into place once complete:
// on any failure no file, or the one that was there, is left. prima runs once
// the PDF is ready and before it takes its place; an error from it stops the write.
EsitoScrittura scriviPdf(const Blocchetto &blocchetto, const QString &percorso,
                         const std::function<EsitoScrittura()> &prima = {});

// A new batch of serie series kept in cartellaRegistro (beside the record),
// and its PDF written to pdf, or with nomePdf's name into cartellaPdf (made if
// missing; the documents folder when empty) when pdf is empty. The batch is kept only once its PDF is ready, and the PDF
// takes its place only once the batch is kept: no cards that cannot be checked.
// The batch file's lock is held throughout (waiting for another print), so
// the cards are numbered after every card kept and no batch is lost.
struct StampaFatta {
    Blocchetto blocchetto;
    QString pdf;    // where it went
    QString errore; // empty on success, else why nothing was made (Italian)
};
StampaFatta stampaCartelle(int serie, const QString &cartellaRegistro, const QString &pdf,
                           const QString &cartellaPdf = {});


// The user's documents folder.
QString cartellaDocumenti();
// Opens the file with the system's viewer; false when none could be started.
bool apriConVisore(const QString &percorso);
