// SPDX-License-Identifier: MIT
#include "cartelle.h"

#include "dichiarazioni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Every write replaces the record through a temporary file beside it, so a
// folder where one cannot be created cannot keep the record.
bool siPuoSostituire(const QString &cartella)
{
    QTemporaryFile prova(QDir(cartella).filePath(QStringLiteral("ultima.par.XXXXXX")));
    return prova.open();
}

QString registroIn(const QString &cartella)
{
    return RegistroPartita(cartella).percorso();
}

} // namespace

Cartelle scegliCartelle(const QString &cartellaProgramma, const QString &cartellaUtente)
{
    Cartelle scelta;
    const QString programma = QDir::cleanPath(cartellaProgramma);
    const QString utente = QDir::cleanPath(cartellaUtente);

    // One picture is enough to tell a program folder from an installed binary folder.
    const QString primaImmagine = Dichiarazioni::nomeImmagine(0);
    const bool accanto = QFileInfo::exists(QDir(programma).filePath(primaImmagine));
    const QString installate = QDir::cleanPath(programma + QStringLiteral("/../share/tabellone"));
    if (accanto || !QFileInfo::exists(QDir(installate).filePath(primaImmagine)))
        scelta.immagini = programma;
    else
        scelta.immagini = installate;

    if (accanto) {
        scelta.tentate.append(programma);
        const QFileInfo registro(registroIn(programma));
        if ((!registro.exists() || registro.isWritable()) && siPuoSostituire(programma)) {
            scelta.registro = programma;
            return scelta;
        }
        if (registro.isFile())
            scelta.daRiportare = registro.filePath();
    }

    scelta.tentate.append(utente);
    if (!utente.isEmpty() && QDir().mkpath(utente) && siPuoSostituire(utente)) {
        scelta.registro = utente;
        // A game already carried on here is newer than the one left behind.
        if (QFileInfo::exists(registroIn(utente)))
            scelta.daRiportare.clear();
    }
    return scelta;
}

QString cartellaUtente()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

EsitoScrittura riportaPartita(const Cartelle &cartelle)
{
    if (cartelle.daRiportare.isEmpty() || !cartelle.salvata())
        return {};
    QFile origine(cartelle.daRiportare);
    if (!origine.open(QIODevice::ReadOnly))
        return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(origine.fileName()), origine.errorString())};
    // Not QFile::copy: it would carry over the read-only permission too. Copied
    // in pieces, so a record of any size costs little memory.
    QSaveFile copia(registroIn(cartelle.registro));
    bool scritta = copia.open(QIODevice::WriteOnly);
    while (scritta && !origine.atEnd()) {
        const QByteArray pezzo = origine.read(RegistroPartita::LimiteCopia);
        if (pezzo.isEmpty() && origine.error() != QFileDevice::NoError)
            return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(origine.fileName()), origine.errorString())};
        scritta = copia.write(pezzo) == pezzo.size() && !pezzo.isEmpty();
    }
    if (!scritta || !copia.commit())
        return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(copia.fileName()), copia.errorString())};
    return {};
}

QString avvisoNonSalvata(const Cartelle &cartelle)
{
    QStringList dove;
    for (const QString &cartella : cartelle.tentate)
        dove.append(QStringLiteral("  ") + QDir::toNativeSeparators(cartella));
    return QStringLiteral("Attenzione: questa partita NON viene salvata.\n\n"
                          "Il file %1 non si può scrivere in nessuna di queste cartelle:\n%2\n\n"
                          "Si può giocare normalmente, ma se il programma si chiude i numeri estratti "
                          "non saranno ripresi alla prossima apertura.")
        .arg(QString::fromLatin1(NomeRegistro), dove.join(QLatin1Char('\n')));
}
