// SPDX-License-Identifier: MIT
#pragma once

#include "voce.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;
class Oratore;

// The board's voice: the platform's speech engine with an Italian voice, on a
// thread of its own. The engine is built there too, since building it already
// talks to a service that may answer late or never; nothing here ever waits
// for it. The start screen builds it once it is shown, to learn early whether
// there is a voice at all.
class VoceSintetica : public QObject, public Voce
{
    Q_OBJECT

public:
    enum class Stato { InPreparazione, Pronta, Rifiutata };

    explicit VoceSintetica(QObject *parent = nullptr);
    ~VoceSintetica() override;

    Stato stato() const { return m_stato; }
    // Why the voice cannot be used, in Italian; empty unless Rifiutata.
    QString motivo() const { return m_motivo; }

    // Cuts short whatever is being said and starts testo; returns at once.
    // Said only once the engine is ready; of texts given before, the last.
    void annuncia(const QString &testo) override;

signals:
    void pronta();
    // Refused at start, or stopped working after it was ready (eraPronta);
    // the voice is off for good.
    void guasto(const QString &motivo, bool eraPronta);

private:
    void rinuncia(const QString &motivo);
    void consegna();

    QThread *m_filo = nullptr;
    Oratore *m_oratore = nullptr; // lives on m_filo
    Stato m_stato = Stato::InPreparazione;
    QString m_motivo;

    // The one text waiting for the engine, shared with its thread, which may
    // outlive this object when the service hangs.
    struct Attesa;
    std::shared_ptr<Attesa> m_attesa;
};
