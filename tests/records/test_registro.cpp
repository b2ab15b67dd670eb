// SPDX-License-Identifier: MIT
#include "registro.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

Q_DECLARE_METATYPE(Operazione)

namespace {

// 6 December 2026, 21:05:30 plus the given seconds, local time.
QDateTime momento(int secondi = 3)
{
    return QDateTime(QDate(2026, 12, 6), QTime(21, 5, 30).addSecs(secondi));
}

// The header the Italian settings give for momento(secondi), written out by hand.
QByteArray intestazione(int secondi)
{
    return QByteArray("Partita : 06/12/2026 21:05:3") + QByteArray::number(secondi) + "\r\n";
}

// Bytes of a literal, embedded NULs included.
template<qsizetype N>
QByteArray byte(const char (&testo)[N])
{
    return QByteArray(testo, N - 1);
}

QByteArray righe(std::initializer_list<int> numeri)
{
    QByteArray testo;
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<illeggibile>");
    return file.readAll();
}

void scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contenuto), contenuto.size());
}

// Every entry below a folder with its bytes, to see that a failed write
// touched nothing: no changed record, no leftover temporary file.
QMap<QString, QByteArray> istantanea(const QString &cartella)
{
    QMap<QString, QByteArray> voci;
    if (!QFileInfo(cartella).isDir())
        return voci;
    QDirIterator it(cartella, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo voce(it.next());
        voci.insert(voce.filePath(), voce.isFile() ? contenutoDi(voce.filePath()) : QByteArray("<cartella>"));
    }
    return voci;
}

// Makes writes past a few bytes fail, as a full disk would; works as root too.
class LimiteDimensioneFile
{
public:
    explicit LimiteDimensioneFile(rlim_t byte)
    {
        getrlimit(RLIMIT_FSIZE, &m_prima);
        m_segnale = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = m_prima;
        limite.rlim_cur = byte;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteDimensioneFile()
    {
        setrlimit(RLIMIT_FSIZE, &m_prima);
        std::signal(SIGXFSZ, m_segnale);
    }

private:
    rlimit m_prima{};
    void (*m_segnale)(int) = nullptr;
};

} // namespace

class TestRegistro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // "inizio" and "annullato" are recognised however they are capitalised.
    void paroleOperazioneValgonoInOgniGrafia_data();
    void paroleOperazioneValgonoInOgniGrafia();

    // Anything else is an append, its number read from the ninth character on.
    void estrattoLeggeIlNumeroDalNonoCarattere_data();
    void estrattoLeggeIlNumeroDalNonoCarattere();

    // Near misses of the operation words are appends too, never an operation.
    void argomentiStraniNonDiventanoOperazioni_data();
    void argomentiStraniNonDiventanoOperazioni();

    // Blanks skipped, then the number up to the first character that cannot continue it.
    void letturaNumericaLeggeIlNumeroIniziale_data();
    void letturaNumericaLeggeIlNumeroIniziale();

    // A text that does not begin with a number reads 0.
    void letturaNumericaDaZeroSenzaNumero_data();
    void letturaNumericaDaZeroSenzaNumero();

    // Past the range of long long the reading saturates: more digits never read smaller.
    void numeriEnormiNonLeggonoMenoDiNumeriPiuCorti_data();
    void numeriEnormiNonLeggonoMenoDiNumeriPiuCorti();

    // The Italian header, byte for byte, from the default locale, without a BOM.
    void intestazioneItalianaEsatta();

    // Every locale keeps the four-digit year and the seconds, and drops the time zone.
    void intestazioneHaAnnoInteroESenzaFusoOrario_data();
    void intestazioneHaAnnoInteroESenzaFusoOrario();

    // A number line is blank, digits, blank, CR LF.
    void rigaNumeroEsatta_data();
    void rigaNumeroEsatta();

    // Records this program writes, and harmless variants, read back whole.
    void leggeRegistriBenFormati_data();
    void leggeRegistriBenFormati();

    // From untrusted bytes only the numbers 1..90 survive.
    void scartaCioCheNonENumeroDa1a90_data();
    void scartaCioCheNonENumeroDa1a90();

    // Multi-megabyte inputs still give exactly the valid numbers, quickly.
    void fileDiMegabyteDannoSoloNumeriValidi_data();
    void fileDiMegabyteDannoSoloNumeriValidi();

    // The header is the first line, cut to 256 characters.
    void intestazioneLungaVieneTroncata_data();
    void intestazioneLungaVieneTroncata();

    // Sequences of draws, withdrawals and new games leave these exact bytes.
    void scrittureLascianoIByteAttesi_data();
    void scrittureLascianoIByteAttesi();

    // A write that fails says why and leaves the folder exactly as it was.
    void scritturaFallitaLasciaTuttoComEra_data();
    void scritturaFallitaLasciaTuttoComEra();

    // Every file of the regression corpus reads without breaking an invariant.
    void corpusRispettaLeInvarianti_data();
    void corpusRispettaLeInvarianti();
    // Without its files the corpus test above would pass on nothing.
    void corpusNonEVuoto();
};

