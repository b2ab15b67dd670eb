// SPDX-License-Identifier: MIT
#include "richieste.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The message column shows a few dozen characters; more only costs time.
constexpr int LunghezzaMassimaImmissione = 1000;

} // namespace

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
    QInputDialog box(proprietario);
    box.setWindowTitle(titolo);
    box.setLabelText(domanda);
    box.setInputMode(QInputDialog::TextInput);
    if (auto *riga = box.findChild<QLineEdit *>())
        riga->setMaxLength(LunghezzaMassimaImmissione);
    box.setTextValue(testoIniziale);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}
