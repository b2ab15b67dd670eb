// SPDX-License-Identifier: MIT
#include "unicaistanza.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray Chiamata = QByteArrayLiteral("avanti\n");
const QByteArray Risposta = QByteArrayLiteral("ok\n");

// The same record gives the same name, whatever path led to it.
QString nomeServizio(const QString &cartella)
{
    QString percorso = QFileInfo(cartella).canonicalFilePath();
    if (percorso.isEmpty())
        percorso = QDir(cartella).absolutePath();
    const QByteArray impronta = QCryptographicHash::hash(percorso.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("tabellone-") + QString::fromLatin1(impronta.left(24));
}

} // namespace

UnicaIstanza::UnicaIstanza(const QString &cartellaRegistro, QObject *parent)
    : QObject(parent)
    , m_blocco(percorsoBlocco(cartellaRegistro))
    , m_nome(nomeServizio(cartellaRegistro))
{
    // A board stays open for hours: only a dead owner makes the lock stale.
    m_blocco.setStaleLockTime(0);
}

QString UnicaIstanza::percorsoBlocco(const QString &cartellaRegistro)
{
    return QDir(cartellaRegistro).filePath(QStringLiteral("ultima.par.lock"));
}

UnicaIstanza::Esito UnicaIstanza::avvia()
{
    if (prendiBlocco()) {
        ascolta();
        return Esito::Prima;
    }
    return chiamaLaPrima() ? Esito::Richiamata : Esito::GiaAperta;
}

bool UnicaIstanza::prendiBlocco()
{
    if (m_blocco.tryLock(0))
        return true;
    // Without a lock in this folder there is no second board to respect.
    if (m_blocco.error() != QLockFile::LockFailedError)
        return true;
    // A lock naming a dead program is removed by tryLock itself. One that names
    // nobody (empty, garbage) is removed here; the owner of a live lock holds
    // a native lock on it, which makes this removal fail.
    qint64 pid = 0;
    QString macchina, programma;
    if (!m_blocco.getLockInfo(&pid, &macchina, &programma) && m_blocco.removeStaleLockFile())
        return m_blocco.tryLock(0);
    return false;
}

void UnicaIstanza::ascolta()
{
    // This start holds the lock, so a socket left by a killed board is stale.
    QLocalServer::removeServer(m_nome);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_nome))
        return; // the board still works; a later start will say it is already open
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *chiamata = m_server.nextPendingConnection()) {
            connect(chiamata, &QLocalSocket::disconnected, chiamata, &QObject::deleteLater);
            connect(chiamata, &QLocalSocket::readyRead, this, [this, chiamata] {
                if (!chiamata->canReadLine())
                    return;
                if (chiamata->readLine() == Chiamata) {
                    emit richiamata();
                    chiamata->write(Risposta);
                }
                chiamata->disconnectFromServer();
            });
        }
    });
}

bool UnicaIstanza::chiamaLaPrima()
{
    // The first start may still be building its windows: keep trying until the deadline.
    const QDeadlineTimer scadenza(AttesaRisposta);
    while (!scadenza.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_nome);
        if (socket.waitForConnected(int(scadenza.remainingTime()))) {
            socket.write(Chiamata);
            while (!socket.canReadLine() && socket.waitForReadyRead(int(scadenza.remainingTime()))) {
            }
            return socket.canReadLine() && socket.readLine() == Risposta;
        }
        QThread::msleep(50);
    }
    return false;
}