void TestRegistro::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

void TestRegistro::paroleOperazioneValgonoInOgniGrafia_data()
{
    QTest::addColumn<QString>("argomento");
    QTest::addColumn<Operazione>("attesa");
    QTest::newRow("inizio") << "inizio" << Operazione::Inizio;
    QTest::newRow("INIZIO") << "INIZIO" << Operazione::Inizio;
    QTest::newRow("Inizio") << "Inizio" << Operazione::Inizio;
    QTest::newRow("iNiZiO") << "iNiZiO" << Operazione::Inizio;
    QTest::newRow("annullato") << "annullato" << Operazione::Annullato;
    QTest::newRow("ANNULLATO") << "ANNULLATO" << Operazione::Annullato;
    QTest::newRow("Annullato") << "Annullato" << Operazione::Annullato;
    QTest::newRow("aNnUlLaTo") << "aNnUlLaTo" << Operazione::Annullato;
}

void TestRegistro::paroleOperazioneValgonoInOgniGrafia()
{
    QFETCH(QString, argomento);
    QFETCH(Operazione, attesa);
    QCOMPARE(interpretaComando(argomento).operazione, attesa);
}

void TestRegistro::estrattoLeggeIlNumeroDalNonoCarattere_data()
{
    QTest::addColumn<QString>("argomento");
    QTest::addColumn<long long>("numero");
    QTest::newRow("Estratto12") << "Estratto12" << 12LL;
    QTest::newRow("ESTRATTO12") << "ESTRATTO12" << 12LL;
    QTest::newRow("estratto12") << "estratto12" << 12LL;
    QTest::newRow("Estratto1") << "Estratto1" << 1LL;
    QTest::newRow("Estratto90") << "Estratto90" << 90LL;
    QTest::newRow("blank before the number") << "Estratto 7" << 7LL;
    QTest::newRow("trailing text ignored") << "Estratto45xyz" << 45LL;
    QTest::newRow("leading zeros") << "Estratto007" << 7LL;
    QTest::newRow("first eight characters unlooked at") << "xxxxxxxx33" << 33LL;
    QTest::newRow("digits among the first eight are skipped") << "1234567890" << 90LL;
    QTest::newRow("accented first character counts as one") << QString::fromUtf8("Èstratto21") << 21LL;
    QTest::newRow("out of range kept for the caller to reject") << "Estratto91" << 91LL;
    QTest::newRow("sign read") << "Estratto-5" << -5LL;
}

void TestRegistro::estrattoLeggeIlNumeroDalNonoCarattere()
{
    QFETCH(QString, argomento);
    QFETCH(long long, numero);
    const Comando comando = interpretaComando(argomento);
    QCOMPARE(comando.operazione, Operazione::Estratto);
    QCOMPARE(comando.numero, numero);
}

void TestRegistro::argomentiStraniNonDiventanoOperazioni_data()
{
    QTest::addColumn<QString>("argomento");
    QTest::addColumn<long long>("numero");
    QTest::newRow("empty") << "" << 0LL;
    QTest::newRow("shorter than eight") << "Estr" << 0LL;
    QTest::newRow("exactly eight") << "Estratto" << 0LL;
    QTest::newRow("word with a trailing blank") << "inizio " << 0LL;
    QTest::newRow("word with a leading blank") << " inizio" << 0LL;
    QTest::newRow("truncated word") << "annullat" << 0LL;
    QTest::newRow("word with a number after it") << "inizio12" << 0LL;
    QTest::newRow("annullato with a number after it") << "annullato5" << 0LL;
    QTest::newRow("letters where the number goes") << "Estrattoabc" << 0LL;
    QTest::newRow("word padded with NUL") << QString::fromUtf8("inizio\0", 7) << 0LL;
    QTest::newRow("fullwidth digits are not digits") << QString::fromUtf8("Estratto１２") << 0LL;
    QTest::newRow("dotless i is not an i") << QString::fromUtf8("ınızıo") << 0LL;
}

