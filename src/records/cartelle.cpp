// SPDX-License-Identifier: MIT
#include "cartelle.h"

#include "archivio.h"
#include "blocco.h"
#include "cartellaprotetta.h"
#include "dichiarazioni.h"
#include "fileproprio.h"
#include "storia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <utility>

namespace {

// The note is a few lines; a batch file this program reads is at most 4 MiB.
constexpr qint64 LunghezzaMassimaNota = 4096;
constexpr qint64 LunghezzaMassimaBlocchetti = 4 * 1024 * 1024;

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

QString nativo(const QString &percorso)
{
    return QDir::toNativeSeparators(percorso);
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

QByteArray impronta(const QByteArray &contenuto)
{
    return QCryptographicHash::hash(contenuto, QCryptographicHash::Sha256).toHex();
}

struct Letto {
    QByteArray contenuto;
    QString errore; // empty when read
};

// At most limite bytes of this user's own regular file, never through a link
// nor from a pipe; more than that is an error.
Letto leggiProprio(const CartellaProtetta &cartella, const QString &nome, qint64 limite)
{
    const Apertura apertura = cartella.apriFile(nome, false);
    if (apertura.natura != Natura::Proprio)
        return {{}, apertura.natura == Natura::Errore ? apertura.errore : descriviNatura(apertura.natura)};
    QFile file;
    if (!file.open(apertura.descrittore, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        return {{}, file.errorString()};
    }
    Letto letto{file.read(limite + 1), {}};
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    if (letto.contenuto.size() > limite)
        return {{}, QStringLiteral("è troppo grande")};
    return letto;
}

// The bytes a record is carried over as: as they are, or, for one far larger
// than any game, its header and numbers.
Letto registroDaRiportare(const QString &percorso)
{
    // Never through a link, never from a pipe, never another user's file.
    const Apertura apertura = apriProprio(percorso, false);
    if (apertura.natura != Natura::Proprio)
        return {{}, apertura.natura == Natura::Errore ? apertura.errore : descriviNatura(apertura.natura)};
    QFile origine;
    if (!origine.open(apertura.descrittore, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        return {{}, origine.errorString()};
    }
    Letto letto;
    if (origine.size() > RegistroPartita::LimiteCopia) {
        // Far larger than any game: its header and numbers are the game, the rest is not copied.
        const PartitaLetta partita = leggiRegistroFile(origine);
        letto.contenuto = partita.intestazione.toUtf8() + "\r\n";
        for (const int n : partita.numeri)
            letto.contenuto += rigaNumero(n);
    } else {
        letto.contenuto = origine.read(RegistroPartita::LimiteCopia + 1);
    }
    if (origine.error() != QFileDevice::NoError)
        return {{}, origine.errorString()};
    return letto;
}

// The story of the game carried over goes with it; without one there, none
// of another game is left here to be taken for it.
EsitoScrittura riportaStoria(const QString &da, const QString &a)
{
    const QString nome = QString::fromLatin1(NomeStoria);
    const CartellaProtetta origine(da), destinazione(a);
    const Letto storia = origine.natura(nome) == Natura::Manca ? Letto{} : leggiProprio(origine, nome, 1024 * 1024);
    if (storia.contenuto.isEmpty()) {
        if (destinazione.natura(nome) != Natura::Manca && !destinazione.rimuovi(nome))
            return {QStringLiteral("%1: non si può togliere").arg(nativo(destinazione.percorsoDi(nome)))};
        return {};
    }
    const EsitoScrittura esito = destinazione.sostituisci(nome, storia.contenuto);
    return esito.riuscita() ? esito
                            : EsitoScrittura{QStringLiteral("%1: %2").arg(nativo(destinazione.percorsoDi(nome)), esito.errore)};
}

// The note beside the per-user record: "name fingerprint state" a line. Any
// other line, or a note that is not this user's file, reads as nothing noted.
QList<Cartelle::Nota> leggiNota(const CartellaProtetta &cartella)
{
    QList<Cartelle::Nota> note;
    const Letto letto = leggiProprio(cartella, QString::fromLatin1(NomeNotaRiporto), LunghezzaMassimaNota);
    for (const QByteArray &riga : letto.contenuto.split('\n')) {
        const QList<QByteArray> campi = riga.trimmed().split(' ');
        if (campi.size() != 3 || campi[1].size() != 64 || QByteArray::fromHex(campi[1]).toHex() != campi[1]
            || (campi[2] != "riportato" && campi[2] != "detto"))
            continue;
        const QString nome = QString::fromLatin1(campi[0]);
        if (nome != QLatin1String(NomeRegistro) && nome != QLatin1String(NomeArchivioBlocchetti))
            continue;
        note.append({nome, campi[1], campi[2] == "detto"});
    }
    return note;
}

const Cartelle::Nota *notaDi(const QList<Cartelle::Nota> &note, const QString &nome)
{
    for (const Cartelle::Nota &nota : note) {
        if (nota.nome == nome)
            return &nota;
    }
    return nullptr;
}

// Notes these files of the program folder as done, keeping what is noted of the others.
EsitoScrittura annota(const QString &cartella, const QString &nome, const QList<Cartelle::Nota> &nuove)
{
    QList<Cartelle::Nota> daScrivere;
    for (const Cartelle::Nota &nota : nuove) {
        if (nota.nome == nome)
            daScrivere.append(nota);
    }
    if (daScrivere.isEmpty())
        return {};
    const CartellaProtetta protetta(cartella);
    for (const Cartelle::Nota &nota : leggiNota(protetta)) {
        if (!notaDi(daScrivere, nota.nome))
            daScrivere.append(nota);
    }
    QByteArray testo;
    for (const Cartelle::Nota &nota : daScrivere)
        testo += nota.nome.toLatin1() + ' ' + nota.impronta + (nota.detta ? " detto" : " riportato") + "\r\n";
    return protetta.sostituisci(QString::fromLatin1(NomeNotaRiporto), testo);
}

// How the per-user record stands against the program folder's, by content.
struct Confronto {
    bool manca = true;        // no per-user game to lose
    bool stessaPartita = false; // the same header: one game, maybe further on in one place
    bool numeriInPiu = false; // the per-user record holds a draw the other lacks (or cannot be read)
    bool numeriInMeno = false; // and the other one holds a draw it lacks
};

Confronto confronta(const QByteArray &programma, const QString &cartellaUtente)
{
    Confronto confronto;
    const PartitaLetta utente = RegistroPartita(cartellaUtente).leggi();
    if (utente.errore.isEmpty() && utente.intestazione.isEmpty() && utente.numeri.isEmpty())
        return confronto;
    confronto.manca = false;
    const PartitaLetta letta = leggiRegistro(programma);
    confronto.stessaPartita = utente.errore.isEmpty() && utente.intestazione == letta.intestazione;
    confronto.numeriInPiu = !utente.errore.isEmpty();
    for (const int n : utente.numeri)
        confronto.numeriInPiu = confronto.numeriInPiu || !letta.numeri.contains(n);
    for (const int n : letta.numeri)
        confronto.numeriInMeno = confronto.numeriInMeno || !utente.numeri.contains(n);
    return confronto;
}

QString avvisoPiuRecente(const QString &diUtente, const QString &diProgramma)
{
    return QStringLiteral("La partita in %1 è più recente di quella in %2: si continua quella, e si registra in %1.")
        .arg(nativo(diUtente), nativo(diProgramma));
}

QString avvisoNumeriInPiu(const QString &diUtente, const QString &diProgramma)
{
    return QStringLiteral("La partita in %2 è cambiata, ma quella in %1 ha numeri estratti che l'altra non ha: "
                          "si continua quella in %1, e quella in %2 resta com'è.")
        .arg(nativo(diUtente), nativo(diProgramma));
}

// The program folder's batch file, when its bytes were not yet taken: to be
// merged into the per-user one.
void scegliBlocchetti(Cartelle &scelta, const QString &programma, const QList<Cartelle::Nota> &note)
{
    const QString nome = QString::fromLatin1(NomeArchivioBlocchetti);
    const Letto letto = leggiProprio(CartellaProtetta(programma), nome, LunghezzaMassimaBlocchetti);
    if (!letto.errore.isEmpty() || letto.contenuto.isEmpty())
        return; // none, or not one this user's program could have written
    const QByteArray firma = impronta(letto.contenuto);
    if (const Cartelle::Nota *nota = notaDi(note, nome); nota && nota->impronta == firma)
        return;
    scelta.blocchettiDaRiportare = QDir(programma).filePath(nome);
    scelta.contenutoBlocchetti = letto.contenuto;
    scelta.daAnnotare.append({nome, firma, false});
}

// Notes this start's choice about one file of the program folder, once it is done.
EsitoScrittura annotata(const Cartelle &cartelle, const QString &nome)
{
    const EsitoScrittura esito = annota(cartelle.registro, nome, cartelle.daAnnotare);
    if (esito.riuscita())
        return esito;
    return {QStringLiteral("%1 non si può scrivere (%2): al prossimo avvio la scelta sarà rifatta")
                .arg(nativo(QDir(cartelle.registro).filePath(QString::fromLatin1(NomeNotaRiporto))), esito.errore)};
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
    const QString nomeRegistro = QString::fromLatin1(NomeRegistro);
    // What earlier starts carried over from the program folder, or told about.
    const QList<Cartelle::Nota> note = !utente.isEmpty() && QFileInfo(utente).isDir()
                                           ? leggiNota(CartellaProtetta(utente))
                                           : QList<Cartelle::Nota>();
    QString diProgramma; // the program folder's record, when it is one to carry over
    Letto letto;         // its bytes
    QByteArray firma;    // and their fingerprint
    bool giaPresa = false; // those bytes were carried over or told about before
    bool giaDetta = false;
    bool utenteScelto = false; // over a writable program folder's record
    // Read only when a choice needs its bytes: a record left in a writable
    // program folder with no per-user one beside it (the usual start) is
    // read once, by the board, after the start screen shows.
    bool lettoGia = false;
    const auto leggiDiProgramma = [&] {
        if (std::exchange(lettoGia, true))
            return;
        letto = registroDaRiportare(diProgramma);
        if (letto.errore.isEmpty()) {
            firma = impronta(letto.contenuto);
            const Cartelle::Nota *nota = notaDi(note, nomeRegistro);
            giaPresa = nota && nota->impronta == firma;
            giaDetta = giaPresa && nota->detta;
        }
    };
    if (accanto) {
        scelta.tentate.append(programma);
        const QString registro = registroIn(programma);
        bool lasciata = false;
        const QDir qui(programma);
        for (const QString &file : {registro, BloccoRegistro::percorsoIn(programma),
                                    qui.filePath(QString::fromLatin1(NomeStoria)),
                                    qui.filePath(QString::fromLatin1(NomeArchivioBlocchetti)),
                                    qui.filePath(QString::fromLatin1(NomeBloccoBlocchetti))}) {
            if (const Natura natura = naturaDi(file); estranea(natura)) {
                scelta.avvisi.append(QStringLiteral("Il file %1 %2: il programma non lo legge e non lo modifica, "
                                                    "e tiene la partita nella cartella dell'utente.")
                                         .arg(nativo(file), descriviNatura(natura)));
                lasciata = true;
            }
        }
        const Natura natura = naturaDi(registro);
        if (natura == Natura::Proprio)
            diProgramma = registro;
        if (!lasciata && (natura == Natura::Manca || QFileInfo(registro).isWritable()) && siPuoSostituire(programma)) {
            // One game, one place: once carried on in the per-user folder, it is continued there.
            bool dellUtente = false;
            if (!diProgramma.isEmpty() && naturaDi(diUtente) == Natura::Proprio) {
                leggiDiProgramma();
                if (giaPresa || !letto.errore.isEmpty()) {
                    dellUtente = giaPresa || piuRecente(diUtente, diProgramma);
                } else {
                    const Confronto confronto = confronta(letto.contenuto, utente);
                    dellUtente = !confronto.manca
                                 && (confronto.stessaPartita ? confronto.numeriInPiu : piuRecente(diUtente, diProgramma));
                }
            }
            if (!dellUtente) {
                scelta.registro = programma;
                return scelta;
            }
            utenteScelto = true;
            // Said once for these bytes of the program folder's record, not at every start.
            if (!giaDetta) {
                scelta.avvisi.append(avvisoPiuRecente(diUtente, registro));
                if (!firma.isEmpty())
                    scelta.daAnnotare.append({nomeRegistro, firma, true});
            }
        }
    }

    scelta.tentate.append(utente);
    if (!utente.isEmpty() && creaCartellaUtente(utente) && siPuoSostituire(utente))
        scelta.registro = utente;
    if (!diProgramma.isEmpty() && !utenteScelto) {
        leggiDiProgramma();
        const bool utenteManca = naturaDi(diUtente) == Natura::Manca;
        if (!letto.errore.isEmpty()) {
            // Unreadable: tried as before, and the failure told by riportaPartita.
            if (piuRecente(diProgramma, diUtente))
                scelta.daRiportare = diProgramma;
        } else if (!giaPresa || utenteManca) {
            const Confronto confronto = confronta(letto.contenuto, utente);
            // Never over a game holding draws these bytes lack, nor over a newer game.
            const bool riportare = confronto.manca
                                   || (!confronto.numeriInPiu
                                       && (confronto.stessaPartita || piuRecente(diProgramma, diUtente)));
            if (riportare) {
                scelta.daRiportare = diProgramma;
                scelta.contenutoDaRiportare = letto.contenuto;
                scelta.daAnnotare.append({nomeRegistro, firma, false});
                if (!confronto.manca && (!confronto.stessaPartita || confronto.numeriInMeno))
                    scelta.avvisi.append(QStringLiteral("La partita in %1 è ripresa, e si registra in %2 al posto "
                                                        "di quella che c'era.")
                                             .arg(nativo(diProgramma), nativo(diUtente)));
            } else if (scelta.salvata()) {
                scelta.avvisi.append(confronto.numeriInPiu && (confronto.numeriInMeno || !confronto.stessaPartita)
                                         ? avvisoNumeriInPiu(diUtente, diProgramma)
                                         : avvisoPiuRecente(diUtente, diProgramma));
                scelta.daAnnotare.append({nomeRegistro, firma, true});
            }
        }
    }
    if (scelta.daRiportare.isEmpty() && !scelta.salvata() && naturaDi(diUtente) == Natura::Proprio)
        scelta.daRiportare = diUtente;
    if (accanto && scelta.registro == utente)
        scegliBlocchetti(scelta, programma, note);
    return scelta;
}

QString cartellaUtente()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

EsitoScrittura riportaPartita(const Cartelle &cartelle)
{
    if (cartelle.registro.isEmpty())
        return {};
    if (!cartelle.daRiportare.isEmpty()) {
        const Letto letto = cartelle.contenutoDaRiportare.isEmpty() ? registroDaRiportare(cartelle.daRiportare)
                                                                    : Letto{cartelle.contenutoDaRiportare, {}};
        if (!letto.errore.isEmpty())
            return {QStringLiteral("%1: %2").arg(nativo(cartelle.daRiportare), letto.errore)};
        // The story goes first, as at every write: a kill in between leaves it one game ahead
        // at most, which the record then corrects.
        if (const EsitoScrittura storia = riportaStoria(QFileInfo(cartelle.daRiportare).path(), cartelle.registro);
            !storia.riuscita())
            return storia;
        const EsitoScrittura esito = RegistroPartita(cartelle.registro).sostituisci(letto.contenuto);
        if (!esito.riuscita())
            return {QStringLiteral("%1: %2").arg(nativo(registroIn(cartelle.registro)), esito.errore)};
    }
    return annotata(cartelle, QString::fromLatin1(NomeRegistro));
}

EsitoScrittura riportaBlocchetti(const Cartelle &cartelle)
{
    if (cartelle.blocchettiDaRiportare.isEmpty() || cartelle.registro.isEmpty())
        return {};
    const QString nome = QString::fromLatin1(NomeArchivioBlocchetti);
    const CartellaProtetta cartella(cartelle.registro);
    const auto fallita = [&](const QString &motivo) {
        return EsitoScrittura{QStringLiteral("%1: %2").arg(nativo(cartella.percorsoDi(nome)), motivo)};
    };
    const ArchivioLetto daProgramma = leggiArchivio(cartelle.contenutoBlocchetti);
    if (daProgramma.formatoIgnoto)
        return {QStringLiteral("%1: %2").arg(nativo(cartelle.blocchettiDaRiportare), daProgramma.errore)};
    QByteArray unito = cartelle.contenutoBlocchetti; // none here yet: taken as it is
    if (cartella.natura(nome) != Natura::Manca) {
        const Letto proprio = leggiProprio(cartella, nome, LunghezzaMassimaBlocchetti);
        if (!proprio.errore.isEmpty())
            return fallita(proprio.errore);
        const ArchivioLetto gia = leggiArchivio(proprio.contenuto);
        if (gia.formatoIgnoto)
            return fallita(gia.errore);
        if (!gia.mancante) {
            // The batches here stay as they are; those made only there follow, once each by code.
            QSet<QString> codici;
            for (const Blocchetto &b : gia.blocchetti)
                codici.insert(b.codice);
            QByteArray nuovi;
            for (const Blocchetto &b : daProgramma.blocchetti) {
                if (!codici.contains(b.codice)) {
                    codici.insert(b.codice);
                    nuovi += rigaArchivio(b);
                }
            }
            unito = proprio.contenuto;
            if (!nuovi.isEmpty()) // a cut last line must not swallow the first one added
                unito += (unito.endsWith('\n') ? QByteArray() : QByteArrayLiteral("\r\n")) + nuovi;
            if (unito.size() > LunghezzaMassimaBlocchetti)
                return fallita(QStringLiteral("con i blocchetti di %1 sarebbe troppo grande")
                                   .arg(nativo(cartelle.blocchettiDaRiportare)));
        }
        if (unito == proprio.contenuto)
            return annotata(cartelle, nome);
    }
    if (const EsitoScrittura esito = cartella.sostituisci(nome, unito); !esito.riuscita())
        return fallita(esito.errore);
    return annotata(cartelle, nome);
}

void soloPerQuestaVolta(Cartelle &cartelle, const QString &cartellaProvvisoria)
{
    if (cartelle.daRiportare.isEmpty() && cartelle.salvata() && naturaDi(registroIn(cartelle.registro)) == Natura::Proprio)
        cartelle.daRiportare = registroIn(cartelle.registro);
    cartelle.registro = cartellaProvvisoria;
    // Nothing taken for good: the next start that can save chooses again.
    cartelle.daAnnotare.clear();
    cartelle.blocchettiDaRiportare.clear();
    cartelle.contenutoBlocchetti.clear();
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
