// SPDX-License-Identifier: MIT
#include "registro.h"

#include "dichiarazioni.h"
#include "fileproprio.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const QByteArray FineRiga = QByteArrayLiteral("\r\n");

// A header longer than this is not a header this program wrote; keep what a
// label can show.
constexpr qsizetype LunghezzaMassimaIntestazione = 256;

QString formatoDataBreve(const QLocale &locale)
{
    // The record always carries the full year, whatever the locale abbreviates.
    QString formato = locale.dateFormat(QLocale::ShortFormat);
    if (!formato.contains(QLatin1String("yyyy")))
        formato.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
    return formato;
}

QString formatoOra(const QLocale &locale)
{
    // Hours, minutes and seconds as the locale writes them, but no time zone.
    QString formato = locale.timeFormat(QLocale::LongFormat);
    // Some locales put the zone in brackets: "H:mm:ss (t)".
    formato.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
    return formato.trimmed();
}

// Why the record cannot be read or written, when the file system shows it:
// the reason the user can act on, where the error of the call would be vague.
QString motivoVisibile(const QString &percorso, bool scrittura)
{
    const Natura natura = naturaDi(percorso);
    if (natura == Natura::Collegamento || natura == Natura::Altrui || natura == Natura::PiuNomi)
        return descriviNatura(natura);
    const QFileInfo info(percorso);
    if (info.isDir())
        return QStringLiteral("è una cartella");
    if (info.exists() && !info.isFile())
        return QStringLiteral("non è un file ordinario");
    if (!scrittura)
        return info.exists() && !info.isReadable() ? QStringLiteral("permesso negato") : QString();
    if (info.exists() && !info.isWritable())
        return info.isReadable() ? QStringLiteral("il file è di sola lettura") : QStringLiteral("permesso negato");
    const QFileInfo cartella(info.absolutePath());
    if (!cartella.isDir())
        return QStringLiteral("la cartella %1 non esiste").arg(QDir::toNativeSeparators(cartella.filePath()));
    if (!cartella.isWritable())
        return QStringLiteral("la cartella non permette di scrivere");
    return {};
}

// Blanks skipped, an optional sign, digits; saturates instead of overflowing.
template <typename Carattere>
long long leggiNumero(const Carattere *c, const Carattere *fine)
{
    while (c < fine && (*c == ' ' || *c == '\t'))
        ++c;
    bool negativo = false;
    if (c < fine && (*c == '-' || *c == '+')) {
        negativo = *c == '-';
        ++c;
    }
    constexpr long long massimo = std::numeric_limits<long long>::max();
    long long valore = 0;
    for (; c < fine && *c >= '0' && *c <= '9'; ++c) {
        const int cifra = int(*c - '0');
        valore = valore > (massimo - cifra) / 10 ? massimo : valore * 10 + cifra;
    }
    return negativo ? -valore : valore;
}

// The first CR or LF in [c, fine), or fine. Two memchr calls instead of one
// byte-by-byte search: a record of gigabytes without a line end is read at
// the speed of the disk, not of a loop.
const char *primoFineRiga(const char *c, const char *fine)
{
    const auto *lf = static_cast<const char *>(std::memchr(c, '\n', std::size_t(fine - c)));
    const char *limite = lf ? lf : fine;
    const auto *cr = static_cast<const char *>(std::memchr(c, '\r', std::size_t(limite - c)));
    return cr ? cr : limite;
}

// Collects lines as they complete: the first is the header, every other one
// that reads as 1..90 marks its number once.
class Raccolta
{
public:
    PartitaLetta partita;

    void riga(const char *inizio, qsizetype lunghezza, bool intera)
    {
        if (m_primaRiga) {
            m_primaRiga = false;
            // Decoded from a bounded stretch, then cut in characters, not bytes.
            partita.intestazione = QString::fromUtf8(inizio, lunghezza).left(LunghezzaMassimaIntestazione);
            return;
        }
        if (!intera)
            return;
        const long long numero = leggiNumero(inizio, inizio + lunghezza);
        if (Dichiarazioni::numeroValido(numero) && !m_visti[std::size_t(numero)]) {
            m_visti[std::size_t(numero)] = true;
            partita.numeri.append(int(numero));
        }
    }

private:
    bool m_primaRiga = true;
    std::array<bool, Dichiarazioni::UltimoNumero + 1> m_visti{};
};

// A fresh header, then every number drawn on the board but `tranne`, ascending.
QByteArray dalTabellone(const TabellaEstratti &estratti, const QDateTime &momento, long long tranne = 0)
{
    QByteArray contenuto = rigaIntestazione(momento);
    for (int n = Dichiarazioni::PrimoNumero; n <= Dichiarazioni::UltimoNumero; ++n) {
        if (n != tranne && estratti[std::size_t(n)] == Dichiarazioni::Estratto)
            contenuto += rigaNumero(n);
    }
    return contenuto;
}

