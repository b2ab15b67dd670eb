// SPDX-License-Identifier: MIT
#include "telefoni.h"

#include "archivio.h"
#include "codicetelefoni.h"
#include "comandi.h"
#include "frmtabellone.h"
#include "istantanea.h"
#include "servertelefoni.h"

#include <QFile>
#include <QKeyEvent>
#include <QThread>

namespace {
constexpr int CodiceF8 = 119;
constexpr quint16 PortaTelefoni = 8090;
} // namespace

Telefoni::Telefoni(frmTabellone &tabellone, QString cartellaRegistro, QObject *parent)
    : QObject(parent)
    , m_tabellone(tabellone)
    , m_cartellaRegistro(std::move(cartellaRegistro))
{
    // F8 lives here, not among the board's own keys: the board does not know the phones.
    m_tabellone.installEventFilter(this);
    // The game may outlive this object at the end: then the action does nothing.
    m_tabellone.partita().allaModificaStoria([guardia = QPointer<Telefoni>(this)] {
        if (guardia)
            guardia->aggiorna();
    });
}

Telefoni::~Telefoni()
{
    spegni();
}

QString Telefoni::accendi()
{
    if (m_server)
        return {};
    QFile pagina(QStringLiteral(":/telefoni/pagina.html"));
    pagina.open(QIODevice::ReadOnly);
    const QString cartella = m_cartellaRegistro;
    auto *filo = new QThread;
    filo->setObjectName(QStringLiteral("telefoni"));
    filo->start();
    // Made, started and deleted on its thread, so that every socket it makes is watched there.
    ServerTelefoni *server = nullptr;
    QObject contesto;
    contesto.moveToThread(filo);
    QMetaObject::invokeMethod(&contesto, [&, html = pagina.readAll()] {
        server = new ServerTelefoni(html, [cartella](const QString &codice) {
            return cartellaTelefoni(ArchivioBlocchetti(cartella).leggi(), codice);
        });
        if (server->avvia(QHostAddress::AnyIPv4, PortaTelefoni)) {
            m_porta = server->porta();
        } else {
            delete server;
            server = nullptr;
        }
        contesto.moveToThread(nullptr);
    }, Qt::BlockingQueuedConnection);
    if (!server) {
        filo->quit();
        filo->wait();
        delete filo;
        return QStringLiteral("Nessuna porta libera tra %1 e %2: la pagina per i telefoni non è attiva.")
            .arg(PortaTelefoni).arg(PortaTelefoni + 20);
    }
    m_server = server;
    m_filo = filo;
    aggiorna();
    emit accesoCambiato(true);
    return {};
}

void Telefoni::spegni()
{
    if (!m_server)
        return;
    ServerTelefoni *server = std::exchange(m_server, nullptr);
    QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    // What the server left to be deleted later goes with its thread.
    m_filo->quit();
    m_filo->wait();
    delete std::exchange(m_filo, nullptr);
    m_porta = 0;
    if (m_codice)
        m_codice->close();
    emit accesoCambiato(false);
}

QStringList Telefoni::indirizziPagina() const
{
    QStringList pagine;
    for (const IndirizzoRete &r : indirizziDelComputer())
        pagine.append(QStringLiteral("http://%1:%2/").arg(r.indirizzo.toString()).arg(porta()));
    return pagine;
}

void Telefoni::aggiorna()
{
    if (!m_server)
        return;
    // Built here, where the game lives; sent there, in the order made.
    QMetaObject::invokeMethod(m_server, [server = m_server,
                                         istantanea = istantaneaTelefoni(m_tabellone.partita().storia().corrente, ++m_sequenza)] {
        server->pubblica(istantanea);
    });
}

void Telefoni::mostraCodice()
{
    if (m_codice)
        return;
    const QString errore = accendi();
    QStringList pagine = indirizziPagina();
    if (!errore.isEmpty())
        pagine = {errore};
    else if (pagine.isEmpty())
        pagine = {QStringLiteral("Nessuna rete: collega il computer al Wi-Fi della sala (porta %1)").arg(porta())};
    m_codice = new frmCodiceTelefoni(pagine, &m_tabellone);
}

bool Telefoni::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (oggetto == &m_tabellone && evento->type() == QEvent::KeyPress) {
        auto *tasto = static_cast<QKeyEvent *>(evento);
        if (!tasto->isAutoRepeat() && !m_tabellone.partita().occupata()
            && codiceTasto(tasto->key(), tasto->modifiers(), tasto->nativeVirtualKey()) == CodiceF8
            && mascheraModificatori(tasto->modifiers()) == 0) {
            mostraCodice();
            return true;
        }
    }
    return false;
}
