// SPDX-License-Identifier: MIT
#include "blocco.h"

#include "cartellaprotetta.h"
#include "registro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

namespace {

// "pid", "computer", "moment" on three lines; anything else reads as nobody.
constexpr qint64 LunghezzaMassima = 1024;

QByteArray dati()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n'
           + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
}

} // namespace

BloccoRegistro::BloccoRegistro(QString percorso)
    : m_percorso(std::move(percorso))
    , m_nome(QFileInfo(m_percorso).fileName())
    , m_cartella(CartellaProtetta::apri(QFileInfo(m_percorso).path()))
{
}

BloccoRegistro::~BloccoRegistro()
{
    // A board that ends cleanly leaves no lock; only its own file is removed.
    if (m_preso && stessoFile(m_descrittore, m_percorso))
        m_cartella->rimuovi(m_nome);
    chiudi(m_descrittore);
}

QString BloccoRegistro::perso() const
{
    if (!m_preso)
        return {};
    if (const QString motivo = m_cartella->cambiata(); !motivo.isEmpty())
        return QStringLiteral("la cartella %1 %2").arg(QDir::toNativeSeparators(m_cartella->percorso()), motivo);
    if (!stessoFile(m_descrittore, m_percorso))
        return QStringLiteral("il file di blocco %1 è stato tolto o sostituito").arg(QDir::toNativeSeparators(m_percorso));
    return {};
}

QString BloccoRegistro::percorsoIn(const QString &cartellaRegistro)
{
    return QDir(cartellaRegistro).filePath(QString::fromLatin1(NomeRegistro) + QStringLiteral(".lock"));
}

void BloccoRegistro::lascia()
{
    chiudi(m_descrittore);
    m_descrittore = -1;
    m_bloccato = m_preso = m_tenutoQui = false;
}

BloccoRegistro::Stato BloccoRegistro::errore(const QString &motivo)
{
    lascia();
    m_errore = QStringLiteral("Il file di blocco %1 %2").arg(QDir::toNativeSeparators(m_percorso), motivo);
    return Stato::Errore;
}

BloccoRegistro::Stato BloccoRegistro::prendi()
{
    // A few rounds at most: only a lock removed between two steps sends us round again.
    for (int giro = 0; giro < 5; ++giro) {
        lascia();
        const Apertura apertura = m_cartella->apriFile(m_nome, true);
        if (apertura.natura != Natura::Proprio) {
            const QString motivo = apertura.natura == Natura::Errore
                                       ? QStringLiteral("non si può aprire (%1)").arg(apertura.errore)
                                       : descriviNatura(apertura.natura);
            return errore(motivo);
        }
        m_descrittore = apertura.descrittore;
        QFile file;
        if (!file.open(m_descrittore, QIODevice::ReadWrite, QFileDevice::DontCloseHandle))
            return errore(QStringLiteral("non si può aprire (%1)").arg(file.errorString()));
        if (!apertura.creato) {
            const QList<QByteArray> righe = file.read(LunghezzaMassima).split('\n');
            m_processo = righe.value(0).toLongLong();
            m_macchina = QString::fromUtf8(righe.value(1));
            m_momento = QDateTime::fromString(QString::fromUtf8(righe.value(2)), Qt::ISODate);
            // Created by another start that has not written it yet: taking it would make two boards.
            const QDateTime modificato = file.fileTime(QFileDevice::FileModificationTime);
            if (file.size() == 0 && modificato.secsTo(QDateTime::currentDateTime()) < EtaMinimaAbbandonato)
                return Stato::Occupato;
        }
        switch (bloccaEsclusivo(m_descrittore)) {
        case 0:
            m_tenutoQui = true;
            return Stato::Occupato;
        case 1:
            break;
        default:
            return errore(QStringLiteral("non si può bloccare"));
        }
        // Removed by the board that just ended: the next one creates a new file.
        if (!stessoFile(m_descrittore, m_percorso))
            continue;
        m_bloccato = true;
        // Written on another computer: that board may still be open there. Anything else
        // (garbage, an older program's lock) names nobody who could still hold it.
        if (!apertura.creato && m_momento.isValid() && !m_macchina.isEmpty() && m_macchina != QSysInfo::machineHostName())
            return Stato::Altrove;
        return scriviDati();
    }
    return errore(QStringLiteral("cambia di continuo"));
}

BloccoRegistro::Stato BloccoRegistro::subentra()
{
    if (m_bloccato)
        return scriviDati();
    // Held by a program here that does not answer: its file goes, a new one is taken.
    const Apertura apertura = m_cartella->apriFile(m_nome, false);
    if (apertura.natura == Natura::Proprio && stessoFile(apertura.descrittore, m_percorso))
        m_cartella->rimuovi(m_nome);
    chiudi(apertura.descrittore);
    const Stato stato = prendi();
    return stato == Stato::Altrove ? scriviDati() : stato;
}

BloccoRegistro::Stato BloccoRegistro::scriviDati()
{
    QFile file;
    const QByteArray contenuto = dati();
    // A lock that cannot be written is no lock: told, never taken as none.
    if (!file.open(m_descrittore, QIODevice::ReadWrite, QFileDevice::DontCloseHandle) || !file.resize(0)
        || !file.seek(0) || file.write(contenuto) != contenuto.size() || !file.flush()) {
        const QString motivo = QStringLiteral("non si può scrivere (%1)").arg(file.errorString());
        if (stessoFile(m_descrittore, m_percorso))
            m_cartella->rimuovi(m_nome); // this program's own, just taken
        return errore(motivo);
    }
    m_preso = true;
    return Stato::Preso;
}
