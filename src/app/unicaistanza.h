// SPDX-License-Identifier: MIT
#pragma once

#include "blocco.h"

#include <QObject>

#include <memory>

// One board per record. The first start takes the lock beside the record and
// listens for later starts; a later start on the same record asks the first
// to come to the front and ends without touching the record.
class UnicaIstanza : public QObject
{
    Q_OBJECT

public:
    enum class Esito {
        Prima,       // this start keeps the record
        Richiamata,  // another board holds it and has come to the front
        NonRisponde, // taken on another computer, where nobody here can check it: ask before taking it over
        Irraggiungibile, // a live board on this computer holds it but cannot be reached: say so and end
        Errore,      // the lock cannot be used: see errore()
    };

    explicit UnicaIstanza(const QString &cartellaRegistro, QObject *parent = nullptr);

    Esito avvia();
    // After NonRisponde, when the operator chose to go on here.
    Esito subentra();
    // After Prima: listens for later starts, which keep calling meanwhile
    // (AttesaRisposta). Left to the first window's paint, or to the first
    // message shown before it, so that the start screen shows first.
    void ascolta();

    // The question after NonRisponde, naming the computer and the time the lock was taken.
    QString domanda() const;
    // The notice after Irraggiungibile.
    QString avvisoIrraggiungibile() const;
    // Empty while the lock taken is still the one in the record's folder;
    // otherwise why the record must not be written any more.
    QString perso() const { return m_blocco.perso(); }
    // Why the lock cannot be used (Errore), or why this board cannot be called
    // by a later start (after ascolta); empty when all is well.
    QString errore() const { return m_errore; }

    // The lock beside the record.
    static QString percorsoBlocco(const QString &cartellaRegistro);
    // The local server name of a record folder's board.
    static QString nomeCanale(const QString &cartellaRegistro);

    // How long a later start tries to reach the first one, and how long it
    // waits for the answer once connected. The first one answers from its
    // event loop, which runs once its windows are built.
    static constexpr int AttesaRisposta = 5000;
    static constexpr int AttesaAvvio = 30000;
    // The longest line a later start may send: its call is a few bytes. A
    // caller that sends more without a line end is cut off.
    static constexpr qint64 LunghezzaMassimaChiamata = 64;

signals:
    // A later start asked for this board to be brought to the front.
    void richiamata();

private:
    Esito presa(BloccoRegistro::Stato stato);
    bool chiamaLaPrima();

    BloccoRegistro m_blocco;
    QString m_nome;
    std::unique_ptr<QObject> m_canale;
    QString m_errore;
};
