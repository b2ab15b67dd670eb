// SPDX-License-Identifier: MIT
#include "cartelle.h"

#include "blocco.h"
#include "dichiarazioni.h"
#include "fileproprio.h"

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

// Whether record a, this user's own, was written after record b (or b is not one).
bool piuRecente(const QString &a, const QString &b)
{
    if (naturaDi(a) != Natura::Proprio)
        return false;
    return naturaDi(b) != Natura::Proprio
           || QFileInfo(a).lastModified() > QFileInfo(b).lastModified();
}

bool creaCartellaUtente(const QString &cartella)
{
    if (QFileInfo(cartella).isDir())
        return true;
    return QDir().mkpath(cartella) && soloProprietario(cartella);
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

    const QString diUtente = registroIn(utente);
    QString diProgramma; // the program folder's record, when it is one to carry over
    if (accanto) {
        scelta.tentate.append(programma);
        const QString registro = registroIn(programma);
        bool lasciata = false;
        for (const QString &file : {registro, BloccoRegistro::percorsoIn(programma)}) {
            if (const Natura natura = naturaDi(file); estranea(natura)) {
                scelta.avvisi.append(QStringLiteral("Il file %1 %2: il programma non lo legge e non lo modifica, "
                                                    "e tiene la partita nella cartella dell'utente.")
                                         .arg(QDir::toNativeSeparators(file), descriviNatura(natura)));
                lasciata = true;
            }
        }
        const Natura natura = naturaDi(registro);
        if (natura == Natura::Proprio)
            diProgramma = registro;
        if (!lasciata && (natura == Natura::Manca || QFileInfo(registro).isWritable()) && siPuoSostituire(programma)) {
            // One game, one place: once carried on in the per-user folder, it is continued there.
            if (diProgramma.isEmpty() || !piuRecente(diUtente, diProgramma)) {
                scelta.registro = programma;
                return scelta;
            }
            scelta.avvisi.append(QStringLiteral("La partita in %1 è più recente di quella in %2: "
                                                "si continua quella, e si registra in %1.")
                                     .arg(QDir::toNativeSeparators(diUtente), QDir::toNativeSeparators(registro)));
        }
    }

    scelta.tentate.append(utente);
    if (!utente.isEmpty() && creaCartellaUtente(utente) && siPuoSostituire(utente))
        scelta.registro = utente;
    // The newer game of the two is the one that goes on.
    if (piuRecente(diProgramma, diUtente))
        scelta.daRiportare = diProgramma;
    else if (!scelta.salvata() && naturaDi(diUtente) == Natura::Proprio)
        scelta.daRiportare = diUtente;
    return scelta;
}

QString cartellaUtente()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

EsitoScrittura riportaPartita(const Cartelle &cartelle)
{
    if (cartelle.daRiportare.isEmpty() || cartelle.registro.isEmpty())
        return {};
    const auto fallita = [&](const QString &motivo) {
        return EsitoScrittura{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(cartelle.daRiportare), motivo)};
    };
    // Never through a link, never from a pipe, never another user's file.
    const Apertura apertura = apriProprio(cartelle.daRiportare, false);
    if (apertura.natura != Natura::Proprio)
        return fallita(apertura.natura == Natura::Errore ? apertura.errore : descriviNatura(apertura.natura));
    QFile origine;
    if (!origine.open(apertura.descrittore, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        return fallita(origine.errorString());
    }
    QByteArray contenuto;
    if (origine.size() > RegistroPartita::LimiteCopia) {
        // Far larger than any game: its header and numbers are the game, the rest is not copied.
        const PartitaLetta letta = leggiRegistroFile(origine);
        contenuto = letta.intestazione.toLocal8Bit() + "\r\n";
        for (const int n : letta.numeri)
            contenuto += rigaNumero(n);
    } else {
        contenuto = origine.read(RegistroPartita::LimiteCopia + 1);
    }
    if (origine.error() != QFileDevice::NoError)
        return fallita(origine.errorString());
    const EsitoScrittura esito = RegistroPartita(cartelle.registro).sostituisci(contenuto);
    if (!esito.riuscita())
        return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(registroIn(cartelle.registro)), esito.errore)};
    return {};
}

void soloPerQuestaVolta(Cartelle &cartelle, const QString &cartellaProvvisoria)
{
    if (cartelle.daRiportare.isEmpty() && cartelle.salvata() && naturaDi(registroIn(cartelle.registro)) == Natura::Proprio)
        cartelle.daRiportare = registroIn(cartelle.registro);
    cartelle.registro = cartellaProvvisoria;
}

QString ripresa(const Cartelle &cartelle)
{
    if (cartelle.daRiportare.isEmpty())
        return {};
    return QStringLiteral("\n\nLa partita registrata in %1 è ripresa sul tabellone, ma non viene aggiornata.")
        .arg(QDir::toNativeSeparators(cartelle.daRiportare));
}

QString avvisoNonSalvata(const Cartelle &cartelle)
{
    QStringList dove;
    for (const QString &cartella : cartelle.tentate)
        dove.append(QStringLiteral("  ") + QDir::toNativeSeparators(cartella));
    return QStringLiteral("Attenzione: questa partita NON viene salvata.\n\n"
                          "Il file %1 non si può scrivere in nessuna di queste cartelle:\n%2\n\n"
                          "Si può giocare normalmente, ma se il programma si chiude i numeri estratti "
                          "non saranno ripresi alla prossima apertura.%3")
        .arg(QString::fromLatin1(NomeRegistro), dove.join(QLatin1Char('\n')), ripresa(cartelle));
}
