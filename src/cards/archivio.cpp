// SPDX-License-Identifier: MIT
#include "archivio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// Plain constants: a batch list may be built before this file's objects are.
constexpr char Intestazione[] = "tabellone blocchetti 1";
constexpr char FineRiga[] = "\r\n";

// Far more than any batches made by hand: a bigger file is not read.
constexpr qint64 DimensioneMassima = 4 * 1024 * 1024;

QByteArray impronta(const QByteArray &testo)
{
    return QCryptographicHash::hash(testo, QCryptographicHash::Sha256).left(8).toHex();
}

// A line: code, seed in hex, series, ISO date, the first card's number, then
// the first 64 bits of the SHA-256 of all that before it. Lines written before
// cards were numbered across batches lack the first card: theirs is 1. A line
// with it has six fields, which the reader of those days takes for a damaged
// line, never for a batch: an older program never reads a batch with the
// wrong numbers.
std::optional<Blocchetto> leggiRiga(const QByteArray &riga)
{
    static const QRegularExpression forma(QStringLiteral(
        "\\A([0-9A-Z]{6}) ([0-9a-f]{16}) ([0-9]{1,3}) ([0-9]{4}-[0-9]{2}-[0-9]{2}) (?:([1-9][0-9]{0,5}) )?"
        "([0-9a-f]{16})\\z"));
    const auto trovato = forma.match(QString::fromLatin1(riga));
    if (!trovato.hasMatch())
        return std::nullopt;
    const qsizetype fineDati = riga.size() - 16;
    if (impronta(riga.left(fineDati)) != riga.mid(fineDati))
        return std::nullopt;
    Blocchetto b;
    b.seme = trovato.captured(2).toULongLong(nullptr, 16);
    b.serie = trovato.captured(3).toInt();
    b.data = QDate::fromString(trovato.captured(4), Qt::ISODate);
    b.codice = trovato.captured(1);
    b.primaCartella = trovato.hasCaptured(5) ? trovato.captured(5).toInt() : 1;
    // The checksum guards against damage; these against a line made by hand.
    if (b.serie < 1 || b.serie > Blocchetto::MassimoSerie || !b.data.isValid() || b.codice != codiceBlocchetto(b.seme)
        || Blocchetto::postoNellaSerie(b.primaCartella) != 0 || b.ultimaCartella() > Blocchetto::MassimaCartella)
        return std::nullopt;
    return b;
}

// The raw file as read through the folder, or why not.
struct FileLetto {
    QByteArray contenuto;
    bool esiste = false;
    QString errore; // empty: read whole, or missing
};

// soloProprietario: the file, ours, is made the owner's only before it is
// copied into its replacement, which keeps its permissions.
FileLetto leggiFile(const CartellaProtetta &cartella, bool soloProprietario = false)
{
    FileLetto letto;
    // Never through a link, never blocking on a pipe, never another user's file.
    const Apertura apertura = cartella.apriFile(QString::fromLatin1(NomeArchivioBlocchetti), false);
    letto.esiste = apertura.natura != Natura::Manca;
    if (apertura.natura == Natura::Manca)
        return letto;
    if (apertura.natura != Natura::Proprio) {
        letto.errore = apertura.natura == Natura::Errore ? apertura.errore : descriviNatura(apertura.natura);
        return letto;
    }
    QFile file;
    if (!file.open(apertura.descrittore, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        letto.errore = file.errorString();
        return letto;
    }
    // Through the open file, never a path: the seeds are for the owner only.
    if (soloProprietario && !soloAlProprietario(apertura.descrittore)) {
        letto.errore = QStringLiteral("i permessi non si possono restringere al proprietario");
        return letto;
    }
    letto.contenuto = file.read(DimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError)
        letto.errore = file.errorString();
    else if (letto.contenuto.size() > DimensioneMassima)
        letto.errore = QStringLiteral("è troppo grande per essere un elenco di blocchetti");
    return letto;
}

QString nomeFile(const QString &percorso)
{
    return QDir::toNativeSeparators(percorso);
}

// Why no batch can be added to this file, or empty.
QString nonRegistrabile(const QString &nome, const FileLetto &file, const ArchivioLetto &letto)
{
    if (!file.errore.isEmpty())
        return QStringLiteral("il file dei blocchetti %1 non si può leggere (%2): il blocchetto non è stato registrato")
            .arg(nome, file.errore);
    if (letto.formatoIgnoto)
        return QStringLiteral("il file %1 non è un elenco di blocchetti di questo programma: il blocchetto non è "
                              "stato registrato. Spostalo o rinominalo e riprova")
            .arg(nome);
    return {};
}

} // namespace

