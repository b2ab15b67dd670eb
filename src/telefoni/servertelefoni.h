// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpSocket>

#include <functional>
#include <optional>

class QHttpServer;
class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;
class AscoltoTelefoni;
class ConsegnaTelefoni;

// What keeps the phones' page cheap for the board whatever a phone sends.
struct LimitiTelefoni {
    int connessioniTotali = 600;   // a big hall, each phone one WebSocket and a request or two
    int connessioniPerIndirizzo = 12;
    int testaMassima = 8192;       // bytes of a request's line and headers
    int righeMassime = 40;         // header lines
    int attesaRichiesta = 5000;    // ms to send a whole request: slower clients are dropped
    int inattivitaHttp = 30000;    // ms a page connection may stay idle
    qint64 byteMassimiHttp = 65536; // everything one page connection may send
    int messaggioMassimo = 256;    // bytes of a WebSocket message: the page sends only "ping"
    int messaggiPerFinestra = 10;  // WebSocket messages per `finestra` ms …
    int cartellePerFinestra = 20;  // … and card look-ups per address in the same time
    int finestra = 10000;
    qint64 arretratoMassimo = 1024 * 1024; // bytes waiting for a phone that does not read: then it is dropped
};

// The phones' server: the page, a snapshot of the game, one card's numbers by
// its code, and the live updates on a WebSocket. Read-only: nothing a phone
// sends reaches the game. It wraps Qt HttpServer (whose API is still a
// preview) so the rest of the program never sees it. Every connection is
// first checked here (count, size, time) and only a complete, plain GET
// reaches Qt HttpServer or the WebSocket server.
class ServerTelefoni : public QObject
{
    Q_OBJECT

public:
    // cartella: the card's numbers as JSON for a code ("ABC-67"); nothing when there is no such card.
    ServerTelefoni(QByteArray pagina, std::function<std::optional<QByteArray>(const QString &)> cartella,
                   LimitiTelefoni limiti = {}, QObject *parent = nullptr);
    ~ServerTelefoni() override;

    // Listens on `indirizzo` at `porta` or the first free one of the next 20; false when none is.
    bool avvia(const QHostAddress &indirizzo, quint16 porta);
    quint16 porta() const;

    // The game as the phones show it: served at /stato and sent to every WebSocket.
    void pubblica(const QByteArray &istantanea);
    int clientWebSocket() const { return int(m_webSocket.size()); }
    int connessioni() const { return m_connessioni; }

private:
    friend class AscoltoTelefoni;
    void nuovaConnessione(qintptr descrittore);
    void esamina(QTcpSocket *socket);
    void rifiuta(QTcpSocket *socket, const QByteArray &stato);
    void sorveglia(QTcpSocket *socket);
    void nuovoWebSocket();
    bool concediCartella(const QHostAddress &indirizzo);

    QByteArray m_pagina;
    std::function<std::optional<QByteArray>(const QString &)> m_cartella;
    LimitiTelefoni m_limiti;
    QByteArray m_istantanea = "{}";
    AscoltoTelefoni *m_ascolto = nullptr;
    ConsegnaTelefoni *m_consegna = nullptr;
    QHttpServer *m_http = nullptr;
    QWebSocketServer *m_ws = nullptr;
    QList<QWebSocket *> m_webSocket;
    QHash<QWebSocket *, QPointer<QTcpSocket>> m_socketDi; // each WebSocket's connection
    QHash<QHostAddress, int> m_perIndirizzo;
    // Sockets handed to the WebSocket server, by their peer, until their WebSocket exists.
    QHash<QPair<QHostAddress, quint16>, QPointer<QTcpSocket>> m_inAttesa;
    QHash<QHostAddress, QList<qint64>> m_richiesteCartella;
    int m_connessioni = 0;
};
