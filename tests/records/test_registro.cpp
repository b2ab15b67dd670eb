// SPDX-License-Identifier: MIT
#include "registro.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <csignal>
#include <limits>
#include <sys/resource.h>

Q_DECLARE_METATYPE(Operazione)

// The fuzz target's checks (fuzz_registro.cpp): the rule a content breaks, or null.
const char *violazione(const QByteArray &contenuto);

namespace {

constexpr long long Massimo = std::numeric_limits<long long>::max();
const QString Intestazione = QStringLiteral("Partita : 06/12/2026 21:05:33");

// 6 December 2026, 21:05:33 plus the given seconds, local time.
QDateTime momento(int secondi)
{
    return QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33).addSecs(secondi));
}

// The record with the header the Italian settings give for momento(secondi), written by hand.
QByteArray registroAtteso(int secondi, std::initializer_list<int> numeri = {})
{
    QByteArray testo = "Partita : 06/12/2026 21:05:" + QByteArray::number(33 + secondi) + "\r\n";
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size());
}

// What a folder holds: its entries, and the record's bytes.
QByteArray stato(const QString &cartella)
{
    const QDir dir(cartella);
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).join(u'|').toUtf8()
           + '|' + contenutoDi(dir.filePath(QString::fromLatin1(NomeRegistro)));
}

// 0 starts a new game, n draws n (an append), -n withdraws n (a rewrite of what is still drawn).
EsitoScrittura passo(const RegistroPartita &registro, TabellaEstratti &estratti, int n, const QDateTime &quando)
{
    if (n == 0)
        estratti.fill(0);
    estratti[qAbs(n)] = n > 0 ? -1 : 0;
    return n == 0 ? registro.nuovaPartita(quando)
                  : (n > 0 ? registro.aggiungi(n, quando) : registro.riscrivi(estratti, quando));
}

void lettura(const char *nome, const QByteArray &contenuto, const QList<int> &numeri,
             const QString &intestazione = Intestazione)
{
    QTest::newRow(nome) << contenuto << intestazione << numeri;
}

} // namespace

