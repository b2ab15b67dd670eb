// SPDX-License-Identifier: MIT
#pragma once

#include "richieste.h"
#include "voce.h"

#include <QDebug>
#include <QStringList>

#include <optional>

// A record header written by the bench's fixed clock, and one from an earlier game.
inline const QByteArray Intestazione = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n");
inline const QByteArray IntestazioneVecchia = QByteArrayLiteral("Partita : 01/01/2020 10:00:00\r\n");

inline QByteArray righe(const QList<int> &numeri)
{
    QByteArray testo;
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

// One question as the program put it: caption, text, and the buttons offered
// (input boxes: their prompt as text, no buttons).
struct Domanda {
    QString titolo;
    QString testo;
    std::optional<Richieste::Pulsanti> pulsanti;
    bool operator==(const Domanda &) const = default;
};

inline QDebug operator<<(QDebug debug, const Domanda &d)
{
    return debug << d.titolo << d.testo << (d.pulsanti ? int(*d.pulsanti) : -1);
}

Q_DECLARE_METATYPE(Domanda)

// Answers the program's questions in place of a person, whatever buttons they
// offer, and logs them.
class RichiesteFinte final : public Richieste
{
public:
    QStringList chiesto;    // each message, and each input box as "title: initial text"
    QList<Domanda> domande; // the same questions, whole
    QList<bool> risposte;   // taken in order, true accepts; accepts when none is left
    QStringList immissioni; // typed texts, taken in order; cancelled when none is left

    Risposta messaggio(QWidget *, const QString &testo, Pulsanti pulsanti, const QString &titolo) override
    {
        chiesto.append(testo);
        domande.append({titolo, testo, pulsanti});
        const bool si = risposte.isEmpty() || risposte.takeFirst();
        if (pulsanti == Pulsanti::SiNo)
            return si ? Risposta::Si : Risposta::No;
        return si || pulsanti == Pulsanti::Ok ? Risposta::Ok : Risposta::Annulla;
    }

    QString immissione(QWidget *, const QString &domanda, const QString &titolo, const QString &iniziale) override
    {
        chiesto.append(titolo + QStringLiteral(": ") + iniziale);
        domande.append({titolo, domanda, std::nullopt});
        return immissioni.isEmpty() ? QString() : immissioni.takeFirst();
    }
};

// A voice that never finishes speaking: it only notes what it was given.
class VoceFinta final : public Voce
{
public:
    QStringList detti;
    void annuncia(const QString &testo) override { detti << testo; }
};