void TestRegistro::argomentiStraniNonDiventanoOperazioni()
{
    QFETCH(QString, argomento);
    QFETCH(long long, numero);
    const Comando comando = interpretaComando(argomento);
    QCOMPARE(comando.operazione, Operazione::Estratto);
    QCOMPARE(comando.numero, numero);
}

void TestRegistro::letturaNumericaLeggeIlNumeroIniziale_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<long long>("atteso");
    QTest::newRow("7") << "7" << 7LL;
    QTest::newRow("90") << "90" << 90LL;
    QTest::newRow("leading blanks") << "   45" << 45LL;
    QTest::newRow("leading tab") << "\t12" << 12LL;
    QTest::newRow("trailing blank") << " 7 " << 7LL;
    QTest::newRow("stops at a letter") << "90abc" << 90LL;
    QTest::newRow("stops at a blank inside") << "1 2" << 1LL;
    QTest::newRow("stops at a decimal point") << "12.5" << 12LL;
    QTest::newRow("leading zeros") << "0008" << 8LL;
    QTest::newRow("plus sign") << "+8" << 8LL;
    QTest::newRow("minus sign") << "-5" << -5LL;
    QTest::newRow("largest long long") << "9223372036854775807" << 9223372036854775807LL;
}

void TestRegistro::letturaNumericaLeggeIlNumeroIniziale()
{
    QFETCH(QString, testo);
    QFETCH(long long, atteso);
    QCOMPARE(letturaNumerica(testo), atteso);
}

void TestRegistro::letturaNumericaDaZeroSenzaNumero_data()
{
    QTest::addColumn<QString>("testo");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks only") << "    ";
    QTest::newRow("letters") << "abc";
    QTest::newRow("letter before digits") << "x12";
    QTest::newRow("sign alone") << "-";
    QTest::newRow("blank between sign and digits") << "- 5";
    QTest::newRow("two signs") << "--5";
    QTest::newRow("line end before digits") << "\n5";
    QTest::newRow("NUL before digits") << QString::fromUtf8("\0" "5", 2);
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("١٢");
    QTest::newRow("zero") << "0";
}

void TestRegistro::letturaNumericaDaZeroSenzaNumero()
{
    QFETCH(QString, testo);
    QCOMPARE(letturaNumerica(testo), 0LL);
}

void TestRegistro::numeriEnormiNonLeggonoMenoDiNumeriPiuCorti_data()
{
    QTest::addColumn<int>("cifre");
    QTest::addColumn<bool>("negativo");
    for (int cifre = 19; cifre <= 24; ++cifre) {
        QTest::addRow("%d nines", cifre) << cifre << false;
        QTest::addRow("minus %d nines", cifre) << cifre << true;
    }
}

void TestRegistro::numeriEnormiNonLeggonoMenoDiNumeriPiuCorti()
{
    QFETCH(int, cifre);
    QFETCH(bool, negativo);
    const QString testo = (negativo ? QStringLiteral("-") : QString()) + QString(cifre, u'9');
    const long long letto = letturaNumerica(testo);
    // Eighteen nines still fit exactly; anything longer must not read smaller.
    constexpr long long diciottoNove = 999'999'999'999'999'999LL;
    if (negativo)
        QVERIFY2(letto <= -diciottoNove, QByteArray::number(letto));
    else
        QVERIFY2(letto >= diciottoNove, QByteArray::number(letto));
}

void TestRegistro::intestazioneItalianaEsatta()
{
    const QByteArray riga = rigaIntestazione(QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33)));
    QCOMPARE(riga, QByteArray("Partita : 06/12/2026 21:05:33\r\n"));
}

