// SPDX-License-Identifier: MIT
#pragma once

#include "blocchetto.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Every batch made, kept in the per-user data folder beside the game record
// ("blocchetti.dat"), one line per batch, oldest first. Each line carries its
// own checksum: a damaged line is never read as a batch, so a card is never
// rebuilt from a wrong seed. Every write replaces the file atomically and
// leaves it readable by its owner only.

inline constexpr auto NomeArchivioBlocchetti = "blocchetti.dat";

struct ArchivioLetto {
    QList<Blocchetto> blocchetti; // oldest first; only lines that check out
    // Empty when the file was read whole, or there is none yet; otherwise
    // why it could not be read, or that some line of it is damaged, in Italian.
    QString errore;
    bool mancante = false; // no batch file at all: no batch was ever made here
    int righeDanneggiate = 0; // lines that do not check out
    bool formatoIgnoto = false; // not a file of batches this program wrote: nothing read
    // The last line is a batch that checks out: "the last batch" is known.
    bool ultimoCerto = false;
};

// The file's contents for these batches, and the reverse. The reader takes
// untrusted input: bounded, every line checked.
QByteArray contenutoArchivio(const QList<Blocchetto> &blocchetti);
QByteArray rigaArchivio(const Blocchetto &blocchetto);
ArchivioLetto leggiArchivio(const QByteArray &contenuto);

// A card looked up by number: in the last batch (codice empty) or in the
// batch with that code. On failure `errore` says why in Italian and no card
// is given.
struct CartellaCercata {
    Cartella cartella;
    QString codice;
    int numero = 0;
    int serie = 0;
    QString errore;
    bool trovata() const { return errore.isEmpty(); }
};
CartellaCercata cercaCartella(const ArchivioLetto &archivio, const QString &codice, int numero);

class ArchivioBlocchetti
{
public:
    explicit ArchivioBlocchetti(QString cartella);

    QString percorso() const;

    ArchivioLetto leggi() const;

    // Adds the batch after the ones already kept. Empty on success, else
    // why not, in Italian. Lines that do not check out are kept as they are;
    // a file that cannot be read, is not one of batches or already holds the
    // code is left alone.
    QString aggiungi(const Blocchetto &blocchetto) const;

    // A new batch from the system's random source whose code is not yet in
    // the file, written to it. `errore` is empty on success.
    struct Nuovo {
        Blocchetto blocchetto;
        QString errore;
    };
    Nuovo nuovo(int serie, const QDate &data) const;

private:
    QString m_cartella;
};
