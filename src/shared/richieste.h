// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

// Every question and notice to the user goes through here, so that tests can
// answer instead of a person. Message boxes carry no icon.
class Richieste
{
public:
    enum class Pulsanti { Ok, OkAnnulla, SiNo };
    enum class Risposta { Ok, Annulla, Si, No };

    virtual ~Richieste() = default;

    virtual Risposta messaggio(QWidget *proprietario, const QString &testo, Pulsanti pulsanti,
                               const QString &titolo) = 0;
    // What the user typed, or an empty text when the box was cancelled.
    virtual QString immissione(QWidget *proprietario, const QString &domanda, const QString &titolo,
                               const QString &testoIniziale) = 0;
};

// The real thing: modal message boxes and input boxes.
class RichiesteQt final : public Richieste
{
public:
    Risposta messaggio(QWidget *proprietario, const QString &testo, Pulsanti pulsanti,
                       const QString &titolo) override;
    QString immissione(QWidget *proprietario, const QString &domanda, const QString &titolo,
                       const QString &testoIniziale) override;
};
