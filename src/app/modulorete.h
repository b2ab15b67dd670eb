// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The phones' page as the board sees it: listening until destroyed.
class ServerPagina : public QObject
{
public:
    using QObject::QObject;
    virtual quint16 porta() const = 0;
    // The game as the phones show it, sent to every one connected.
    virtual void pubblica(const QByteArray &istantanea) = 0;
};

// Everything that needs Qt's network libraries lives in a module of its own,
// loaded the first time one of these is asked for: the start screen shows
// before it, and a game with the phones off loads only the one-board channel.
class ModuloRete
{
public:
    virtual ~ModuloRete() = default;

    // One board per record: listens on `nome` for later starts and runs
    // `chiamata` for each; nothing, and why in `errore`, when it cannot.
    virtual std::unique_ptr<QObject> ascolta(const QString &nome, std::function<void()> chiamata, QString &errore) = 0;
    // A later start asks the board listening on `nome` to come to the front:
    // true once that board, of this user, has answered.
    virtual bool chiama(const QString &nome) = 0;

    // The phones' page on every IPv4 address at `porta` or the first free one
    // of the next 20; nothing when none is. `cartella`: a card's numbers by its code.
    virtual ServerPagina *serverTelefoni(std::function<std::optional<QByteArray>(const QString &)> cartella,
                                         quint16 porta, QObject *parent) = 0;
    // This computer's addresses the phones may reach, best first.
    virtual QStringList indirizzi() = 0;
};

// The module, loaded on first use from beside the program (or from its
// library folder once installed); nullptr, and why in Italian, when it cannot be.
ModuloRete *moduloRete(QString *errore = nullptr);
// The same, built into the calling binary: for the module itself and the tests.
ModuloRete &moduloReteInterno();
