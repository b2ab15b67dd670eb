// SPDX-License-Identifier: MIT
#include "servertelefoni.h"

#include <QDateTime>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

#include <memory>
#include <utility>

// Accepts the connections itself, so that each one is counted and checked
// before anything reads it.
class AscoltoTelefoni : public QTcpServer
{
public:
    explicit AscoltoTelefoni(ServerTelefoni *server) : QTcpServer(server), m_server(server) {}

protected:
    void incomingConnection(qintptr descrittore) override { m_server->nuovaConnessione(descrittore); }

private:
    ServerTelefoni *m_server;
};

// Hands a checked connection to Qt HttpServer, which takes its connections
// from a listening QTcpServer. This one listens on a loopback port only so
// that Qt takes it as such; whatever connects to that port is dropped.
class ConsegnaTelefoni : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;
    void consegna(QTcpSocket *socket) { addPendingConnection(socket); }

protected:
    void incomingConnection(qintptr descrittore) override
    {
        QTcpSocket scarto;
        scarto.setSocketDescriptor(descrittore);
        scarto.abort();
    }
};

namespace {

QHttpServerResponse risposta(const QByteArray &tipo, const QByteArray &corpo,
                             QHttpServerResponse::StatusCode stato = QHttpServerResponse::StatusCode::Ok)
{
    QHttpServerResponse r(tipo, corpo, stato);
    r.addHeader("Cache-Control", "no-store");
    r.addHeader("X-Content-Type-Options", "nosniff");
    // The page asks nothing of anyone but this server.
    r.addHeader("Content-Security-Policy",
                "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                "connect-src 'self'; img-src 'self' data:; base-uri 'none'; form-action 'none'");
    r.addHeader("Referrer-Policy", "no-referrer");
    return r;
}

// The request's line and headers, once complete (bytes up to the blank line); empty until then.
qsizetype fineTesta(const QByteArray &dati)
{
    const qsizetype fine = dati.indexOf("\r\n\r\n");
    return fine < 0 ? -1 : fine + 4;
}

} // namespace

ServerTelefoni::ServerTelefoni(QByteArray pagina, std::function<std::optional<QByteArray>(const QString &)> cartella,
                               LimitiTelefoni limiti, QObject *parent)
    : QObject(parent)
    , m_pagina(std::move(pagina))
    , m_cartella(std::move(cartella))
    , m_limiti(limiti)
{
    m_ascolto = new AscoltoTelefoni(this);
    m_consegna = new ConsegnaTelefoni(this);
    m_http = new QHttpServer(this);
    m_http->route(QStringLiteral("/"), [this] { return risposta("text/html; charset=utf-8", m_pagina); });
    m_http->route(QStringLiteral("/stato"), [this] { return risposta("application/json", m_istantanea); });
    m_http->route(QStringLiteral("/cartella"), [this](const QHttpServerRequest &richiesta) {
        if (!concediCartella(richiesta.remoteAddress()))
            return risposta("application/json", R"({"errore":"Troppe richieste: riprova tra poco."})",
                            QHttpServerResponse::StatusCode::TooManyRequests);
        const QString codice = richiesta.query().queryItemValue(QStringLiteral("codice")).trimmed();
        std::optional<QByteArray> numeri;
        if (codice.size() <= 20)
            numeri = m_cartella(codice);
        if (!numeri)
            return risposta("application/json", R"({"errore":"Cartella non trovata: controlla il codice."})",
                            QHttpServerResponse::StatusCode::NotFound);
        return risposta("application/json", *numeri);
    });
    m_consegna->listen(QHostAddress::LocalHost, 0);
    m_http->bind(m_consegna);
    m_ws = new QWebSocketServer(QStringLiteral("tabellone"), QWebSocketServer::NonSecureMode, this);
    connect(m_ws, &QWebSocketServer::newConnection, this, &ServerTelefoni::nuovoWebSocket);
}

ServerTelefoni::~ServerTelefoni()
{
    for (QWebSocket *ws : std::as_const(m_webSocket))
        ws->disconnect(this);
}

bool ServerTelefoni::avvia(const QHostAddress &indirizzo, quint16 porta)
{
    m_ascolto->setMaxPendingConnections(64);
    for (int i = 0; i <= 20; ++i)
        if (m_ascolto->listen(indirizzo, quint16(porta + i)))
            return true;
    return false;
}

quint16 ServerTelefoni::porta() const
{
    return m_ascolto->serverPort();
}

void ServerTelefoni::pubblica(const QByteArray &istantanea)
{
    m_istantanea = istantanea;
    const QString testo = QString::fromUtf8(istantanea);
    const QList<QWebSocket *> tutti = m_webSocket;
    for (QWebSocket *ws : tutti) {
        // A phone that reads nothing would make the board keep every snapshot for it.
        const QPointer<QTcpSocket> socket = m_socketDi.value(ws);
        if (socket && socket->bytesToWrite() > m_limiti.arretratoMassimo) {
            ws->abort();
            continue;
        }
        ws->sendTextMessage(testo);
    }
}

void ServerTelefoni::nuovaConnessione(qintptr descrittore)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descrittore)) {
        delete socket;
        return;
    }
    const QHostAddress indirizzo = socket->peerAddress();
    if (m_connessioni >= m_limiti.connessioniTotali || m_perIndirizzo.value(indirizzo) >= m_limiti.connessioniPerIndirizzo) {
        socket->abort();
        delete socket;
        return;
    }
    ++m_connessioni;
    ++m_perIndirizzo[indirizzo];
    // Whoever ends up owning the socket (us, Qt HttpServer, a WebSocket), its
    // close or its end frees its place, once. (Tied to the listener, not to this
    // object, whose own connections are cut at the hand-over.)
    auto liberato = std::make_shared<bool>(false);
    const auto libera = [this, indirizzo, liberato] {
        if (std::exchange(*liberato, true))
            return;
        --m_connessioni;
        if (--m_perIndirizzo[indirizzo] <= 0)
            m_perIndirizzo.remove(indirizzo);
    };
    connect(socket, &QTcpSocket::disconnected, m_ascolto, libera);
    connect(socket, &QObject::destroyed, m_ascolto, libera);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto *scadenza = new QTimer(socket);
    scadenza->setObjectName(QStringLiteral("scadenza"));
    scadenza->setSingleShot(true);
    connect(scadenza, &QTimer::timeout, socket, [socket] { socket->abort(); });
    scadenza->start(m_limiti.attesaRichiesta);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { esamina(socket); });
}