void TestRegistro::intestazioneHaAnnoInteroESenzaFusoOrario_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("quando");
    const QList<QLocale> locali = {
        QLocale(QLocale::Italian, QLocale::Italy),      QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),      QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Armenian, QLocale::Armenia),   QLocale(QLocale::Spanish, QLocale::Spain),
        QLocale(QLocale::Catalan, QLocale::Spain),      QLocale(QLocale::Croatian, QLocale::Croatia),
        QLocale(QLocale::Persian, QLocale::Iran),
    };
    const QDate giorno(2026, 12, 6);
    const QTime ora(21, 5, 33);
    QList<std::pair<const char *, QDateTime>> momenti = {
        {"UTC", QDateTime(giorno, ora, QTimeZone::utc())},
        {"UTC+1", QDateTime(giorno, ora, QTimeZone(3600))},
    };
    // A named zone shows as "CET"; only where the system has the zone data.
    if (const QTimeZone roma("Europe/Rome"); roma.isValid())
        momenti.append({"Rome", QDateTime(giorno, ora, roma)});
    for (const QLocale &locale : locali) {
        for (const auto &[zona, quando] : momenti)
            QTest::addRow("%s %s", qPrintable(locale.name()), zona) << locale << quando;
    }
}

void TestRegistro::intestazioneHaAnnoInteroESenzaFusoOrario()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, quando);
    const QString testo = testoIntestazione(quando, locale);
    QVERIFY2(testo.startsWith(QLatin1String("Partita : ")), qPrintable(testo));
    // Digits as the locale writes them, so Persian is checked with Persian digits.
    QVERIFY2(testo.contains(locale.toString(quando.date(), QStringLiteral("yyyy"))), qPrintable(testo));
    QVERIFY2(testo.contains(locale.toString(quando.time(), QStringLiteral("ss"))), qPrintable(testo));
    QVERIFY2(!testo.contains(locale.toString(quando, QStringLiteral("t"))), qPrintable(testo));
    QVERIFY2(!testo.contains(QLatin1Char('\r')) && !testo.contains(QLatin1Char('\n')), qPrintable(testo));
    QVERIFY2(!testo.contains(QLatin1String("()")) && testo == testo.trimmed(), qPrintable(testo));
}

void TestRegistro::rigaNumeroEsatta_data()
{
    QTest::addColumn<long long>("numero");
    QTest::addColumn<QByteArray>("attesa");
    QTest::newRow("1") << 1LL << QByteArray(" 1 \r\n");
    QTest::newRow("7") << 7LL << QByteArray(" 7 \r\n");
    QTest::newRow("45") << 45LL << QByteArray(" 45 \r\n");
    QTest::newRow("90") << 90LL << QByteArray(" 90 \r\n");
}

void TestRegistro::rigaNumeroEsatta()
{
    QFETCH(long long, numero);
    QFETCH(QByteArray, attesa);
    QCOMPARE(rigaNumero(numero), attesa);
}

void TestRegistro::leggeRegistriBenFormati_data()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QString>("intestazione");
    QTest::addColumn<QList<int>>("numeri");
    const QByteArray h = "Partita : 06/12/2026 21:05:33";
    QTest::newRow("record as written") << h + "\r\n 3 \r\n 17 \r\n 5 \r\n" << QString(h) << QList<int>{3, 17, 5};
    QTest::newRow("all ninety") << [&] {
        QByteArray c = h + "\r\n";
        for (int n = 90; n >= 1; --n)
            c += rigaNumero(n);
        return c;
    }() << QString(h) << [] {
        QList<int> l;
        for (int n = 90; n >= 1; --n)
            l << n;
        return l;
    }();
    QTest::newRow("last line without line end") << h + "\r\n 3 \r\n 90" << QString(h) << QList<int>{3, 90};
    QTest::newRow("header without line end") << h << QString(h) << QList<int>{};
    QTest::newRow("duplicated lines kept") << h + "\r\n 7 \r\n 7 \r\n 8 \r\n 7 \r\n" << QString(h)
                                           << QList<int>{7, 7, 8, 7};
    QTest::newRow("CR-only line ends") << h + "\r 1 \r 2 \r" << QString(h) << QList<int>{1, 2};
    QTest::newRow("LF-only line ends") << h + "\n 1 \n 2 \n" << QString(h) << QList<int>{1, 2};
    QTest::newRow("mixed line ends") << h + "\n 1 \r 2 \r\n 3 \n" << QString(h) << QList<int>{1, 2, 3};
    QTest::newRow("no blanks around numbers") << h + "\r\n4\r\n5\r\n" << QString(h) << QList<int>{4, 5};
    QTest::newRow("tabs and extra blanks") << h + "\r\n\t 4\t\r\n    5    \r\n" << QString(h) << QList<int>{4, 5};
    QTest::newRow("leading zeros") << h + "\r\n 07 \r\n 0090 \r\n" << QString(h) << QList<int>{7, 90};
    QTest::newRow("plus sign") << h + "\r\n +8 \r\n" << QString(h) << QList<int>{8};
    QTest::newRow("header that is not a date") << QByteArray("qualcosa\r\n 1 \r\n") << QString("qualcosa")
                                               << QList<int>{1};
    QTest::newRow("number line as first line is the header") << QByteArray(" 5 \r\n 6 \r\n") << QString(" 5 ")
                                                              << QList<int>{6};
    QTest::newRow("many blanks before the number")
        << h + "\r\n" + QByteArray(70, ' ') + "5 \r\n" << QString(h) << QList<int>{5};
}

