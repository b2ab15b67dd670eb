// SPDX-License-Identifier: MIT
#include "archivio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

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

// A line: code, seed in hex, series, ISO date, then the first 64 bits of the
// SHA-256 of all that before it.
std::optional<Blocchetto> leggiRiga(const QByteArray &riga)
{
    static const QRegularExpression forma(QStringLiteral(
        "\\A([0-9A-Z]{6}) ([0-9a-f]{16}) ([0-9]{1,3}) ([0-9]{4}-[0-9]{2}-[0-9]{2}) ([0-9a-f]{16})\\z"));
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
    // The checksum guards against damage; these against a line made by hand.
    if (b.serie < 1 || b.serie > Blocchetto::MassimoSerie || !b.data.isValid() || b.codice != codiceBlocchetto(b.seme))
        return std::nullopt;
    return b;
}

// Why the file cannot be read or replaced as the file system shows it, or empty.
QString motivoFile(const QFileInfo &info)
{
    if (info.isSymLink())
        return QStringLiteral("è un collegamento");
    if (info.isDir())
        return QStringLiteral("è una cartella");
    if (info.exists() && !info.isFile())
        return QStringLiteral("non è un file ordinario");
    return {};
}

// The raw file, or why not. Missing: empty contents and no error.
QString leggiFile(const QString &percorso, QByteArray &contenuto, bool &esiste)
{
    const QFileInfo info(percorso);
    esiste = info.exists() || info.isSymLink();
    if (!esiste)
        return {};
    // Checked before opening: a pipe or a link of that name is never opened.
    if (QString motivo = motivoFile(info); !motivo.isEmpty())
        return motivo;
    if (info.size() > DimensioneMassima)
        return QStringLiteral("è troppo grande per essere un elenco di blocchetti");
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    contenuto = file.read(DimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (contenuto.size() > DimensioneMassima)
        return QStringLiteral("è troppo grande per essere un elenco di blocchetti");
    return {};
}

QString nomeFile(const QString &percorso)
{
    return QDir::toNativeSeparators(percorso);
}

} // namespace

QByteArray rigaArchivio(const Blocchetto &b)
{
    const QByteArray dati = b.codice.toLatin1() + ' ' + QByteArray::number(quint64(b.seme), 16).rightJustified(16, '0')
                            + ' ' + QByteArray::number(b.serie) + ' ' + b.data.toString(Qt::ISODate).toLatin1() + ' ';
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
        const std::optional<Blocchetto> b = leggiRiga(righe[i]);
        if (b)
            letto.blocchetti.append(*b);
        else
            ++letto.righeDanneggiate;
        letto.ultimoCerto = b.has_value();
    }
    if (letto.righeDanneggiate > 0)
        letto.errore = letto.righeDanneggiate == 1
                           ? QStringLiteral("è danneggiato: una riga non si può leggere")
                           : QStringLiteral("è danneggiato: %1 righe non si possono leggere").arg(letto.righeDanneggiate);
    return letto;
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
        if (!archivio.ultimoCerto || archivio.blocchetti.isEmpty()) {
            esito.errore = QStringLiteral("L'ultimo blocchetto di cartelle non si può leggere.%1"
                                          " Scrivi la cartella con il codice del suo blocchetto, come \"K3M9QX-67\".")
                               .arg(danno);
            return esito;
        }
        trovato = &archivio.blocchetti.last();
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
    }
    esito.codice = trovato->codice;
    if (numero < 1 || numero > trovato->cartelle()) {
        esito.errore = QStringLiteral("La cartella %1 non è del blocchetto %2, che ha le cartelle da 1 a %3.")
                           .arg(numero)
                           .arg(trovato->codice)
                           .arg(trovato->cartelle());
        return esito;
    }
    esito.serie = Blocchetto::serieDellaCartella(numero);
    esito.cartella = trovato->cartella(numero);
    return esito;
}

ArchivioBlocchetti::ArchivioBlocchetti(QString cartella)
    : m_cartella(std::move(cartella))
{
}

