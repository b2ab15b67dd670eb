// SPDX-License-Identifier: MIT
#pragma once

#include "indirizzi.h"

#include <QObject>
#include <QPointer>

class frmTabellone;
class ServerTelefoni;
class QThread;
class QWidget;

// The phones in the hall: the switch, the server made when first switched on,
// and F8 on the board, which shows the page's address as a QR code. Made with
// the start screen; while off it holds no socket and no server. The server
// runs on a thread of its own: hundreds of phones' sockets on the board's
// thread would make each turn of its event loop look at all of them, and a
// draw's pop-up takes many turns; nor does a busy board keep the phones waiting.
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
    quint16 porta() const { return m_porta; }
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
    ServerTelefoni *m_server = nullptr; // lives on m_filo: reached only through its event loop
    QThread *m_filo = nullptr;
    quint16 m_porta = 0;
    QPointer<QWidget> m_codice;
    qint64 m_sequenza = 0;
};
