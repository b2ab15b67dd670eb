// SPDX-License-Identifier: MIT
#pragma once

#include "voce.h"

#include <QObject>
#include <QString>
#include <QTextToSpeech>

class QThread;

// The board's voice through Qt's speech engines: speech-dispatcher on Linux,
// the system's own engine elsewhere, always with an Italian voice. It is built
// only when the operator turns the voice on, since the engine connects to a
// service and loads voices.
class VoceSintetica : public QObject, public Voce
{
    Q_OBJECT

public:
    explicit VoceSintetica(QObject *parent = nullptr);
    ~VoceSintetica() override;

    // False when there is no engine, no Italian voice or the engine failed;
    // motivo() then tells the operator why, in Italian.
    bool utilizzabile() const { return m_motivo.isEmpty(); }
    QString motivo() const { return m_motivo; }

    // Cuts short whatever is being said and starts testo; returns at once.
    void annuncia(const QString &testo) override;

    // Speaking, or Ready once everything said has ended.
    QTextToSpeech::State stato() const { return m_stato; }

signals:
    // The engine stopped working after it had started; the voice is off for good.
    void guasto(const QString &motivo);

private:
    void rinuncia(const QString &motivo);

    QTextToSpeech *m_motore = nullptr; // lives on m_filo
    QThread *m_filo = nullptr;
    QTextToSpeech::State m_stato = QTextToSpeech::Ready;
    QString m_motivo;
};