class TestRegistro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        // Without its files the corpus test would pass on nothing.
        QVERIFY(QDir(QStringLiteral(CARTELLA_CORPUS)).entryList(QDir::Files).size() >= 12);
    }

    // Operation words match in any case and nothing else; any other argument
    // appends the number read from the ninth character on.
    void comandoRiconosceParoleEdEstratti_data()
    {
        QTest::addColumn<QString>("argomento");
        QTest::addColumn<Operazione>("operazione");
        QTest::addColumn<long long>("numero");
        QTest::newRow("iNiZiO") << "iNiZiO" << Operazione::Inizio << 0LL;
        QTest::newRow("aNnUlLaTo") << "aNnUlLaTo" << Operazione::Annullato << 0LL;
        QTest::newRow("Estratto12") << "Estratto12" << Operazione::Estratto << 12LL;
        QTest::newRow("ESTRATTO12") << "ESTRATTO12" << Operazione::Estratto << 12LL;
        QTest::newRow("accented first letter is one character")
            << QString::fromUtf8("Èstratto21") << Operazione::Estratto << 21LL;
        QTest::newRow("shorter than eight reads 0") << "Estr" << Operazione::Estratto << 0LL;
        QTest::newRow("word with a trailing blank") << "inizio " << Operazione::Estratto << 0LL;
        // Case-folded, the dotless i would become an I.
        QTest::newRow("dotless i") << QString::fromUtf8("ınızıo") << Operazione::Estratto << 0LL;
    }
    void comandoRiconosceParoleEdEstratti()
    {
        QFETCH(QString, argomento);
        QFETCH(Operazione, operazione);
        QFETCH(long long, numero);
        const Comando comando = interpretaComando(argomento);
        QCOMPARE(comando.operazione, operazione);
        QCOMPARE(comando.numero, numero);
    }

    // Blanks skipped, an optional sign, decimal digits; 0 without a number;
    // past the range of long long the reading saturates instead of wrapping.
    void letturaNumericaLeggeIlNumeroIniziale_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<long long>("atteso");
        QTest::newRow("leading blanks and tab") << " \t 45" << 45LL;
        QTest::newRow("stops at the first character that cannot continue") << "1 2x" << 1LL;
        QTest::newRow("leading zero is not octal") << "010" << 10LL;
        QTest::newRow("plus sign") << "+8" << 8LL;
        QTest::newRow("minus sign") << "-5" << -5LL;
        QTest::newRow("empty") << "" << 0LL;
        QTest::newRow("letter first") << "x12" << 0LL;
        QTest::newRow("blank after the sign") << "- 5" << 0LL;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("١٢") << 0LL;
        QTest::newRow("largest long long") << "9223372036854775807" << Massimo;
        QTest::newRow("2^64 + 7 does not wrap to 7") << "18446744073709551623" << Massimo;
        QTest::newRow("huge negative") << "-99999999999999999999999" << -Massimo;
    }
    void letturaNumericaLeggeIlNumeroIniziale()
    {
        QFETCH(QString, testo);
        QFETCH(long long, atteso);
        QCOMPARE(letturaNumerica(testo), atteso);
    }

    // Every locale writes the four-digit year and the seconds, and no time zone.
    void intestazioneHaAnnoInteroESenzaFusoOrario_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("esatta"); // empty: only the rules above
        QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy) << Intestazione;
        QTest::newRow("en_US, short year and zone") << QLocale(QLocale::English, QLocale::UnitedStates) << QString();
        QTest::newRow("es_ES, zone in brackets") << QLocale(QLocale::Spanish, QLocale::Spain) << QString();
    }
    void intestazioneHaAnnoInteroESenzaFusoOrario()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, esatta);
        const QDateTime quando(QDate(2026, 12, 6), QTime(21, 5, 33), QTimeZone(3600));
        const QString testo = testoIntestazione(quando, locale);
        if (!esatta.isEmpty())
            QCOMPARE(testo, esatta);
        QVERIFY2(testo.startsWith(QLatin1String("Partita : ")) && testo.contains(QLatin1String("2026"))
                     && testo.contains(QLatin1String("05:33")) && !testo.contains(QLatin1String("UTC"))
                     && !testo.contains(QLatin1Char('(')) && testo == testo.trimmed(), qPrintable(testo));
    }

    // From untrusted bytes the reader keeps the first line as header, cut to
    // 256 characters, and only the numbers 1..90 after it.
    void lettoreTieneSoloNumeriDa1a90_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("intestazione");
        QTest::addColumn<QList<int>>("numeri");
        const QByteArray h = Intestazione.toLatin1() + "\r\n";
        lettura("empty file", "", {}, "");
        lettura("header only", h, {});
        lettura("blank lines", h + "\r\n\r\n   \r\n 4 \r\n\r\n", {4});
        lettura("text lines", h + "ciao\r\n 4 \r\nx5\r\n", {4});
        lettura("negatives", h + " -1 \r\n -90 \r\n -99999999999999999999999 \r\n 2 \r\n", {2});
        QByteArray limiti = h + " 0 \r\n 1 \r\n 90 \r\n";
        for (int n = 91; n <= 100; ++n)
            limiti += rigaNumero(n);
        lettura("0 and 91..100 dropped, 1 and 90 kept", limiti, {1, 90});
        lettura("huge numbers that wrap to 7", h + " 18446744073709551623 \r\n 4294967303 \r\n 3 \r\n", {3});
        lettura("last line without line end", h + " 3 \r\n 90", {3, 90});
        lettura("duplicates kept", h + " 7 \r\n 7 \r\n 8 \r\n 7 \r\n", {7, 7, 8, 7});
        lettura("CR-only line ends", h.chopped(1) + " 1 \r 2 \r", {1, 2});
        lettura("LF-only line ends", h.chopped(2) + "\n 1 \n 2 \n", {1, 2});
        lettura("NUL bytes", QByteArrayLiteral("Parti\0ta\r\n\0 7 \r\n 8\0 \r\n 9 \r\n"), {8, 9},
                QString::fromLatin1("Parti\0ta", 8));
        lettura("header of 300 characters cut to 256 characters", "P" + QString(300, u'è').toUtf8() + "\r\n 5 \r\n",
                {5}, "P" + QString(255, u'è'));
        // Long garbage lines between the numbers; a slow reader times out here.
        QByteArray mega = h;
        QList<int> tanti;
        for (int i = 0; mega.size() < 3 * 1024 * 1024; ++i) {
            tanti << 1 + i % 90;
            mega += rigaNumero(tanti.last()) + QByteArray(500, i % 2 ? '9' : '\0') + "\n";
        }
        lettura("3 MB of numbers and garbage", mega, tanti);
    }
    void lettoreTieneSoloNumeriDa1a90()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, intestazione);
        QFETCH(QList<int>, numeri);
        const PartitaLetta letta = leggiRegistro(contenuto);
        QCOMPARE(letta.intestazione, intestazione);
        QCOMPARE(letta.numeri, numeri);
    }

    // Draws, withdrawals and new games leave these exact bytes. Files beside
    // the record, as a killed write leaves, are never read nor touched.
    void scrittureLascianoIByteAttesi_data()
    {
        // Steps one second apart from 21:05:33, as passo() takes them.
        QTest::addColumn<QByteArray>("iniziale"); // null: no file at all
        QTest::addColumn<QList<int>>("passi");
        QTest::addColumn<QByteArray>("atteso");
        const QByteArray nessuno;
        QTest::newRow("new game over an old record, then 3, 17, 5")
            << QByteArray("Partita : x\r\n 4 \r\n") << QList<int>{0, 3, 17, 5} << registroAtteso(0, {3, 17, 5});
        QTest::newRow("withdrawing 17 rewrites the rest")
            << nessuno << QList<int>{0, 3, 17, 5, -17} << registroAtteso(4, {3, 5});
        QTest::newRow("withdrawing the only number leaves the header")
            << nessuno << QList<int>{0, 8, -8} << registroAtteso(2);
        QTest::newRow("rewrite is ascending, a redraw goes at the end")
            << nessuno << QList<int>{0, 90, 1, 20, -20, 20} << registroAtteso(4, {1, 90, 20});
        QTest::newRow("append with no file starts with a header") << nessuno << QList<int>{7} << registroAtteso(0, {7});
        QTest::newRow("append to an empty file starts with a header")
            << QByteArray("") << QList<int>{7} << registroAtteso(0, {7});
        QTest::newRow("append keeps every earlier byte, adds CR LF after a last line without one")
            << QByteArrayLiteral("Partita : x\n 4 \r 0 \r\nciao\0\r\n 4") << QList<int>{9}
            << QByteArrayLiteral("Partita : x\n 4 \r 0 \r\nciao\0\r\n 4\r\n 9 \r\n");
    }
    void scrittureLascianoIByteAttesi()
    {
        QFETCH(QByteArray, iniziale);
        QFETCH(QList<int>, passi);
        QFETCH(QByteArray, atteso);
        QTemporaryDir cartella;
        const RegistroPartita registro(cartella.path());
        if (!iniziale.isNull())
            scriviFile(registro.percorso(), iniziale);
        // A save file's leftover cut mid-line, a backup copy, the name in capitals.
        const QStringList altri = {"ultima.par.x9Yz0Q", "ultima.par~", "ULTIMA.PAR"};
        const QByteArray altro = registroAtteso(0, {40, 50}) + " 6";
        for (const QString &nome : altri)
            scriviFile(cartella.filePath(nome), altro);
        QCOMPARE(registro.esiste(), !iniziale.isNull());
        TabellaEstratti estratti{};
        for (int i = 0; i < passi.size(); ++i) {
            const EsitoScrittura esito = passo(registro, estratti, passi[i], momento(i));
            QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        }
        QCOMPARE(contenutoDi(registro.percorso()), atteso);
        QCOMPARE(registro.leggi().numeri, leggiRegistro(atteso).numeri);
        for (const QString &nome : altri)
            QCOMPARE(contenutoDi(cartella.filePath(nome)), altro);
        // No temporary file survives a completed write.
        QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
    }

    // A write that fails says why and leaves the folder exactly as it was.
    void scritturaFallitaLasciaTuttoComEra_data()
    {
        QTest::addColumn<QString>("situazione");
        QTest::addColumn<int>("scrittura"); // as passo() takes it
        // Each of these fails as root too.
        for (const char *situazione : {"missing folder", "record is a directory", "/proc", "file size limit"}) {
            QTest::addRow("%s, new game", situazione) << QString::fromLatin1(situazione) << 0;
            QTest::addRow("%s, append", situazione) << QString::fromLatin1(situazione) << 77;
            QTest::addRow("%s, rewrite", situazione) << QString::fromLatin1(situazione) << -4;
        }
    }
    void scritturaFallitaLasciaTuttoComEra()
    {
        QFETCH(QString, situazione);
        QFETCH(int, scrittura);
        QTemporaryDir base;
        const QString nome = base.filePath(QString::fromLatin1(NomeRegistro));
        rlimit senza{};
        getrlimit(RLIMIT_FSIZE, &senza);
        rlimit limite = senza;
        QString cartella = base.path();
        if (situazione == QLatin1String("missing folder")) {
            cartella = base.filePath(QStringLiteral("non/esiste"));
        } else if (situazione == QLatin1String("/proc")) {
            cartella = situazione;
        } else if (situazione == QLatin1String("record is a directory")) {
            QVERIFY(QDir().mkpath(nome + QStringLiteral("/dentro")));
        } else {
            scriviFile(nome, registroAtteso(0, {4, 8, 15}));
            // A full disk, as a file size limit: the smallest write, a header, is 31 bytes.
            std::signal(SIGXFSZ, SIG_IGN);
            limite.rlim_cur = 16;
        }
        const QByteArray prima = stato(base.path());
        const RegistroPartita registro(cartella);
        TabellaEstratti estratti{};
        setrlimit(RLIMIT_FSIZE, &limite);
        const EsitoScrittura esito = passo(registro, estratti, scrittura, momento(9));
        setrlimit(RLIMIT_FSIZE, &senza);
        QVERIFY2(!esito.riuscita() && !esito.errore.trimmed().isEmpty(), "the write was reported as done");
        QCOMPARE(stato(base.path()), prima);
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/ultima.par")));
    }

    // Every past finding and hand-made nasty file passes the fuzz target's checks.
    void corpusRispettaLeInvarianti_data()
    {
        QTest::addColumn<QString>("percorso");
        for (const QFileInfo &voce : QDir(QStringLiteral(CARTELLA_CORPUS)).entryInfoList(QDir::Files | QDir::Hidden))
            QTest::newRow(qPrintable(voce.fileName())) << voce.filePath();
    }
    void corpusRispettaLeInvarianti()
    {
        QFETCH(QString, percorso);
        const char *regola = violazione(contenutoDi(percorso));
        QVERIFY2(!regola, regola);
    }
};

QTEST_GUILESS_MAIN(TestRegistro)
#include "test_registro.moc"
