// SPDX-License-Identifier: MIT
#include "filedelprogramma.h"

#include "archivio.h"
#include "blocco.h"
#include "dichiarazioni.h"
#include "storia.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The path with every link in its folder resolved. With seguiCollegamento a
// link at the last step is replaced by its target, as a write through
// QSaveFile does; the program's own files are never reached through one.
QString destinazione(const QString &percorso, bool seguiCollegamento)
{
    QFileInfo file(QFileInfo(percorso).absoluteFilePath());
    for (int salti = 0; seguiCollegamento && salti < 128 && file.isSymLink(); ++salti)
        file.setFile(file.symLinkTarget());
    const QString cartella = QFileInfo(file.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((cartella.isEmpty() ? file.absolutePath() : cartella) + QLatin1Char('/') + file.fileName());
}

struct Proprio {
    QString percorso;
    QString cosa;
};

} // namespace

QString fileDelProgramma(const QString &percorso, const Cartelle &cartelle, const QString &eseguibile)
{
    QStringList cartelleRegistro = cartelle.tentate;
    cartelleRegistro.append(cartelle.registro);
    if (!cartelle.daRiportare.isEmpty())
        cartelleRegistro.append(QFileInfo(cartelle.daRiportare).absolutePath());
    cartelleRegistro.removeAll(QString());

    QList<Proprio> propri;
    for (const QString &cartella : std::as_const(cartelleRegistro)) {
        const QDir dir(cartella);
        propri.append({dir.filePath(QString::fromLatin1(NomeRegistro)), QStringLiteral("la partita registrata")});
        propri.append({BloccoRegistro::percorsoIn(cartella), QStringLiteral("il blocco della partita")});
        propri.append({dir.filePath(QString::fromLatin1(NomeStoria)), QStringLiteral("la storia della partita")});
        propri.append({dir.filePath(QString::fromLatin1(NomeArchivioBlocchetti)),
                       QStringLiteral("l'archivio dei blocchetti di cartelle")});
    }
    if (!cartelle.immagini.isEmpty()) {
        for (int n = 0; n <= 90; ++n)
            propri.append({QDir(cartelle.immagini).filePath(Dichiarazioni::nomeImmagine(n)),
                           QStringLiteral("un'immagine del tabellone")});
    }
    if (!eseguibile.isEmpty())
        propri.append({eseguibile, QStringLiteral("il programma")});

    const QString dove = destinazione(percorso, true);
    for (const Proprio &proprio : std::as_const(propri)) {
        if (dove.compare(destinazione(proprio.percorso, false), Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 è un file del programma (%2): scegli un altro nome per il PDF")
                .arg(QDir::toNativeSeparators(percorso), proprio.cosa);
    }
    return {};
}