void ServerTelefoni::rifiuta(QTcpSocket *socket, const QByteArray &stato)
{
    socket->disconnect(this);
    socket->write("HTTP/1.1 " + stato + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    socket->disconnectFromHost();
    // A client that does not read its answer is not waited for.
    QTimer::singleShot(1000, socket, [socket] { socket->abort(); });
}

void ServerTelefoni::esamina(QTcpSocket *socket)
{
    const QByteArray dati = socket->peek(m_limiti.testaMassima + 1);
    const qsizetype fine = fineTesta(dati);
    if (fine < 0) {
        if (dati.size() > m_limiti.testaMassima)
            rifiuta(socket, "431 Request Header Fields Too Large");
        return;
    }
    const QList<QByteArray> righe = dati.left(fine - 4).split('\n');
    if (righe.size() - 1 > m_limiti.righeMassime)
        return rifiuta(socket, "431 Request Header Fields Too Large");
    const QList<QByteArray> prima = righe.first().trimmed().split(' ');
    if (prima.size() != 3 || !prima[2].startsWith("HTTP/1."))
        return rifiuta(socket, "400 Bad Request");
    if (prima[0] != "GET")
        return rifiuta(socket, "405 Method Not Allowed");
    bool aggiornamento = false;
    for (qsizetype i = 1; i < righe.size(); ++i) {
        const QByteArray riga = righe[i].trimmed();
        const qsizetype duePunti = riga.indexOf(':');
        if (duePunti <= 0)
            return rifiuta(socket, "400 Bad Request");
        const QByteArray nome = riga.left(duePunti).trimmed().toLower();
        const QByteArray valore = riga.mid(duePunti + 1).trimmed().toLower();
        // A GET carries nothing: a body would be read by no one and could hide a second request.
        if ((nome == "content-length" && valore != "0") || nome == "transfer-encoding")
            return rifiuta(socket, "400 Bad Request");
        if (nome == "upgrade")
            aggiornamento = valore == "websocket";
    }
    const QByteArray percorso = prima[1].left(prima[1].indexOf('?') < 0 ? prima[1].size() : prima[1].indexOf('?'));
    socket->disconnect(this);
    delete socket->findChild<QTimer *>(QStringLiteral("scadenza"), Qt::FindDirectChildrenOnly);
    if (aggiornamento) {
        if (percorso != "/ws")
            return rifiuta(socket, "404 Not Found");
        // The WebSocket will own the socket: it is freed with it (nuovoWebSocket), or
        // here when the handshake came to nothing.
        disconnect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        const auto chiave = qMakePair(socket->peerAddress(), socket->peerPort());
        m_inAttesa.insert(chiave, socket);
        QTimer::singleShot(m_limiti.attesaRichiesta, m_ascolto, [this, chiave] {
            if (QPointer<QTcpSocket> rimasto = m_inAttesa.take(chiave)) {
                rimasto->abort();
                rimasto->deleteLater();
            }
        });
        // The WebSocket server reads the handshake itself, from what is already waiting.
        m_ws->handleConnection(socket);
        emit socket->readyRead();
        return;
    }
    sorveglia(socket);
    m_consegna->consegna(socket);
    // Qt HttpServer reads on readyRead: the request is already here.
    emit socket->readyRead();
}

void ServerTelefoni::sorveglia(QTcpSocket *socket)
{
    // Once handed over, a page connection may still send more requests: bounded in bytes and idle time.
    auto *inattivo = new QTimer(socket);
    inattivo->setSingleShot(true);
    connect(inattivo, &QTimer::timeout, socket, [socket] { socket->abort(); });
    inattivo->start(m_limiti.inattivitaHttp);
    auto ricevuti = std::make_shared<qint64>(0);
    connect(socket, &QTcpSocket::readyRead, inattivo, [this, socket, inattivo, ricevuti] {
        inattivo->start(m_limiti.inattivitaHttp);
        // Qt HttpServer reads everything waiting after this: what waits now is new.
        *ricevuti += socket->bytesAvailable();
        if (*ricevuti > m_limiti.byteMassimiHttp)
            socket->abort();
    });
    connect(socket, &QTcpSocket::bytesWritten, inattivo, [this, inattivo] { inattivo->start(m_limiti.inattivitaHttp); });
}

void ServerTelefoni::nuovoWebSocket()
{
    while (QWebSocket *ws = m_ws->nextPendingConnection()) {
        ws->setParent(this);
        const QPointer<QTcpSocket> socket = m_inAttesa.take(qMakePair(ws->peerAddress(), ws->peerPort()));
        ws->setMaxAllowedIncomingFrameSize(quint64(m_limiti.messaggioMassimo));
        ws->setMaxAllowedIncomingMessageSize(quint64(m_limiti.messaggioMassimo));
        m_webSocket.append(ws);
        m_socketDi.insert(ws, socket);
        auto arrivi = std::make_shared<QList<qint64>>();
        auto conta = [this, ws, arrivi] {
            const qint64 adesso = QDateTime::currentMSecsSinceEpoch();
            arrivi->removeIf([&](qint64 t) { return t <= adesso - m_limiti.finestra; });
            arrivi->append(adesso);
            if (arrivi->size() > m_limiti.messaggiPerFinestra)
                ws->abort();
        };
        connect(ws, &QWebSocket::textMessageReceived, this, conta);
        // The page never sends binary data.
        connect(ws, &QWebSocket::binaryMessageReceived, ws, &QWebSocket::abort);
        connect(ws, &QWebSocket::disconnected, this, [this, ws, socket] {
            m_webSocket.removeOne(ws);
            m_socketDi.remove(ws);
            // The WebSocket first, then its socket, which it may still use while it goes.
            ws->deleteLater();
            if (socket)
                socket->deleteLater();
        });
        ws->sendTextMessage(QString::fromUtf8(m_istantanea));
    }
}

bool ServerTelefoni::concediCartella(const QHostAddress &indirizzo)
{
    const qint64 adesso = QDateTime::currentMSecsSinceEpoch();
    // Addresses seen long ago are forgotten, so that the table stays small.
    if (m_richiesteCartella.size() > 1000)
        m_richiesteCartella.removeIf([&](const auto &voce) { return voce.value().isEmpty() || voce.value().last() <= adesso - m_limiti.finestra; });
    QList<qint64> &tempi = m_richiesteCartella[indirizzo];
    tempi.removeIf([&](qint64 t) { return t <= adesso - m_limiti.finestra; });
    if (tempi.size() >= m_limiti.cartellePerFinestra)
        return false;
    tempi.append(adesso);
    return true;
}
