// SPDX-License-Identifier: MIT
#include "telefoni.h"

#include "archivio.h"
#include "codicetelefoni.h"
#include "comandi.h"
#include "frmtabellone.h"
#include "istantanea.h"
#include "modulorete.h"

#include <QKeyEvent>

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
    QString motivo;
    ModuloRete *rete = moduloRete(&motivo);
    if (!rete)
        return QStringLiteral("La pagina per i telefoni non è attiva: %1.").arg(motivo);
    const QString cartella = m_cartellaRegistro;
    ServerPagina *server = rete->serverTelefoni([cartella](const QString &codice) {
        return cartellaTelefoni(ArchivioBlocchetti(cartella).leggi(), codice);
    }, PortaTelefoni, this);
    if (!server)
        return QStringLiteral("Nessuna porta libera tra %1 e %2: la pagina per i telefoni non è attiva.")
            .arg(PortaTelefoni).arg(PortaTelefoni + 20);
    m_server = server;
    aggiorna();
    emit accesoCambiato(true);
    return {};
}

void Telefoni::spegni()
{
    if (!m_server)
        return;
    delete m_server;
    m_server = nullptr;
    if (m_codice)
        m_codice->close();
    emit accesoCambiato(false);
}

quint16 Telefoni::porta() const
{
    return m_server ? m_server->porta() : 0;
}

QStringList Telefoni::indirizziPagina() const
{
    QStringList pagine;
    if (m_server)
        for (const QString &indirizzo : moduloRete()->indirizzi())
            pagine.append(QStringLiteral("http://%1:%2/").arg(indirizzo).arg(porta()));
    return pagine;
}

void Telefoni::aggiorna()
{
    if (m_server)
        m_server->pubblica(istantaneaTelefoni(m_tabellone.partita().storia().corrente, ++m_sequenza));
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