// A file read as it is, except that a hole longer than a line reads as a line
// too long to look at: what the reader would make of its zeros anyway.
class SenzaVuoti : public QIODevice
{
public:
    explicit SenzaVuoti(QFile &file)
        : m_file(file)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *dati, qint64 massimo) override
    {
        const qint64 qui = m_file.pos();
        const qint64 inizio = inizioDati(m_file.handle(), qui);
        if (inizio > qui + LunghezzaMassimaRiga) {
            const qint64 zeri = std::min<qint64>(massimo, LunghezzaMassimaRiga + 1);
            std::memset(dati, 0, std::size_t(zeri));
            return m_file.seek(inizio) ? zeri : -1;
        }
        return m_file.read(dati, massimo);
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    bool isSequential() const override { return true; }

private:
    QFile &m_file;
};

std::function<QString()> &controllo()
{
    static std::function<QString()> prima;
    return prima;
}

} // namespace

void RegistroPartita::controllaPrimaDiScrivere(std::function<QString()> controllo)
{
    ::controllo() = std::move(controllo);
}

PartitaLetta leggiRegistroFile(QFile &file)
{
    SenzaVuoti lettore(file);
    PartitaLetta letta = leggiRegistro(lettore);
    if (!letta.errore.isEmpty()) // the file's own reason
        letta.errore = QStringLiteral("la lettura si è interrotta (%1)").arg(file.errorString());
    return letta;
}

Comando interpretaComando(const QString &argomento)
{
    if (argomento.compare(QLatin1String("INIZIO"), Qt::CaseInsensitive) == 0)
        return {Operazione::Inizio, 0};
    if (argomento.compare(QLatin1String("ANNULLATO"), Qt::CaseInsensitive) == 0)
        return {Operazione::Annullato, 0};
    // The first eight characters, as many as "estratto" has, are not looked at.
    return {Operazione::Estratto, letturaNumerica(QStringView(argomento).mid(8))};
}

long long letturaNumerica(QStringView testo)
{
    return leggiNumero(testo.utf16(), testo.utf16() + testo.size());
}

QString testoIntestazione(const QDateTime &momento, const QLocale &locale)
{
    return QStringLiteral("Partita : ") + locale.toString(momento.date(), formatoDataBreve(locale))
           + QLatin1Char(' ') + locale.toString(momento.time(), formatoOra(locale));
}

QByteArray rigaIntestazione(const QDateTime &momento, const QLocale &locale)
{
    return testoIntestazione(momento, locale).toUtf8() + FineRiga;
}

QByteArray rigaNumero(long long numero)
{
    return ' ' + QByteArray::number(numero) + ' ' + FineRiga;
}

PartitaLetta leggiRegistro(QIODevice &dispositivo)
{
    static_assert(LunghezzaMassimaRiga >= 4 * LunghezzaMassimaIntestazione, "the header is cut from one line");
    Raccolta raccolta;
    // The line in progress when it spans blocks; never more than the limit.
    std::array<char, LunghezzaMassimaRiga> riga;
    qsizetype lunghezza = 0;
    bool troppoLunga = false;
    bool dopoCR = false; // a CR ended the last block: an LF first in the next belongs to it
    QByteArray blocco(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 letti = dispositivo.read(blocco.data(), blocco.size());
        if (letti < 0) {
            raccolta.partita.errore = QStringLiteral("la lettura si è interrotta (%1)").arg(dispositivo.errorString());
            return raccolta.partita; // the cut line is not read
        }
        if (letti == 0)
            break;
        const char *c = blocco.constData();
        const char *const fine = c + letti;
        if (dopoCR && *c == '\n')
            ++c;
        dopoCR = false;
        while (c < fine) {
            // Lines may end in CR LF, a lone CR or a lone LF.
            const char *termine = primoFineRiga(c, fine);
            const qsizetype pezzo = termine - c;
            const bool completa = termine < fine;
            if (completa && lunghezza == 0 && !troppoLunga && pezzo <= LunghezzaMassimaRiga) {
                raccolta.riga(c, pezzo, true); // the usual case: the line lies in this block
            } else {
                const qsizetype copiati = std::min(pezzo, LunghezzaMassimaRiga - lunghezza);
                std::copy_n(c, copiati, riga.data() + lunghezza);
                lunghezza += copiati;
                troppoLunga = troppoLunga || copiati < pezzo;
                if (completa) {
                    raccolta.riga(riga.data(), lunghezza, !troppoLunga);
                    lunghezza = 0;
                    troppoLunga = false;
                }
            }
            if (!completa)
                break;
            c = termine + 1;
            if (*termine == '\r') {
                if (c == fine)
                    dopoCR = true;
                else if (*c == '\n')
                    ++c;
            }
        }
    }
    // The last line may have no end: the data ended, nothing cut it.
    if (lunghezza > 0 || troppoLunga)
        raccolta.riga(riga.data(), lunghezza, !troppoLunga);
    return raccolta.partita;
}

PartitaLetta leggiRegistro(const QByteArray &contenuto)
{
    QBuffer buffer;
    buffer.setData(contenuto);
    buffer.open(QIODevice::ReadOnly);
    return leggiRegistro(buffer);
}