void TestRegistro::leggeRegistriBenFormati()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QString, intestazione);
    QFETCH(QList<int>, numeri);
    const PartitaLetta letta = leggiRegistro(contenuto);
    QCOMPARE(letta.intestazione, intestazione);
    QCOMPARE(letta.numeri, numeri);
}

void TestRegistro::scartaCioCheNonENumeroDa1a90_data()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QList<int>>("numeri");
    const QByteArray h = "Partita : 06/12/2026 21:05:33\r\n";
    QTest::newRow("empty file") << QByteArray() << QList<int>{};
    QTest::newRow("header only") << h << QList<int>{};
    QTest::newRow("blank lines") << h + "\r\n\r\n   \r\n 4 \r\n\r\n" << QList<int>{4};
    QTest::newRow("line ends only") << QByteArray("\r\n\r\n\n\n\r\r") << QList<int>{};
    QTest::newRow("text lines") << h + "ciao\r\n 4 \r\nPartita : 01/01/2000 00:00:00\r\nx5\r\n" << QList<int>{4};
    QTest::newRow("zero") << h + " 0 \r\n 00 \r\n" << QList<int>{};
    QTest::newRow("negative numbers") << h + " -1 \r\n -90 \r\n -45 \r\n 2 \r\n" << QList<int>{2};
    QByteArray oltre = h;
    for (int n = 91; n <= 100; ++n)
        oltre += rigaNumero(n);
    QTest::newRow("91 to 100") << oltre + " 90 \r\n" << QList<int>{90};
    QTest::newRow("huge number") << h + " 99999999999999999999999 \r\n 3 \r\n" << QList<int>{3};
    QTest::newRow("huge negative number") << h + " -99999999999999999999999 \r\n" << QList<int>{};
    QTest::newRow("number that wraps to a small one in 64 bits") << h + " 18446744073709551623 \r\n"
                                                                  << QList<int>{};
    QTest::newRow("number that wraps to a small one in 32 bits") << h + " 4294967303 \r\n" << QList<int>{};
    QTest::newRow("NUL bytes") << byte("Parti\0ta\r\n\0 7 \r\n 8\0 \r\n 9 \r\n") << QList<int>{8, 9};
    QTest::newRow("NUL-only file") << QByteArray(64, '\0') << QList<int>{};
    QTest::newRow("invalid UTF-8") << h + "\xff\xfe 6 \r\n \xc3\xa8 \r\n\xc3 7\r\n 5 \r\n" << QList<int>{5};
    QTest::newRow("UTF-8 BOM before the header") << QByteArray("\xef\xbb\xbfPartita\r\n 5 \r\n") << QList<int>{5};
    QTest::newRow("UTF-16 record") << byte("P\0a\0\r\0\n\0 \0" "5\0 \0\r\0\n\0") << QList<int>{};
    QTest::newRow("Arabic-Indic digits") << h + QString::fromUtf8(" ١٢ \r\n").toUtf8() << QList<int>{};
    QTest::newRow("decimal number") << h + " 4.5 \r\n 4,5 \r\n" << QList<int>{4, 4};
}

void TestRegistro::scartaCioCheNonENumeroDa1a90()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QList<int>, numeri);
    QCOMPARE(leggiRegistro(contenuto).numeri, numeri);
}