QByteArray rigaArchivio(const Blocchetto &b)
{
    const QByteArray dati = b.codice.toLatin1() + ' ' + QByteArray::number(quint64(b.seme), 16).rightJustified(16, '0')
                            + ' ' + QByteArray::number(b.serie) + ' ' + b.data.toString(Qt::ISODate).toLatin1() + ' '
                            + QByteArray::number(b.primaCartella) + ' ';
    return dati + impronta(dati) + FineRiga;
}

QByteArray contenutoArchivio(const QList<Blocchetto> &blocchetti)
{
    QByteArray contenuto = QByteArray(Intestazione) + FineRiga;
    for (const Blocchetto &b : blocchetti)
        contenuto += rigaArchivio(b);
    return contenuto;
}

ArchivioLetto leggiArchivio(const QByteArray &contenuto)
{
    ArchivioLetto letto;
    QList<QByteArray> righe = contenuto.split('\n');
    for (QByteArray &riga : righe) {
        if (riga.endsWith('\r'))
            riga.chop(1);
    }
    while (!righe.isEmpty() && righe.last().isEmpty())
        righe.removeLast();
    if (righe.isEmpty()) {
        letto.mancante = true; // an empty file holds no batch, as if there were none
        return letto;
    }
    if (righe.first() != Intestazione) {
        letto.formatoIgnoto = true;
        letto.errore = QStringLiteral("non è un elenco di blocchetti di questo programma");
        return letto;
    }
    for (qsizetype i = 1; i < righe.size(); ++i) {
        if (const std::optional<Blocchetto> b = leggiRiga(righe[i]))
            letto.blocchetti.append(*b);
        else
            ++letto.righeDanneggiate;
    }
    if (letto.righeDanneggiate > 0)
        letto.errore = letto.righeDanneggiate == 1
                           ? QStringLiteral("è danneggiato: una riga non si può leggere")
                           : QStringLiteral("è danneggiato: %1 righe non si possono leggere").arg(letto.righeDanneggiate);
    return letto;
}

int ArchivioLetto::prossimaCartella() const
{
    int ultima = 0;
    for (const Blocchetto &b : blocchetti)
        ultima = std::max(ultima, b.ultimaCartella());
    return ultima + 1;
}

CartellaCercata cercaCartella(const ArchivioLetto &archivio, const QString &codice, int numero)
{
    CartellaCercata esito;
    esito.numero = numero;
    const QString danno = archivio.errore.isEmpty()
                              ? QString()
                              : QStringLiteral(" Il file dei blocchetti %1.").arg(archivio.errore);
    if (archivio.blocchetti.isEmpty() && archivio.mancante) {
        esito.errore = QStringLiteral("Nessun blocchetto di cartelle è stato ancora creato.");
        return esito;
    }
    if (archivio.formatoIgnoto) {
        esito.errore = QStringLiteral("Le cartelle non si possono verificare: il file dei blocchetti %1.")
                           .arg(archivio.errore);
        return esito;
    }
    const Blocchetto *trovato = nullptr;
    if (codice.isEmpty()) {
        // A damaged line may be a batch that holds this number too: only its code tells.
        if (archivio.righeDanneggiate > 0) {
            esito.errore = QStringLiteral("La cartella %1 non si può cercare solo per numero.%2"
                                          " Scrivi la cartella con il codice del suo blocchetto, come \"K3M9QX-%1\".")
                               .arg(numero)
                               .arg(danno);
            return esito;
        }
        QStringList codici;
        for (const Blocchetto &b : archivio.blocchetti) {
            if (!b.contiene(numero))
                continue;
            trovato = &b;
            codici.append(b.codice);
        }
        if (codici.size() > 1) {
            esito.errore = QStringLiteral("La cartella %1 c'è in più blocchetti (%2): scrivi anche il codice "
                                          "stampato sulla cartella, come \"%3-%1\".")
                               .arg(numero)
                               .arg(codici.join(QStringLiteral(", ")), codici.constLast());
            return esito;
        }
        if (!trovato) {
            esito.errore = QStringLiteral("Nessun blocchetto ha la cartella %1: le cartelle stampate vanno da 1 a %2.")
                               .arg(numero)
                               .arg(archivio.prossimaCartella() - 1);
            return esito;
        }
    } else {
        for (const Blocchetto &b : archivio.blocchetti) {
            if (b.codice != codice)
                continue;
            if (trovato) {
                esito.errore = QStringLiteral("Due blocchetti hanno il codice %1: la cartella non si può verificare.")
                                   .arg(codice);
                return esito;
            }
            trovato = &b;
        }
        if (!trovato) {
            esito.errore = QStringLiteral("Nessun blocchetto ha il codice %1.%2").arg(codice, danno);
            return esito;
        }
        if (!trovato->contiene(numero)) {
            esito.errore = QStringLiteral("La cartella %1 non è del blocchetto %2, che ha le cartelle da %3 a %4.")
                               .arg(numero)
                               .arg(trovato->codice)
                               .arg(trovato->primaCartella)
                               .arg(trovato->ultimaCartella());
            return esito;
        }
    }
    esito.codice = trovato->codice;
    esito.serie = Blocchetto::serieDellaCartella(numero);
    esito.cartella = trovato->cartella(numero);
    return esito;
}

