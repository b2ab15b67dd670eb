// SPDX-License-Identifier: MIT
#include "unicaistanza.h"

#include "canale.h"
#include "modulorete.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

UnicaIstanza::UnicaIstanza(const QString &cartellaRegistro, QObject *parent)
    : QObject(parent)
    , m_blocco(percorsoBlocco(cartellaRegistro))
    , m_nome(nomeCanale(cartellaRegistro))
{
}

QString UnicaIstanza::percorsoBlocco(const QString &cartellaRegistro)
{
    return BloccoRegistro::percorsoIn(cartellaRegistro);
}

QString UnicaIstanza::nomeCanale(const QString &cartellaRegistro)
{
    // The same record gives the same name, whatever path led to it.
    QString percorso = QFileInfo(cartellaRegistro).canonicalFilePath();
    if (percorso.isEmpty())
        percorso = QDir(cartellaRegistro).absolutePath();
    const QByteArray impronta = QCryptographicHash::hash(percorso.toUtf8(), QCryptographicHash::Sha256).toHex();
    return percorsoCanale(QStringLiteral("tabellone-") + QString::fromLatin1(impronta.left(24)));
}

UnicaIstanza::Esito UnicaIstanza::avvia()
{
    for (int giro = 0;; ++giro) {
        const BloccoRegistro::Stato stato = m_blocco.prendi();
        if (stato != BloccoRegistro::Stato::Occupato)
            return presa(stato);
        if (chiamaLaPrima())
            return Esito::Richiamata;
        // Alive here, whatever keeps it from answering: taking its lock would make two boards.
        if (m_blocco.tenutoQui())
            return Esito::Irraggiungibile;
        // Still empty and not held: a start writing it right now, or one killed before it could. Looked
        // at again until old enough to tell; only a date ahead of the clock keeps it young for ever.
        if (giro >= BloccoRegistro::EtaMinimaAbbandonato)
            return Esito::NonRisponde;
        QThread::sleep(1);
    }
}

UnicaIstanza::Esito UnicaIstanza::subentra()
{
    return presa(m_blocco.subentra());
}

UnicaIstanza::Esito UnicaIstanza::presa(BloccoRegistro::Stato stato)
{
    switch (stato) {
    case BloccoRegistro::Stato::Preso:
        return Esito::Prima;
    case BloccoRegistro::Stato::Errore:
        m_errore = m_blocco.errore();
        return Esito::Errore;
    case BloccoRegistro::Stato::Occupato:
    case BloccoRegistro::Stato::Altrove:
        break;
    }
    return Esito::NonRisponde;
}

QString UnicaIstanza::domanda() const
{
    const QString macchina = m_blocco.macchina().isEmpty() ? QSysInfo::machineHostName() : m_blocco.macchina();
    const QDateTime quando = m_blocco.momento().toLocalTime();
    QString momento;
    if (quando.isValid())
        momento = quando.date() == QDate::currentDate()
                      ? QStringLiteral(" alle %1").arg(quando.toString(QStringLiteral("HH:mm")))
                      : QStringLiteral(" il %1 alle %2").arg(quando.toString(QStringLiteral("dd/MM/yyyy")),
                                                            quando.toString(QStringLiteral("HH:mm")));
    return QStringLiteral("Il tabellone di questa partita risulta aperto su %1%2 ma non risponde: "
                          "riprendere qui la partita?\n\n"
                          "Rispondere Sì solo se quel tabellone è chiuso: due tabelloni aperti sulla stessa "
                          "partita se la contenderebbero.")
        .arg(macchina, momento);
}

QString UnicaIstanza::avvisoIrraggiungibile() const
{
    const QString perche = m_nome.isEmpty() ? QStringLiteral(" (non c'è una cartella riservata all'utente dove raggiungerlo)")
                                            : QString();
    return QStringLiteral("Il tabellone di questa partita è già aperto su questo computer, ma non si riesce a "
                          "portarlo davanti%1.\n\n"
                          "Cercalo tra le finestre aperte. Questa apertura si chiude senza toccare la partita.")
        .arg(perche);
}

void UnicaIstanza::ascolta()
{
    if (m_canale)
        return;
    const QString comeRimedio = QStringLiteral("aprendo di nuovo il programma, questo tabellone non verrà portato davanti.");
    if (m_nome.isEmpty()) {
        m_errore = QStringLiteral("Non c'è una cartella riservata all'utente dove il tabellone possa ricevere "
                                  "le richieste: ") + comeRimedio;
        return;
    }
    QString motivo;
    if (ModuloRete *rete = moduloRete(&motivo))
        m_canale = rete->ascolta(m_nome, [this] { emit richiamata(); }, motivo);
    if (!m_canale)
        m_errore = QStringLiteral("Il tabellone non può ricevere le richieste in %1 (%2): ")
                       .arg(QDir::toNativeSeparators(m_nome), motivo) + comeRimedio;
}

bool UnicaIstanza::chiamaLaPrima()
{
    ModuloRete *rete = m_nome.isEmpty() ? nullptr : moduloRete();
    return rete && rete->chiama(m_nome);
}
