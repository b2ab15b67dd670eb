// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

// One board per record. The first start takes a lock beside the record and
// listens for later starts; a later start on the same record asks the first
// to come to the front and ends without touching the record.
class UnicaIstanza : public QObject
{
    Q_OBJECT

public:
    enum class Esito {
        Prima,      // this start keeps the record
        Richiamata, // another board holds it and has come to the front
        GiaAperta,  // another board holds it and did not answer
    };

    explicit UnicaIstanza(const QString &cartellaRegistro, QObject *parent = nullptr);

    Esito avvia();

    // The lock beside the record.
    static QString percorsoBlocco(const QString &cartellaRegistro);

    // How long a later start waits for the first one's answer. The first one
    // answers from its event loop, which runs once its windows are built.
    static constexpr int AttesaRisposta = 5000;

signals:
    // A later start asked for this board to be brought to the front.
    void richiamata();

private:
    bool prendiBlocco();
    void ascolta();
    bool chiamaLaPrima();

    QLockFile m_blocco;
    QString m_nome;
    QLocalServer m_server;
};
