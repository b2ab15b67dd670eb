// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

// The game record `ultima.par`: a header line and one line per drawn number,
// every line ending in CR LF. Every write replaces the file atomically, so a
// crash in the middle of one leaves the previous complete record.

inline constexpr auto NomeRegistro = "ultima.par";

// What an argument of CaricaPartita asks for.
enum class Operazione { Inizio, Annullato, Estratto };

struct Comando {
    Operazione operazione = Operazione::Estratto;
    long long numero = 0; // only for Estratto
};

// Operation words are matched without regard to case; anything else appends
// the number read from the ninth character on.
Comando interpretaComando(const QString &argomento);

// Leading blanks skipped, then an optional sign and digits; 0 when the text
// does not begin with a number. Saturates instead of overflowing.
long long letturaNumerica(QStringView testo);

// "Partita : " + short date with four-digit year + blank + time with seconds.
QString testoIntestazione(const QDateTime &momento, const QLocale &locale = QLocale());
QByteArray rigaIntestazione(const QDateTime &momento, const QLocale &locale = QLocale());
// Blank, digits, blank, CR LF.
QByteArray rigaNumero(long long numero);

// What a record file yields when read back. Input is untrusted: only numbers
// 1..90 are kept, in file order, repeats included.
struct PartitaLetta {
    QString intestazione; // first line as read, without its line end
    QList<int> numeri;
};

PartitaLetta leggiRegistro(const QByteArray &contenuto);

// Result of a write: empty errore means the record on disk is up to date.
struct EsitoScrittura {
    QString errore;
    bool riuscita() const { return errore.isEmpty(); }
};

using TabellaEstratti = std::array<std::int16_t, 101>;

class RegistroPartita
{
public:
    explicit RegistroPartita(QString cartella);

    QString percorso() const;

    // Header only: a game with no number drawn yet.
    EsitoScrittura nuovaPartita(const QDateTime &momento) const;
    // Adds one number line after everything already there. Without a record
    // yet, starts one with a header, so the draw is never lost.
    EsitoScrittura aggiungi(long long numero, const QDateTime &momento) const;
    // A fresh header, then every drawn number in ascending order.
    EsitoScrittura riscrivi(const TabellaEstratti &estratti, const QDateTime &momento) const;

    // Whether a record exists, and what it holds.
    bool esiste() const;
    PartitaLetta leggi() const;

    // Larger files are read only this far: a real record is a few hundred bytes.
    static constexpr qint64 LimiteLettura = 16 * 1024 * 1024;

private:
    EsitoScrittura scrivi(const QByteArray &contenuto) const;

    QString m_cartella;
};
