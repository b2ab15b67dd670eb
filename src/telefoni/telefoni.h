// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class frmTabellone;
class ServerPagina;
class QWidget;

// The phones in the hall: the switch, the server made when first switched on
// (on a thread of its own, in the network module), and F8 on the board, which
// shows the page's address as a QR code. Made with the board; while off it
// holds no socket and no server.
class Telefoni : public QObject
{
    Q_OBJECT

public:
    Telefoni(frmTabellone &tabellone, QString cartellaRegistro, QObject *parent = nullptr);
    ~Telefoni() override;

    // Listens on every IPv4 address at 8090 or the next free port; empty when
    // on, otherwise why not, in Italian.
    QString accendi();
    void spegni();
    bool acceso() const { return m_server != nullptr; }
    quint16 porta() const;
    // The page's addresses, best first ("http://192.168.1.20:8090/").
    QStringList indirizziPagina() const;
    // F8: switches on if needed and shows the QR code over the board.
    void mostraCodice();

signals:
    void accesoCambiato(bool acceso);

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    void aggiorna();

    frmTabellone &m_tabellone;
    QString m_cartellaRegistro;
    ServerPagina *m_server = nullptr;
    QPointer<QWidget> m_codice;
    qint64 m_sequenza = 0;
};