QString messaggioLettura(const QString &percorso, const QString &errore)
{
    return QStringLiteral("Impossibile riprendere la partita registrata in %1: %2.\n\n"
                          "Il tabellone parte vuoto e si può giocare lo stesso.")
        .arg(QDir::toNativeSeparators(percorso), errore);
}

RegistroPartita::RegistroPartita(const QString &cartella)
    : m_cartella(CartellaProtetta::apri(cartella))
{
}

QString RegistroPartita::percorso() const
{
    return m_cartella->percorsoDi(QString::fromLatin1(NomeRegistro));
}

EsitoScrittura RegistroPartita::nuovaPartita(const QDateTime &momento) const
{
    return scrivi(rigaIntestazione(momento));
}

EsitoScrittura RegistroPartita::aggiungi(long long numero, const TabellaEstratti &estratti,
                                         const QDateTime &momento) const
{
    // A record far larger than any this program writes is not copied: the
    // board's numbers, the new one last.
    const auto ricostruito = [&] { return scrivi(dalTabellone(estratti, momento, numero) + rigaNumero(numero)); };
    QByteArray contenuto;
    const Apertura apertura = m_cartella->apriFile(QString::fromLatin1(NomeRegistro), false);
    if (apertura.natura != Natura::Manca) {
        QFile esistente;
        if (apertura.natura == Natura::Proprio)
            esistente.open(apertura.descrittore, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        if (esistente.isOpen())
            contenuto = esistente.read(LimiteCopia + 1);
        if (!esistente.isOpen() || esistente.error() != QFileDevice::NoError) {
            QString motivo = motivoVisibile(percorso(), false);
            if (motivo.isEmpty() && apertura.natura != Natura::Proprio)
                motivo = descriviNatura(apertura.natura);
            return {QStringLiteral("la partita registrata non si può leggere per aggiungervi il numero: %1")
                        .arg(!motivo.isEmpty() ? motivo : esistente.isOpen() ? esistente.errorString() : apertura.errore)};
        }
        // Windows will not rename over a file still open here.
        esistente.close();
        if (contenuto.size() > LimiteCopia) // far larger than any record this program writes
            return ricostruito();
    }
    if (contenuto.isEmpty())
        contenuto = rigaIntestazione(momento); // no record yet: start one, keep the draw
    else if (!contenuto.endsWith('\n') && !contenuto.endsWith('\r'))
        contenuto += FineRiga; // a last line without end must not swallow the new number
    contenuto += rigaNumero(numero);
    return scrivi(contenuto);
}

EsitoScrittura RegistroPartita::riscrivi(const TabellaEstratti &estratti, const QDateTime &momento) const
{
    return scrivi(dalTabellone(estratti, momento));
}

bool RegistroPartita::esiste() const
{
    return QFileInfo(percorso()).isFile();
}

PartitaLetta RegistroPartita::leggi() const
{
    const QString nome = percorso();
    // Opened without following a link and without blocking on a pipe.
    const Apertura apertura = m_cartella->apriFile(QString::fromLatin1(NomeRegistro), false);
    if (apertura.natura == Natura::Manca)
        return {};
    PartitaLetta partita;
    if (apertura.natura != Natura::Proprio) {
        const QString motivo = motivoVisibile(nome, false);
        partita.errore = !motivo.isEmpty() ? motivo
                         : apertura.natura == Natura::Errore ? apertura.errore
                                                              : descriviNatura(apertura.natura);
        return partita;
    }
    QFile file;
    if (!file.open(apertura.descrittore, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        partita.errore = file.errorString();
        return partita;
    }
    return leggiRegistroFile(file);
}

int RegistroPartita::pulisciTemporanei() const
{
    int rimossi = 0;
    // This user's regular files only: no folders, links, devices or others' files.
    const QDir cartella(m_cartella->percorso());
    for (const QString &nome : cartella.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (CartellaProtetta::temporaneoDi(nome, QString::fromLatin1(NomeRegistro)) && m_cartella->rimuovi(nome))
            ++rimossi;
    }
    return rimossi;
}

EsitoScrittura RegistroPartita::sostituisci(const QByteArray &contenuto) const
{
    return scrivi(contenuto);
}

EsitoScrittura RegistroPartita::scrivi(const QByteArray &contenuto) const
{
    if (controllo()) {
        if (const QString motivo = controllo()(); !motivo.isEmpty())
            return {motivo};
    }
    // A folder that is no longer the one opened (a stick pulled out) is not written at all.
    if (const QString motivo = m_cartella->cambiata(); !motivo.isEmpty())
        return {QStringLiteral("la cartella %1 %2").arg(QDir::toNativeSeparators(m_cartella->percorso()), motivo)};
    const EsitoScrittura esito = m_cartella->sostituisci(QString::fromLatin1(NomeRegistro), contenuto);
    if (esito.riuscita())
        return esito;
    // What the file system shows says more than the call's own error.
    const QString motivo = motivoVisibile(percorso(), true);
    return {motivo.isEmpty() ? esito.errore : motivo};
}
