// SPDX-License-Identifier: MIT
#include "richieste.h"

#include <QInputDialog>
#include <QMessageBox>

Richieste::Risposta RichiesteQt::messaggio(QWidget *proprietario, const QString &testo, Pulsanti pulsanti,
                                           const QString &titolo)
{
    QMessageBox box(QMessageBox::NoIcon, titolo, testo, QMessageBox::NoButton, proprietario);
    switch (pulsanti) {
    case Pulsanti::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Pulsanti::OkAnnulla:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Pulsanti::SiNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Risposta::Ok;
    case QMessageBox::Yes: return Risposta::Si;
    case QMessageBox::No: return Risposta::No;
    default: return Risposta::Annulla;
    }
}

QString RichiesteQt::immissione(QWidget *proprietario, const QString &domanda, const QString &titolo,
                                const QString &testoIniziale)
{
    bool confermato = false;
    const QString testo =
        QInputDialog::getText(proprietario, titolo, domanda, QLineEdit::Normal, testoIniziale, &confermato);
    return confermato ? testo : QString();
}
