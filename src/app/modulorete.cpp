// SPDX-License-Identifier: MIT
#include "modulorete.h"

#include "canale.h"
#include "filotelefoni.h"
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

// The phones' server, on a thread of its own where the event loop would look
// at every phone's socket on each turn (see filotelefoni.h). It is made,
// started and deleted on its thread, so every socket it makes is watched there.
class PaginaTelefoni final : public ServerPagina
{
public:
    explicit PaginaTelefoni(QObject *parent)
        : ServerPagina(parent)
    {
        if (serverTelefoniSuFiloProprio()) {
            m_filo = std::make_unique<QThread>();
            m_filo->setObjectName(QStringLiteral("telefoni"));
            m_filo->start();
        }
    }

    ~PaginaTelefoni() override
    {
        sulSuoFilo([this] { delete m_server; });
        if (m_filo) {
            // What the server left to be deleted later goes with its thread.
            m_filo->quit();
            m_filo->wait();
        }
    }

    bool avvia(std::function<std::optional<QByteArray>(const QString &)> cartella, quint16 porta)
    {
        QFile pagina(QStringLiteral(":/telefoni/pagina.html"));
        pagina.open(QIODevice::ReadOnly);
        sulSuoFilo([&, html = pagina.readAll()] {
            m_server = new ServerTelefoni(html, std::move(cartella));
            if (m_server->avvia(QHostAddress::AnyIPv4, porta)) {
                m_porta = m_server->porta();
            } else {
                delete m_server;
                m_server = nullptr;
            }
        });
        return m_server;
    }

    quint16 porta() const override { return m_porta; }

    // Built on the board's thread, where the game lives; sent to the server's, in the order made.
    void pubblica(const QByteArray &istantanea) override
    {
        QMetaObject::invokeMethod(m_server, [server = m_server, istantanea] { server->pubblica(istantanea); });
    }

private:
    // Runs `azione` on the server's thread and waits for it.
    void sulSuoFilo(const std::function<void()> &azione)
    {
        if (!m_filo) {
            azione();
            return;
        }
        QObject contesto;
        contesto.moveToThread(m_filo.get());
        QMetaObject::invokeMethod(&contesto, [&] {
            azione();
            contesto.moveToThread(nullptr); // back to be destroyed here
        }, Qt::BlockingQueuedConnection);
    }

    std::unique_ptr<QThread> m_filo; // none: the server lives on the board's thread
    ServerTelefoni *m_server = nullptr; // reached only on its thread
    quint16 m_porta = 0;
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
