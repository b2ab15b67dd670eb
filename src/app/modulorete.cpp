// SPDX-License-Identifier: MIT
#include "modulorete.h"

#include "canale.h"
#include "indirizzi.h"
#include "primopiano.h"
#include "servertelefoni.h"
#include "unicaistanza.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {

const QByteArray Chiamata = QByteArrayLiteral("avanti\n");
const QByteArray Risposta = QByteArrayLiteral("ok\n");

// The phones' server, on the board's thread. (On a thread of its own the pop-up
// with 500 phones came as fast as with none, but under Wine the program then
// did not end: not yet settled.)
class PaginaTelefoni final : public ServerPagina
{
public:
    explicit PaginaTelefoni(QObject *parent)
        : ServerPagina(parent)
    {
    }

    bool avvia(std::function<std::optional<QByteArray>(const QString &)> cartella, quint16 porta)
    {
        QFile pagina(QStringLiteral(":/telefoni/pagina.html"));
        pagina.open(QIODevice::ReadOnly);
        m_server = new ServerTelefoni(pagina.readAll(), std::move(cartella), {}, this);
        return m_server->avvia(QHostAddress::AnyIPv4, porta);
    }

    quint16 porta() const override { return m_server->porta(); }
    void pubblica(const QByteArray &istantanea) override { m_server->pubblica(istantanea); }

private:
    ServerTelefoni *m_server = nullptr;
};

class Rete final : public ModuloRete
{
public:
    std::unique_ptr<QObject> ascolta(const QString &nome, std::function<void()> chiamata, QString &errore) override
    {
        auto server = std::make_unique<QLocalServer>();
        // The lock is held by this start, so a socket left by a killed board is stale.
        QLocalServer::removeServer(nome);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        if (!server->listen(nome)) {
            errore = server->errorString();
            return {};
        }
        QLocalServer *s = server.get();
        QObject::connect(s, &QLocalServer::newConnection, s, [s, chiamata = std::move(chiamata)] {
            while (QLocalSocket *entrante = s->nextPendingConnection()) {
                QObject::connect(entrante, &QLocalSocket::disconnected, entrante, &QObject::deleteLater);
                // Never more than a call's worth held for a caller, nor a caller held for ever.
                entrante->setReadBufferSize(UnicaIstanza::LunghezzaMassimaChiamata);
                QTimer::singleShot(UnicaIstanza::AttesaAvvio, entrante, &QLocalSocket::abort);
                QObject::connect(entrante, &QLocalSocket::readyRead, entrante, [entrante, chiamata] {
                    if (!entrante->canReadLine()) {
                        if (entrante->bytesAvailable() >= UnicaIstanza::LunghezzaMassimaChiamata)
                            entrante->abort();
                        return;
                    }
                    if (entrante->readLine() == Chiamata) {
                        chiamata();
                        entrante->write(Risposta);
                    }
                    entrante->disconnectFromServer();
                });
            }
        });
        return server;
    }

    bool chiama(const QString &nome) override
    {
        // The first start may still be drawing its window: keep trying until the deadline.
        const QDeadlineTimer scadenza(UnicaIstanza::AttesaRisposta);
        while (!scadenza.hasExpired()) {
            QLocalSocket socket;
            socket.connectToServer(nome);
            if (socket.waitForConnected(int(scadenza.remainingTime()))) {
                // Only a board of this user is asked anything.
                if (!stessoUtente(socket.socketDescriptor()))
                    return false;
                cediPrimoPiano(socket.socketDescriptor());
                socket.write(Chiamata);
                // Listening, so alive: it answers once its windows are built, which a
                // slow or busy computer takes its time over.
                const QDeadlineTimer risposta(UnicaIstanza::AttesaAvvio);
                while (!socket.canReadLine() && socket.waitForReadyRead(int(risposta.remainingTime()))) {
                }
                return socket.canReadLine() && socket.readLine() == Risposta;
            }
            QThread::msleep(50);
        }
        return false;
    }

    ServerPagina *serverTelefoni(std::function<std::optional<QByteArray>(const QString &)> cartella, quint16 porta,
                                 QObject *parent) override
    {
        auto *server = new PaginaTelefoni(parent);
        if (server->avvia(std::move(cartella), porta))
            return server;
        delete server;
        return nullptr;
    }

    QStringList indirizzi() override
    {
        QStringList risultato;
        for (const IndirizzoRete &r : indirizziDelComputer())
            risultato.append(r.indirizzo.toString());
        return risultato;
    }
};

} // namespace

ModuloRete &moduloReteInterno()
{
    static Rete rete;
    return rete;
}