TurnoArchivio::TurnoArchivio(TurnoArchivio &&altro) noexcept
    : errore(std::move(altro.errore))
    , m_descrittore(std::exchange(altro.m_descrittore, -1))
{
}

TurnoArchivio::~TurnoArchivio()
{
    // Closing the file lets the lock go.
    if (m_descrittore >= 0)
        chiudi(m_descrittore);
}

ArchivioBlocchetti::ArchivioBlocchetti(const QString &cartella)
    : m_cartella(CartellaProtetta::apri(cartella))
{
}

QString ArchivioBlocchetti::percorso() const
{
    return m_cartella->percorsoDi(QString::fromLatin1(NomeArchivioBlocchetti));
}

QString ArchivioBlocchetti::percorsoBlocco() const
{
    return m_cartella->percorsoDi(QString::fromLatin1(NomeBloccoBlocchetti));
}

ArchivioLetto ArchivioBlocchetti::leggi() const
{
    const FileLetto file = leggiFile(*m_cartella);
    ArchivioLetto letto;
    if (!file.errore.isEmpty()) {
        letto.formatoIgnoto = true;
        letto.errore = QStringLiteral("%1 non si può leggere (%2)").arg(nomeFile(percorso()), file.errore);
        return letto;
    }
    if (!file.esiste) {
        letto.mancante = true;
        return letto;
    }
    letto = leggiArchivio(file.contenuto);
    if (!letto.errore.isEmpty())
        letto.errore = QStringLiteral("%1 %2").arg(nomeFile(percorso()), letto.errore);
    return letto;
}

TurnoArchivio ArchivioBlocchetti::turno(int attesa) const
{
    TurnoArchivio turno;
    const QString nome = QString::fromLatin1(NomeBloccoBlocchetti);
    const auto negato = [&](const QString &motivo) {
        turno.errore = QStringLiteral("il file %1 %2: il blocchetto non è stato registrato")
                           .arg(nomeFile(percorsoBlocco()), motivo);
        return std::move(turno);
    };
    QDir().mkpath(m_cartella->percorso());
    QDeadlineTimer scadenza(attesa);
    while (true) {
        const Apertura apertura = m_cartella->apriFile(nome, true);
        if (apertura.natura != Natura::Proprio)
            return negato(!estranea(apertura.natura) // a folder that cannot be opened gives Manca
                              ? QStringLiteral("non si può aprire (%1)").arg(apertura.errore)
                              : descriviNatura(apertura.natura));
        const int preso = bloccaEsclusivo(apertura.descrittore);
        if (preso == 1 && stessoFile(apertura.descrittore, percorsoBlocco())) {
            turno.m_descrittore = apertura.descrittore;
            return turno;
        }
        chiudi(apertura.descrittore);
        if (preso < 0)
            return negato(QStringLiteral("non si può bloccare"));
        if (scadenza.hasExpired())
            return negato(QStringLiteral("è bloccato da un'altra stampa di cartelle da più di %1 secondi")
                              .arg((attesa + 999) / 1000));
        QThread::msleep(25);
    }
}

