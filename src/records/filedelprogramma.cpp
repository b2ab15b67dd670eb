// SPDX-License-Identifier: MIT
#include "filedelprogramma.h"

#include "archivio.h"
#include "blocco.h"
#include "dichiarazioni.h"
#include "fileproprio.h"
#include "storia.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The path with every folder that exists resolved (links, "..", doubled
// separators); the part that does not exist yet follows as written.
QString percorsoRisolto(const QString &percorso)
{
    QString esistente = QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
    QStringList resto;
    while (!QFileInfo::exists(esistente) && !QFileInfo(esistente).isSymLink()) {
        const QFileInfo info(esistente);
        if (info.path() == esistente)
            break; // the root
        resto.prepend(info.fileName());
        esistente = info.path();
    }
    const QString reale = QFileInfo(esistente).canonicalFilePath();
    return QDir::cleanPath((reale.isEmpty() ? esistente : reale) + QLatin1Char('/') + resto.join(QLatin1Char('/')));
}

struct Proprio {
    QString percorso;
    QString cosa;
};

// Whether a write to dove (a link's final target already) lands on proprio.
bool stesso(const QFileInfo &dove, const QByteArray &file, const QByteArray &cartella, const QString &proprio)
{
    const QFileInfo info(proprio);
    // The same file, whatever name leads to it (another spelling, a second name).
    if (!file.isEmpty() && file == identitaDi(info.absoluteFilePath()))
        return true;
    // Not there yet: the same name in the same folder, however that is spelled (case too, for Windows).
    if (!cartella.isEmpty() && cartella == identitaDi(info.absolutePath())
        && dove.fileName().compare(info.fileName(), Qt::CaseInsensitive) == 0)
        return true;
    // Its folder not made yet either (the per-user folder before the first start).
    return percorsoRisolto(dove.absoluteFilePath()).compare(percorsoRisolto(proprio), Qt::CaseInsensitive) == 0;
}

} // namespace

QString fileDelProgramma(const QString &percorso, const QStringList &cartelleRegistro, const QString &immagini,
                         const QString &eseguibile)
{
    QList<Proprio> propri;
    for (const QString &cartella : cartelleRegistro) {
        if (cartella.isEmpty())
            continue;
        const QDir dir(cartella);
        propri.append({dir.filePath(QString::fromLatin1(NomeRegistro)), QStringLiteral("la partita registrata")});
        propri.append({BloccoRegistro::percorsoIn(cartella), QStringLiteral("il blocco della partita")});
        propri.append({dir.filePath(QString::fromLatin1(NomeStoria)), QStringLiteral("la storia della partita")});
        propri.append({dir.filePath(QString::fromLatin1(NomeArchivioBlocchetti)),
                       QStringLiteral("l'archivio dei blocchetti di cartelle")});
        propri.append({dir.filePath(QString::fromLatin1(NomeBloccoBlocchetti)),
                       QStringLiteral("il blocco dell'archivio dei blocchetti")});
    }
    if (!immagini.isEmpty()) {
        for (int n = 0; n <= Dichiarazioni::UltimoNumero; ++n)
            propri.append({QDir(immagini).filePath(Dichiarazioni::nomeImmagine(n)), QStringLiteral("un'immagine del tabellone")});
    }
    if (!eseguibile.isEmpty())
        propri.append({eseguibile, QStringLiteral("il programma")});

    // Where the write lands: a link's final target, as the saving file follows it.
    QFileInfo dove(QFileInfo(percorso).absoluteFilePath());
    for (int passi = 0; passi < 64 && dove.isSymLink(); ++passi)
        dove.setFile(QFileInfo(dove.symLinkTarget()).absoluteFilePath());
    const QByteArray file = identitaDi(dove.absoluteFilePath());
    const QByteArray cartella = identitaDi(dove.absolutePath());
    for (const Proprio &proprio : std::as_const(propri)) {
        if (stesso(dove, file, cartella, proprio.percorso))
            return QStringLiteral("%1 è un file del programma (%2): scegli un altro nome per il PDF")
                .arg(QDir::toNativeSeparators(percorso), proprio.cosa);
    }
    return {};
}

QString fileDelProgramma(const QString &percorso, const Cartelle &cartelle, const QString &eseguibile)
{
    QStringList cartelleRegistro = cartelle.tentate;
    cartelleRegistro.append(cartelle.registro);
    if (!cartelle.daRiportare.isEmpty())
        cartelleRegistro.append(QFileInfo(cartelle.daRiportare).absolutePath());
    return fileDelProgramma(percorso, cartelleRegistro, cartelle.immagini, eseguibile);
}
