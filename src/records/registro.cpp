// SPDX-License-Identifier: MIT
#include "registro.h"

#include "dichiarazioni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>

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

QString descriviErrore(const QFileDevice &file)
{
    // The reason the system gives, with what it means here: a read-only file
    // or a missing folder is not a full disk.
    const QFileInfo bersaglio(file.fileName());
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        if (!QFileInfo(bersaglio.absolutePath()).isDir())
            return QStringLiteral("la cartella non esiste (%1)").arg(file.errorString());
        return QStringLiteral("la cartella non permette di creare il file (%1)").arg(file.errorString());
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        if (bersaglio.exists() && !bersaglio.isWritable())
            return QStringLiteral("il file è di sola lettura (%1)").arg(file.errorString());
        if (QStorageInfo(bersaglio.absolutePath()).bytesAvailable() == 0)
            return QStringLiteral("il disco è pieno (%1)").arg(file.errorString());
        return QStringLiteral("la scrittura non è riuscita (%1)").arg(file.errorString());
    case QFileDevice::RenameError:
        return QStringLiteral("il file registrato non può essere sostituito (%1)").arg(file.errorString());
    default:
        return file.errorString();
    }
}

} // namespace

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
    qsizetype i = 0;
    while (i < testo.size() && (testo[i] == u' ' || testo[i] == u'\t'))
        ++i;
    bool negativo = false;
    if (i < testo.size() && (testo[i] == u'-' || testo[i] == u'+')) {
        negativo = testo[i] == u'-';
        ++i;
    }
    constexpr long long massimo = std::numeric_limits<long long>::max();
    long long valore = 0;
    for (; i < testo.size() && testo[i] >= u'0' && testo[i] <= u'9'; ++i) {
        const int cifra = testo[i].unicode() - u'0';
        valore = valore > (massimo - cifra) / 10 ? massimo : valore * 10 + cifra;
    }
    return negativo ? -valore : valore;
}

QString testoIntestazione(const QDateTime &momento, const QLocale &locale)
{
    return QStringLiteral("Partita : ") + locale.toString(momento.date(), formatoDataBreve(locale))
           + QLatin1Char(' ') + locale.toString(momento.time(), formatoOra(locale));
}

QByteArray rigaIntestazione(const QDateTime &momento, const QLocale &locale)
{
    return testoIntestazione(momento, locale).toLocal8Bit() + FineRiga;
}

QByteArray rigaNumero(long long numero)
{
    return ' ' + QByteArray::number(numero) + ' ' + FineRiga;
}

PartitaLetta leggiRegistro(const QByteArray &contenuto)
{
    PartitaLetta partita;
    bool primaRiga = true;
    qsizetype inizio = 0;
    const qsizetype fine = contenuto.size();
    while (inizio < fine) {
        // Lines may end in CR LF, a lone CR or a lone LF; the last may have no end.
        qsizetype termine = inizio;
        while (termine < fine && contenuto[termine] != '\r' && contenuto[termine] != '\n')
            ++termine;
        const QByteArrayView riga(contenuto.constData() + inizio, termine - inizio);
        if (primaRiga) {
            // Decoded from a bounded stretch, then cut in characters, not bytes.
            partita.intestazione = QString::fromLocal8Bit(riga.first(std::min(riga.size(), 4 * LunghezzaMassimaIntestazione)))
                                       .left(LunghezzaMassimaIntestazione);
            primaRiga = false;
        } else {
            // Only digits, blanks and a sign can make up a number, so Latin-1 is exact here.
            const long long numero = letturaNumerica(QString::fromLatin1(riga));
            if (Dichiarazioni::numeroValido(numero))
                partita.numeri.append(static_cast<int>(numero));
        }
        inizio = termine;
        if (inizio < fine && contenuto[inizio] == '\r')
            ++inizio;
        if (inizio < fine && contenuto[inizio] == '\n')
            ++inizio;
    }
    return partita;
}

RegistroPartita::RegistroPartita(QString cartella)
    : m_cartella(std::move(cartella))
{
}

QString RegistroPartita::percorso() const
{
    return QDir(m_cartella).filePath(QString::fromLatin1(NomeRegistro));
}

EsitoScrittura RegistroPartita::nuovaPartita(const QDateTime &momento) const
{
    return scrivi(rigaIntestazione(momento));
}

EsitoScrittura RegistroPartita::aggiungi(long long numero, const QDateTime &momento) const
{
    QByteArray contenuto;
    QFile esistente(percorso());
    if (esistente.exists()) {
        if (esistente.open(QIODevice::ReadOnly))
            contenuto = esistente.readAll();
        if (!esistente.isOpen() || esistente.error() != QFileDevice::NoError)
            return {QStringLiteral("impossibile leggere la partita registrata (%1)").arg(esistente.errorString())};
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
    QByteArray contenuto = rigaIntestazione(momento);
    for (int n = 1; n <= 90; ++n) {
        if (estratti[n] == -1)
            contenuto += rigaNumero(n);
    }
    return scrivi(contenuto);
}

bool RegistroPartita::esiste() const
{
    return QFileInfo(percorso()).isFile();
}

PartitaLetta RegistroPartita::leggi() const
{
    QFile file(percorso());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return leggiRegistro(file.read(LimiteLettura));
}

EsitoScrittura RegistroPartita::scrivi(const QByteArray &contenuto) const
{
    // Written beside the record and renamed over it once complete and on disk.
    QSaveFile file(percorso());
    if (!file.open(QIODevice::WriteOnly))
        return {descriviErrore(file)};
    // Flushed by hand: commit() does not notice a buffered write that fails
    // (disk full), and would put the cut file in place of the record.
    if (file.write(contenuto) != contenuto.size() || !file.flush()) {
        const QString errore = descriviErrore(file);
        file.cancelWriting();
        return {errore};
    }
    if (!file.commit())
        return {descriviErrore(file)};
    return {};
}