ArchivioBlocchetti::Nuovo ArchivioBlocchetti::prepara(int serie, const QDate &data, const TurnoArchivio &turno) const
{
    Nuovo esito;
    if (!turno.preso()) {
        esito.errore = turno.errore;
        return esito;
    }
    if (serie < 1 || serie > Blocchetto::MassimoSerie) {
        esito.errore = QStringLiteral("il numero di serie deve essere da 1 a %1").arg(Blocchetto::MassimoSerie);
        return esito;
    }
    // Read under the lock: no other batch can take these numbers before this one is kept.
    const FileLetto file = leggiFile(*m_cartella);
    const ArchivioLetto letto = leggiArchivio(file.contenuto);
    // Told now, before the cards are drawn for nothing.
    if (const QString motivo = nonRegistrabile(nomeFile(percorso()), file, letto); !motivo.isEmpty()) {
        esito.errore = motivo;
        return esito;
    }
    const int prima = letto.prossimaCartella();
    if (prima - 1 + CartellePerSerie * serie > Blocchetto::MassimaCartella) {
        esito.errore = QStringLiteral("le cartelle sono numerate fino a %1, e ne restano %2: il blocchetto non è "
                                      "stato registrato")
                           .arg(Blocchetto::MassimaCartella)
                           .arg(Blocchetto::MassimaCartella - prima + 1);
        return esito;
    }
    // Two batches with one code would make a card ambiguous; with 2^30 codes
    // a second draw is rare, a third practically never needed.
    for (int tentativo = 0; tentativo < 16; ++tentativo) {
        esito.blocchetto = nuovoBlocchetto(serie, data, prima);
        const bool usato = std::any_of(letto.blocchetti.begin(), letto.blocchetti.end(),
                                       [&](const Blocchetto &b) { return b.codice == esito.blocchetto.codice; });
        if (!usato)
            break;
    }
    return esito;
}

QString ArchivioBlocchetti::aggiungi(const Blocchetto &blocchetto, const TurnoArchivio &turno) const
{
    if (!turno.preso())
        return turno.errore;
    FileLetto file = leggiFile(*m_cartella, true);
    QByteArray &contenuto = file.contenuto;
    const ArchivioLetto letto = leggiArchivio(contenuto);
    if (const QString motivo = nonRegistrabile(nomeFile(percorso()), file, letto); !motivo.isEmpty())
        return motivo;
    for (const Blocchetto &b : letto.blocchetti) {
        if (b.codice == blocchetto.codice)
            return QStringLiteral("il codice %1 è già di un altro blocchetto: il blocchetto non è stato registrato")
                .arg(b.codice);
        if (b.contiene(blocchetto.primaCartella) || blocchetto.contiene(b.primaCartella))
            return QStringLiteral("le cartelle da %1 a %2 sono già, in parte, del blocchetto %3: il blocchetto non "
                                  "è stato registrato")
                .arg(blocchetto.primaCartella)
                .arg(blocchetto.ultimaCartella())
                .arg(b.codice);
    }
    if (letto.mancante)
        contenuto = QByteArray(Intestazione) + FineRiga;
    else if (!contenuto.endsWith('\n'))
        contenuto += FineRiga; // a cut last line must not swallow the new one
    contenuto += rigaArchivio(blocchetto);

    // Seeds are private: a new file is the owner's only, and nothing but this user's own file is replaced.
    const EsitoScrittura esito = m_cartella->sostituisci(QString::fromLatin1(NomeArchivioBlocchetti), contenuto);
    if (!esito.riuscita())
        return QStringLiteral("il file dei blocchetti %1 non si può scrivere (%2): il blocchetto non è stato registrato")
            .arg(nomeFile(percorso()), esito.errore);
    return {};
}

ArchivioBlocchetti::Nuovo ArchivioBlocchetti::nuovo(int serie, const QDate &data) const
{
    const TurnoArchivio preso = turno();
    Nuovo esito = prepara(serie, data, preso);
    if (esito.errore.isEmpty())
        esito.errore = aggiungi(esito.blocchetto, preso);
    return esito;
}