void TestRegistro::fileDiMegabyteDannoSoloNumeriValidi_data()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QList<int>>("numeri");
    constexpr qsizetype treMega = 3 * 1024 * 1024;
    QByteArray misto = "Partita : 06/12/2026 21:05:33\r\n";
    QList<int> validi;
    const QList<QByteArray> spazzatura = {
        " 0 ", " 91 ", " -7 ", "", " 99999999999999999999 ",
        "Partita : 06/12/2026 21:05:33 e poi una riga di testo lunga con 45 dentro",
        QByteArray(200, '\0'), QByteArray(100, '9'), QByteArray(300, '\xff'),
    };
    for (int i = 0; misto.size() < treMega; ++i) {
        const int n = 1 + i % 90;
        misto += ' ' + QByteArray::number(n) + " \r\n";
        validi << n;
        misto += spazzatura[i % spazzatura.size()] + (i % 3 == 0 ? "\n" : "\r\n");
    }
    QTest::newRow("3 MB of numbers and garbage") << misto << validi;
    QTest::newRow("one 3 MB line of digits") << "P\r\n" + QByteArray(treMega, '7') + "\r\n 5 \r\n"
                                             << QList<int>{5};
    QTest::newRow("3 MB of blanks") << "P\r\n" + QByteArray(treMega, ' ') + "\r\n 6 " << QList<int>{6};
    QTest::newRow("1 MB of CRs") << QByteArray(1024 * 1024, '\r') + " 5 " << QList<int>{5};
}

void TestRegistro::fileDiMegabyteDannoSoloNumeriValidi()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QList<int>, numeri);
    QCOMPARE(leggiRegistro(contenuto).numeri, numeri);
}

void TestRegistro::intestazioneLungaVieneTroncata_data()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QString>("intestazione");
    QTest::newRow("256 characters kept whole") << QByteArray(256, 'P') + "\r\n" << QString(256, u'P');
    QTest::newRow("300 characters cut to 256") << QByteArray(300, 'P') + "\r\n 5 \r\n" << QString(256, u'P');
    QTest::newRow("megabyte line cut to 256") << QByteArray(1024 * 1024, 'P') << QString(256, u'P');
    QTest::newRow("accented characters cut to 256 characters")
        << "P" + QString(300, u'è').toUtf8() + "\r\n" << QString("P" + QString(255, u'è'));
}

void TestRegistro::intestazioneLungaVieneTroncata()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QString, intestazione);
    QCOMPARE(leggiRegistro(contenuto).intestazione, intestazione);
}

void TestRegistro::scrittureLascianoIByteAttesi_data()
{
    // Steps, one a second from 21:05:30: "nuova" a new game, "+n" draws n
    // (an append), "-n" withdraws n (a rewrite of what is still drawn).
    QTest::addColumn<QByteArray>("iniziale"); // null: no file at all
    QTest::addColumn<QStringList>("passi");
    QTest::addColumn<QByteArray>("atteso");
    QTest::addColumn<QList<int>>("numeri");
    const QByteArray nessuno;
    QTest::newRow("new game then 3, 17, 5")
        << nessuno << QStringList{"nuova", "+3", "+17", "+5"} << intestazione(0) + righe({3, 17, 5})
        << QList<int>{3, 17, 5};
    QTest::newRow("withdrawing 17 rewrites the rest in ascending order")
        << nessuno << QStringList{"nuova", "+3", "+17", "+5", "-17"} << intestazione(4) + righe({3, 5})
        << QList<int>{3, 5};
    QTest::newRow("draws 5 then 3, withdrawing 5 leaves 3")
        << nessuno << QStringList{"nuova", "+5", "+3", "-5"} << intestazione(3) + righe({3}) << QList<int>{3};
    QTest::newRow("withdrawing the last of 40, 5, 3 sorts the rest")
        << nessuno << QStringList{"nuova", "+40", "+5", "+3", "-3"} << intestazione(4) + righe({5, 40})
        << QList<int>{5, 40};
    QTest::newRow("withdrawing the only number leaves the header")
        << nessuno << QStringList{"nuova", "+8", "-8"} << intestazione(2) << QList<int>{};
    QTest::newRow("a redraw after a withdrawal goes at the end")
        << nessuno << QStringList{"nuova", "+30", "+10", "+20", "-10", "+10"} << intestazione(4) + righe({20, 30, 10})
        << QList<int>{20, 30, 10};
    QTest::newRow("append with no file starts with a header")
        << nessuno << QStringList{"+7"} << intestazione(0) + righe({7}) << QList<int>{7};
    QTest::newRow("append to an empty file starts with a header")
        << QByteArray("") << QStringList{"+7"} << intestazione(0) + righe({7}) << QList<int>{7};
    QTest::newRow("append after a last line without line end adds CR LF")
        << QByteArray("Partita : x\r\n 4") << QStringList{"+9"} << QByteArray("Partita : x\r\n 4\r\n 9 \r\n")
        << QList<int>{4, 9};
    QTest::newRow("append after a header without line end adds CR LF")
        << QByteArray("Partita : x") << QStringList{"+9"} << QByteArray("Partita : x\r\n 9 \r\n") << QList<int>{9};
    QTest::newRow("append keeps every earlier byte, oddities included")
        << byte("Partita : x\n 4 \r 0 \r\nciao\0\r\n") << QStringList{"+9"}
        << byte("Partita : x\n 4 \r 0 \r\nciao\0\r\n 9 \r\n") << QList<int>{4, 9};
    QTest::newRow("append after a CR-only line end adds nothing before the line")
        << QByteArray("Partita : x\r 4 \r") << QStringList{"+9"} << QByteArray("Partita : x\r 4 \r 9 \r\n")
        << QList<int>{4, 9};
    QTest::newRow("a new game discards the old lines")
        << QByteArray("Partita : x\r\n 4 \r\n 5 \r\n") << QStringList{"+6", "nuova"} << intestazione(1)
        << QList<int>{};
    QTest::newRow("a new game then a draw after an old record")
        << QByteArray("Partita : x\r\n 4 \r\n") << QStringList{"nuova", "+6"} << intestazione(0) + righe({6})
        << QList<int>{6};
    QTest::newRow("rewrite with all ninety drawn but one")
        << nessuno << [] {
               QStringList passi{"nuova"};
               for (int n = 90; n >= 1; --n)
                   passi << QStringLiteral("+%1").arg(n);
               return passi << "-45";
           }()
        << [] {
               QByteArray atteso = intestazione(0).replace("21:05:30", "21:07:01");
               for (int n = 1; n <= 90; ++n)
                   if (n != 45)
                       atteso += ' ' + QByteArray::number(n) + " \r\n";
               return atteso;
           }()
        << [] {
               QList<int> l;
               for (int n = 1; n <= 90; ++n)
                   if (n != 45)
                       l << n;
               return l;
           }();
}

