// SPDX-License-Identifier: MIT
#include "infosistema.h"

#include <QFileInfo>
#include <QProcess>
#include <QtEndian>


bool GetKeyValue(AccessoRegistro &registro, AccessoRegistro::Chiave radice, const QString &percorso,
                 const QString &nome, QString &risultato)
{
    const auto chiave = registro.apri(radice, percorso.toLocal8Bit(), AccessoChiave);
    if (!chiave) {
        risultato.clear();
        return false;
    }
    QByteArray dati(1024, '\0');
    quint32 dimensione = 1024;
    quint32 tipo = 0;
    if (!registro.interroga(*chiave, nome.toLocal8Bit(), tipo, dati, dimensione)) {
        risultato.clear();
        registro.chiudi(*chiave);
        return false;
    }
    const QByteArray letti = dati.left(std::min<qsizetype>(dimensione, dati.size()));
    if (tipo == TipoTesto) {
        // Text values are stored with their closing NUL.
        risultato = QString::fromLocal8Bit(letti.endsWith('\0') ? letti.chopped(1) : letti);
    } else if (tipo == TipoNumero32 && letti.size() >= 4) {
        // All four bytes count here, a zero high byte included.
        risultato = QString::number(qFromLittleEndian<quint32>(letti.constData()));
    }
    registro.chiudi(*chiave);
    return true;
}

std::optional<QString> percorsoInfoSistema(AccessoRegistro &registro,
                                           const std::function<bool(const QString &)> &fileEsiste)
{
    QString percorso;
    if (GetKeyValue(registro, ChiaveLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), percorso))
        return percorso;
    if (!GetKeyValue(registro, ChiaveLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                     QStringLiteral("MSINFO"), percorso))
        return std::nullopt;
    const QString eseguibile = percorso + QStringLiteral("\\MSINFO32.EXE");
    if (!fileEsiste(eseguibile))
        return std::nullopt;
    return eseguibile;
}

bool StartSysInfo(ServiziInfoSistema &servizi)
{
    if (!servizi.registro)
        return false;
    const auto percorso = percorsoInfoSistema(*servizi.registro, servizi.fileEsiste);
    return percorso && servizi.avvia(*percorso);
}

ServiziInfoSistema serviziDiSistema()
{
    return {registroDiSistema(),
            [](const QString &percorso) { return QFileInfo(percorso).isFile(); },
            [](const QString &percorso) { return QProcess::startDetached(percorso, {}); }};
}
