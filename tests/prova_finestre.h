// SPDX-License-Identifier: MIT
#pragma once

#include "richieste.h"

#include <QApplication>
#include <QKeyEvent>
#include <QList>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Answers the program's questions in place of a person and remembers them.
class RichiesteFinte final : public Richieste
{
public:
    struct Domanda {
        QString testo;
        Pulsanti pulsanti;
        QString titolo;
    };

    QList<Domanda> domande;
    QList<Risposta> risposte;  // taken in order; Ok / Si when none is left
    QList<QString> immissioni; // typed texts, taken in order
    QString ultimaDomandaImmissione;
    QString ultimoTestoIniziale;

    Risposta messaggio(QWidget *, const QString &testo, Pulsanti pulsanti, const QString &titolo) override
    {
        domande.append({testo, pulsanti, titolo});
        if (!risposte.isEmpty())
            return risposte.takeFirst();
        return pulsanti == Pulsanti::SiNo ? Risposta::Si : Risposta::Ok;
    }

    QString immissione(QWidget *, const QString &domanda, const QString &titolo, const QString &iniziale) override
    {
        ultimaDomandaImmissione = titolo + QLatin1Char('|') + domanda;
        ultimoTestoIniziale = iniziale;
        return immissioni.isEmpty() ? QString() : immissioni.takeFirst();
    }
};

// Once the next modal window is up, send it a key: how a person answers a
// real modal dialog.
inline void allaProssimaModale(int tasto, Qt::KeyboardModifiers modificatori = Qt::NoModifier)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tasto, modificatori] {
        if (QWidget *modale = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            QTest::keyClick(modale, static_cast<Qt::Key>(tasto), modificatori);
        }
    });
    timer->start();
}