void TestRegistro::scrittureLascianoIByteAttesi()
{
    QFETCH(QByteArray, iniziale);
    QFETCH(QStringList, passi);
    QFETCH(QByteArray, atteso);
    QFETCH(QList<int>, numeri);

    QTemporaryDir cartella;
    QVERIFY(cartella.isValid());
    const RegistroPartita registro(cartella.path());
    if (!iniziale.isNull())
        scriviFile(registro.percorso(), iniziale);

    TabellaEstratti estratti{};
    for (int i = 0; i < passi.size(); ++i) {
        const QString &passo = passi[i];
        EsitoScrittura esito;
        if (passo == QLatin1String("nuova")) {
            estratti.fill(0);
            esito = registro.nuovaPartita(momento(i));
        } else if (passo.startsWith(u'+')) {
            const int n = passo.mid(1).toInt();
            estratti[n] = -1;
            esito = registro.aggiungi(n, momento(i));
        } else {
            estratti[passo.mid(1).toInt()] = 0;
            esito = registro.riscrivi(estratti, momento(i));
        }
        QVERIFY2(esito.riuscita(), qPrintable(passo + QLatin1String(": ") + esito.errore));
    }
    QCOMPARE(contenutoDi(registro.percorso()), atteso);
    QCOMPARE(registro.leggi().numeri, numeri);
    // Only the record itself: no temporary file survives a completed write.
    QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QString::fromLatin1(NomeRegistro)});
}

void TestRegistro::scritturaFallitaLasciaTuttoComEra_data()
{
    QTest::addColumn<QString>("situazione");
    QTest::addColumn<QString>("scrittura");
    const QStringList situazioni = {"missing folder", "folder path through a file", "record is a directory",
                                    "proc folder", "file size limit", "read-only folder"};
    for (const QString &situazione : situazioni) {
        for (const QString scrittura : {"new game", "append", "rewrite"})
            QTest::addRow("%s, %s", qPrintable(situazione), qPrintable(scrittura)) << situazione << scrittura;
    }
}