QString ArchivioBlocchetti::percorso() const
{
    return QDir(m_cartella).filePath(QString::fromLatin1(NomeArchivioBlocchetti));
}

ArchivioLetto ArchivioBlocchetti::leggi() const
{
    QByteArray contenuto;
    bool esiste = false;
    const QString errore = leggiFile(percorso(), contenuto, esiste);
    ArchivioLetto letto;
    if (!errore.isEmpty()) {
        letto.formatoIgnoto = true;
        letto.errore = QStringLiteral("%1 non si può leggere (%2)").arg(nomeFile(percorso()), errore);
        return letto;
    }
    if (!esiste) {
        letto.mancante = true;
        return letto;
    }
    letto = leggiArchivio(contenuto);
    if (!letto.errore.isEmpty())
        letto.errore = QStringLiteral("%1 %2").arg(nomeFile(percorso()), letto.errore);
    return letto;
}

QString ArchivioBlocchetti::aggiungi(const Blocchetto &blocchetto) const
{
    const QString nome = nomeFile(percorso());
    QByteArray contenuto;
    bool esiste = false;
    if (const QString errore = leggiFile(percorso(), contenuto, esiste); !errore.isEmpty())
        return QStringLiteral("Il file dei blocchetti %1 non si può leggere (%2): il blocchetto non è stato registrato.")
            .arg(nome, errore);
    const ArchivioLetto letto = leggiArchivio(contenuto);
    if (letto.formatoIgnoto)
        return QStringLiteral("Il file %1 non è un elenco di blocchetti di questo programma: il blocchetto non è "
                              "stato registrato. Spostalo o rinominalo e riprova.")
            .arg(nome);
    for (const Blocchetto &b : letto.blocchetti) {
        if (b.codice == blocchetto.codice)
            return QStringLiteral("Il codice %1 è già di un altro blocchetto.").arg(b.codice);
    }
    if (letto.mancante)
        contenuto = QByteArray(Intestazione) + FineRiga;
    else if (!contenuto.endsWith('\n'))
        contenuto += FineRiga; // a cut last line must not swallow the new one
    contenuto += rigaArchivio(blocchetto);

    // Written beside the old file and renamed over it once complete and on disk.
    QDir().mkpath(m_cartella);
    QSaveFile file(percorso());
    const auto fallito = [&](const QString &motivo) {
        return QStringLiteral("Il file dei blocchetti %1 non si può scrivere (%2): il blocchetto non è stato "
                              "registrato.")
            .arg(nome, motivo);
    };
    if (!file.open(QIODevice::WriteOnly))
        return fallito(file.errorString());
    // Seeds are private: only the owner may read them.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Flushed by hand: commit() would not notice a buffered write that fails.
    if (file.write(contenuto) != contenuto.size() || !file.flush()) {
        const QString errore = file.errorString();
        file.cancelWriting();
        return fallito(errore);
    }
    if (!file.commit())
        return fallito(file.errorString());
    return {};
}

ArchivioBlocchetti::Nuovo ArchivioBlocchetti::nuovo(int serie, const QDate &data) const
{
    Nuovo esito;
    if (serie < 1 || serie > Blocchetto::MassimoSerie) {
        esito.errore = QStringLiteral("Il numero di serie deve essere da 1 a %1.").arg(Blocchetto::MassimoSerie);
        return esito;
    }
    const ArchivioLetto letto = leggi();
    // Two batches with one code would make a card ambiguous; with 2^30 codes
    // a second draw is rare, a third practically never needed.
    for (int tentativo = 0; tentativo < 16; ++tentativo) {
        esito.blocchetto = nuovoBlocchetto(serie, data);
        const bool usato = std::any_of(letto.blocchetti.begin(), letto.blocchetti.end(),
                                       [&](const Blocchetto &b) { return b.codice == esito.blocchetto.codice; });
        if (!usato)
            break;
    }
    esito.errore = aggiungi(esito.blocchetto);
    return esito;
}