void TestRegistro::scritturaFallitaLasciaTuttoComEra()
{
    QFETCH(QString, situazione);
    QFETCH(QString, scrittura);

    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QByteArray vecchio = intestazione(3) + righe({4, 8, 15, 16, 23, 42});
    QString cartella = base.path();
    if (situazione == QLatin1String("missing folder")) {
        cartella = base.filePath(QStringLiteral("non/esiste"));
    } else if (situazione == QLatin1String("folder path through a file")) {
        scriviFile(base.filePath(QStringLiteral("file")), vecchio);
        cartella = base.filePath(QStringLiteral("file/sotto"));
    } else if (situazione == QLatin1String("record is a directory")) {
        QVERIFY(QDir(base.path()).mkpath(QString::fromLatin1(NomeRegistro) + QStringLiteral("/dentro")));
        scriviFile(base.filePath(QString::fromLatin1(NomeRegistro) + QStringLiteral("/dentro/x")), vecchio);
    } else if (situazione == QLatin1String("proc folder")) {
        cartella = QStringLiteral("/proc");
    } else if (situazione == QLatin1String("read-only folder")) {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        scriviFile(base.filePath(QString::fromLatin1(NomeRegistro)), vecchio);
        QVERIFY(QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                       | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    } else {
        scriviFile(base.filePath(QString::fromLatin1(NomeRegistro)), vecchio);
    }

    const RegistroPartita registro(cartella);
    const bool proc = cartella == QLatin1String("/proc");
    const auto prima = proc ? QMap<QString, QByteArray>() : istantanea(base.path());

    TabellaEstratti estratti{};
    for (const int n : {4, 8, 15, 16, 23, 42, 77})
        estratti[n] = -1;
    EsitoScrittura esito;
    {
        // The smallest write, a header, is 31 bytes.
        std::optional<LimiteDimensioneFile> limite;
        if (situazione == QLatin1String("file size limit"))
            limite.emplace(16);
        if (scrittura == QLatin1String("new game"))
            esito = registro.nuovaPartita(momento(9));
        else if (scrittura == QLatin1String("append"))
            esito = registro.aggiungi(77, momento(9));
        else
            esito = registro.riscrivi(estratti, momento(9));
    }
    QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY2(!esito.riuscita(), "the write was reported as done");
    QVERIFY(!esito.errore.trimmed().isEmpty());
    if (proc)
        QVERIFY(!QFileInfo::exists(registro.percorso()));
    else
        QCOMPARE(istantanea(base.path()), prima);
}

void TestRegistro::corpusRispettaLeInvarianti_data()
{
    QTest::addColumn<QString>("percorso");
    const QDir corpus(QStringLiteral(CARTELLA_CORPUS));
    for (const QFileInfo &voce : corpus.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        QTest::newRow(qPrintable(voce.fileName())) << voce.filePath();
}

void TestRegistro::corpusRispettaLeInvarianti()
{
    QFETCH(QString, percorso);
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contenuto = file.readAll();

    const PartitaLetta letta = leggiRegistro(contenuto);
    QVERIFY(letta.intestazione.size() <= 256);
    for (const int n : letta.numeri)
        QVERIFY2(n >= 1 && n <= 90, qPrintable(QString::number(n)));

    // An append after this content reads back as one more number.
    if (!contenuto.isEmpty()) {
        QByteArray esteso = contenuto;
        if (!esteso.endsWith('\n') && !esteso.endsWith('\r'))
            esteso += "\r\n";
        const PartitaLetta riletta = leggiRegistro(esteso + rigaNumero(42));
        QCOMPARE(riletta.intestazione, letta.intestazione);
        QCOMPARE(riletta.numeri, QList<int>(letta.numeri) << 42);
    }

    // The same bytes as a CaricaPartita argument.
    const QString argomento = QString::fromUtf8(contenuto);
    const Comando comando = interpretaComando(argomento);
    if (argomento.compare(QLatin1String("inizio"), Qt::CaseInsensitive) == 0)
        QCOMPARE(comando.operazione, Operazione::Inizio);
    else if (argomento.compare(QLatin1String("annullato"), Qt::CaseInsensitive) == 0)
        QCOMPARE(comando.operazione, Operazione::Annullato);
    else
        QCOMPARE(comando.operazione, Operazione::Estratto);
}

void TestRegistro::corpusNonEVuoto()
{
    QVERIFY(QDir(QStringLiteral(CARTELLA_CORPUS)).entryList(QDir::Files).size() >= 12);
}

QTEST_GUILESS_MAIN(TestRegistro)
#include "test_registro.moc"
