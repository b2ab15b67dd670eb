// SPDX-License-Identifier: MIT
#include "cartelle.h"
#include "registro.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimeZone>

#include <csignal>
#include <limits>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Where the folder choice finds a record (Lasciata) in the program folder, and the per-user folder.
enum class Registro { Nessuno, Scrivibile, SolaLettura };
enum class Utente { Esiste, Manca, NonCreabile };
const QByteArray Lasciata = QByteArrayLiteral("Partita : 01/01/2020 10:00:00\r\n 7 \r\n");
const QByteArray Continuata = QByteArrayLiteral("Partita : 02/01/2020 10:00:00\r\n 7 \r\n 8 \r\n");
const QByteArray Nessuno = QByteArrayLiteral("<unreadable>");

bool solaLettura(const QString &percorso, bool cartella)
{
    return QFile::setPermissions(percorso, cartella ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
}

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : Nessuno;
}

bool scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size();
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
                  : (n > 0 ? registro.aggiungi(n, estratti, quando) : registro.riscrivi(estratti, quando));
}

// Runs as an ordinary user while it lives, so that permissions hold for a
// test started as root too; the folder gets a mode that lets that user in.
class ComeUtenteComune
{
public:
    explicit ComeUtenteComune(const QString &cartella, mode_t modo = 0777)
    {
        chmod(QFile::encodeName(cartella).constData(), modo);
        if (geteuid() != 0)
            return;
        m_attivo = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
    }
    ~ComeUtenteComune()
    {
        if (m_attivo && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0))
            std::abort();
    }
    bool riuscito() const { return m_attivo || geteuid() != 0; }

private:
    bool m_attivo = false;
};

// Gives its bytes, then fails as a disk that goes away does.
class Guasto : public QBuffer
{
public:
    explicit Guasto(const QByteArray &dati)
    {
        setData(dati);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *dove, qint64 massimo) override
    {
        const qint64 n = QBuffer::readData(dove, massimo);
        if (n == 0)
            setErrorString(QStringLiteral("Input/output error"));
        return n == 0 ? -1 : n;
    }
};

void lettura(const char *nome, const QByteArray &contenuto, const QList<int> &numeri,
             const QString &intestazione = Intestazione)
{
    QTest::newRow(nome) << contenuto << intestazione << numeri;
}

} // namespace

Q_DECLARE_METATYPE(Operazione)
Q_DECLARE_METATYPE(Registro)
Q_DECLARE_METATYPE(Utente)

class TestRegistro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        // Without its files the corpus test would pass on nothing.
        QVERIFY(QDir(QStringLiteral(CARTELLA_CORPUS)).entryList(QDir::Files).size() >= 20);
    }

    // Operation words match in any case and nothing else; any other argument appends the number
    // read from the ninth character on: blanks skipped, an optional sign, decimal digits, 0 without
    // a number, and past the range of long long the reading saturates instead of wrapping.
    void comandoRiconosceParoleEdEstratti_data()
    {
        QTest::addColumn<QString>("argomento");
        QTest::addColumn<Operazione>("operazione");
        QTest::addColumn<long long>("numero");
        QTest::newRow("iNiZiO") << "iNiZiO" << Operazione::Inizio << 0LL;
        QTest::newRow("aNnUlLaTo") << "aNnUlLaTo" << Operazione::Annullato << 0LL;
        QTest::newRow("word with a trailing blank") << "inizio " << Operazione::Estratto << 0LL;
        // Case-folded, the dotless i would become an I.
        QTest::newRow("dotless i") << QString::fromUtf8("ınızıo") << Operazione::Estratto << 0LL;
        QTest::newRow("accented first letter is one character")
            << QString::fromUtf8("Èstratto21") << Operazione::Estratto << 21LL;
        QTest::newRow("shorter than eight reads 0") << "Estr" << Operazione::Estratto << 0LL;
        const std::pair<const char *, long long> numeri[] = {
            {"12", 12}, {" \t 45", 45}, {"1 2x", 1}, {"010", 10}, {"+8", 8}, {"-5", -5}, {"", 0}, {"x12", 0},
            {"- 5", 0}, {"١٢", 0}, {"9223372036854775807", Massimo}, {"18446744073709551623", Massimo},
            {"-99999999999999999999999", -Massimo}};
        for (const auto &[testo, numero] : numeri)
            QTest::addRow("Estratto%s", testo)
                << "ESTRATTO" + QString::fromUtf8(testo) << Operazione::Estratto << numero;
    }
    void comandoRiconosceParoleEdEstratti()
    {
        QFETCH(QString, argomento);
        const Comando comando = interpretaComando(argomento);
        QTEST(comando.operazione, "operazione");
        QTEST(comando.numero, "numero");
    }

    // Every locale writes the four-digit year and the seconds, and no time zone.
    void intestazioneHaAnnoInteroESenzaFusoOrario_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy);
        QTest::newRow("en_US, short year and zone") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("es_ES, zone in brackets") << QLocale(QLocale::Spanish, QLocale::Spain);
    }
    void intestazioneHaAnnoInteroESenzaFusoOrario()
    {
        QFETCH(QLocale, locale);
        const QString testo = testoIntestazione({QDate(2026, 12, 6), QTime(21, 5, 33), QTimeZone(3600)}, locale);
        QVERIFY2(testo.startsWith(QLatin1String("Partita : ")) && testo.contains(QLatin1String("2026"))
                     && testo.contains(QLatin1String("05:33")) && !testo.contains(QLatin1String("UTC"))
                     && !testo.contains(QLatin1Char('(')) && testo == testo.trimmed(), qPrintable(testo));
    }

    // From untrusted bytes the reader keeps the first line as header, cut to
    // 256 characters, and after it each number 1..90 once, first seen first,
    // from whole lines of at most 1024 bytes: no limit makes a number of part of a line.
    // Line ends, text lines and numbers out of range are the corpus's (see below).
    void lettoreTieneSoloNumeriDa1a90_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("intestazione");
        QTest::addColumn<QList<int>>("numeri");
        const QByteArray h = Intestazione.toLatin1() + "\r\n";
        lettura("empty file", "", {}, "");
        lettura("huge numbers that wrap to 7", h + " 18446744073709551623 \r\n 4294967303 \r\n 3 \r\n", {3});
        lettura("duplicates once, first seen first; last line without end",
                h + " 7 \r\n 7 \r\n 8 \r\n 3 \r\n 8 \r\n 90", {7, 8, 3, 90});
        lettura("NUL bytes", QByteArrayLiteral("Parti\0ta\r\n\0 7 \r\n 8\0 \r\n 9 \r\n"), {8, 9},
                QString::fromLatin1("Parti\0ta", 8));
        // Cut in characters, not bytes, from a header line past the line limit.
        lettura("header of 3000 characters: its first 256, then the numbers",
                "P" + QString(3000, u'è').toUtf8() + "\r\n 5 \r\n", {5}, "P" + QString(255, u'è'));
        lettura("longest line: 1024 bytes", h + QByteArray(1022, ' ') + "7 \r\n 8 \r\n", {7, 8});
        lettura("a line of 1025 bytes is skipped whole", h + QByteArray(1023, ' ') + "7 \r\n 8 \r\n", {8});
        lettura("a long line starting with a number is skipped whole",
                h + " 4" + QByteArray(5000, ' ') + "5\r\n 6 ", {6});
        // Lines straddling the reader's 64 KiB blocks, the last line without end.
        QByteArray blocchi = h;
        while (blocchi.size() < 65536 - 2)
            blocchi += "x\r\n";
        lettura("number lines across block boundaries", blocchi + " 88 \r\n" + QByteArray(65530, '-') + "\r\n 12",
                {88, 12});
        // Past the read limit of earlier versions, which cut a line into " 4".
        QByteArray oltre = "Partita : 01/12/2026 20:00:00 \r\n";
        while (oltre.size() < 16 * 1024 * 1024 + 3)
            oltre += " 45 \r\n";
        lettura("17 MB: every line counts, none is cut", oltre + " 88 \r\n", {45, 88},
                QStringLiteral("Partita : 01/12/2026 20:00:00 "));
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
    // the record, as a killed write leaves, are never read nor touched. A
    // record over 64 KiB is not copied: the draw rebuilds it from the board.
    void scrittureLascianoIByteAttesi_data()
    {
        // Steps one second apart from 21:05:33, as passo() takes them.
        QTest::addColumn<QByteArray>("iniziale"); // null: no file at all
        QTest::addColumn<QList<int>>("tabellone"); // drawn on the board before the steps
        QTest::addColumn<QList<int>>("passi");
        QTest::addColumn<QByteArray>("atteso");
        const QByteArray nessuno;
        const QList<int> vuoto;
        QTest::newRow("new game over an old record, then 3, 17, 5")
            << QByteArray("Partita : x\r\n 4 \r\n") << vuoto << QList<int>{0, 3, 17, 5}
            << registroAtteso(0, {3, 17, 5});
        QTest::newRow("withdrawing the only number leaves the header")
            << nessuno << vuoto << QList<int>{0, 8, -8} << registroAtteso(2);
        QTest::newRow("rewrite is ascending, a redraw goes at the end")
            << nessuno << vuoto << QList<int>{0, 90, 1, 20, -20, 20} << registroAtteso(4, {1, 90, 20});
        QTest::newRow("append with no file starts with a header")
            << nessuno << vuoto << QList<int>{7} << registroAtteso(0, {7});
        QTest::newRow("append to an empty file starts with a header")
            << QByteArray("") << vuoto << QList<int>{7} << registroAtteso(0, {7});
        QTest::newRow("append keeps every earlier byte, adds CR LF after a last line without one")
            << QByteArrayLiteral("Partita : x\n 4 \r 0 \r\nciao\0\r\n 4") << vuoto << QList<int>{9}
            << QByteArrayLiteral("Partita : x\n 4 \r 0 \r\nciao\0\r\n 4\r\n 9 \r\n");
        const QByteArray testa = "Partita : x\r\n 4 \r\n";
        const QByteArray giusto = testa + QByteArray(RegistroPartita::LimiteCopia - testa.size() - 2, '-') + "\r\n";
        QTest::newRow("a record of exactly 64 KiB is appended to")
            << giusto << QList<int>{4, 60} << QList<int>{9} << giusto + " 9 \r\n";
        QTest::newRow("one byte more and it is rebuilt from the board, the new number last")
            << "-" + giusto << QList<int>{60, 4} << QList<int>{9, 2} << registroAtteso(0, {4, 60, 9, 2});
    }
    void scrittureLascianoIByteAttesi()
    {
        QFETCH(QByteArray, iniziale);
        QFETCH(QList<int>, tabellone);
        QFETCH(QList<int>, passi);
        QFETCH(QByteArray, atteso);
        QTemporaryDir cartella;
        const RegistroPartita registro(cartella.path());
        if (!iniziale.isNull())
            QVERIFY(scriviFile(registro.percorso(), iniziale));
        // A save file's leftover cut mid-line, a backup copy, the name in capitals.
        const QStringList altri = {"ultima.par.x9Yz0Q", "ultima.par~", "ULTIMA.PAR"};
        const QByteArray altro = registroAtteso(0, {40, 50}) + " 6";
        for (const QString &nome : altri)
            QVERIFY(scriviFile(cartella.filePath(nome), altro));
        QCOMPARE(registro.esiste(), !iniziale.isNull());
        TabellaEstratti estratti{};
        for (const int n : tabellone)
            estratti[n] = -1;
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

    // Without the board an oversized record is rebuilt from its own numbers.
    void aggiuntaSenzaTabelloneRicostruisceDalRegistro()
    {
        QTemporaryDir cartella;
        const RegistroPartita registro(cartella.path());
        QVERIFY(scriviFile(registro.percorso(),
                           "Partita : x\r\n 40 \r\n" + QByteArray(70000, '9') + "\r\n 7 \r\n 40 \r\n"));
        QVERIFY(registro.aggiungi(20, momento(0)).riuscita());
        QCOMPARE(contenutoDi(registro.percorso()), registroAtteso(0, {7, 40, 20}));
    }

    // A record that exists but cannot be read is told with the real reason,
    // in the start-time message too; lines read before a failing read count,
    // the one it cuts does not.
    void letturaImpossibileDiceIlMotivo_data()
    {
        QTest::addColumn<QString>("situazione");
        QTest::addColumn<QString>("motivo"); // empty: read, or no record
        QTest::addColumn<QList<int>>("numeri");
        QTest::newRow("no record") << "nessuno" << QString() << QList<int>{};
        QTest::newRow("a folder of that name") << "cartella" << QStringLiteral("è una cartella") << QList<int>{};
        QTest::newRow("a pipe of that name") << "fifo" << QStringLiteral("non è un file ordinario") << QList<int>{};
        QTest::newRow("no permission to read") << "000" << QStringLiteral("permesso negato") << QList<int>{};
        QTest::newRow("read fails in the middle of a line")
            << "guasto" << QStringLiteral("la lettura si è interrotta (Input/output error)") << QList<int>{7};
    }
    void letturaImpossibileDiceIlMotivo()
    {
        QFETCH(QString, situazione);
        QFETCH(QString, motivo);
        QTemporaryDir cartella;
        const RegistroPartita registro(cartella.path());
        const QByteArray nome = QFile::encodeName(registro.percorso());
        PartitaLetta letta;
        if (situazione == QLatin1String("guasto")) {
            Guasto dispositivo(Intestazione.toLatin1() + "\r\n 7 \r\n 4");
            letta = leggiRegistro(dispositivo);
        } else {
            if (situazione == QLatin1String("cartella"))
                QVERIFY(QDir().mkpath(registro.percorso()));
            else if (situazione == QLatin1String("fifo"))
                QCOMPARE(mkfifo(nome.constData(), 0644), 0);
            else if (situazione == QLatin1String("000"))
                QVERIFY(scriviFile(registro.percorso(), registroAtteso(0, {5})) && chmod(nome.constData(), 0) == 0);
            const ComeUtenteComune utente(cartella.path());
            QVERIFY(utente.riuscito());
            letta = registro.leggi();
        }
        QCOMPARE(letta.errore, motivo);
        QTEST(letta.numeri, "numeri");
        const QString messaggio = messaggioLettura(registro.percorso(), letta.errore);
        QVERIFY2(messaggio.contains(QDir::toNativeSeparators(registro.percorso())) && messaggio.contains(motivo),
                 qPrintable(messaggio));
    }

    // At start only the leftovers of the record's own atomic writes go:
    // regular files named "ultima.par." and six letters, beside the record.
    void pulisciTemporaneiTogliSoloIPropri()
    {
        QTemporaryDir base;
        const QDir cartella(base.path());
        // A name made by Qt's own generator for that template.
        QTemporaryFile propria(cartella.filePath(QStringLiteral("ultima.par.XXXXXX")));
        propria.setAutoRemove(false);
        QVERIFY(propria.open());
        const QStringList restano = {"ultima.par", "ultima.par.bak", "altra.par.ABCdef", "ultima.par.abc12z",
                                     "ultima.par.abcdefg", "ULTIMA.PAR.abcdef", "xultima.par.abcdef"};
        for (const QString &nome : restano + QStringList{QFileInfo(propria).fileName(), "ultima.par.AbCdEz"})
            QVERIFY(scriviFile(cartella.filePath(nome), "Partita : x\r\n"));
        QVERIFY(cartella.mkdir(QStringLiteral("ultima.par.qwerty")));
        QVERIFY(QFile::link(cartella.filePath(QStringLiteral("ultima.par")),
                            cartella.filePath(QStringLiteral("ultima.par.zzzzzz"))));
        QCOMPARE(RegistroPartita(base.path()).pulisciTemporanei(), 2);
        QStringList attese = restano + QStringList{"ultima.par.qwerty", "ultima.par.zzzzzz"};
        attese.sort();
        QCOMPARE(cartella.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
                 attese);
    }

    // A write that fails names the real reason and leaves the folder exactly as it was.
    void scritturaFallitaLasciaTuttoComEra_data()
    {
        QTest::addColumn<QString>("situazione");
        QTest::addColumn<int>("scrittura"); // as passo() takes it
        QTest::addColumn<QString>("motivo"); // part of the message
        const std::pair<const char *, const char *> casi[] = {
            {"missing folder", "la cartella"}, {"record is a directory", "è una cartella"},
            {"file size limit", "la scrittura non è riuscita"}, {"read-only record", "il file è di sola lettura"},
            {"unreadable record", "permesso negato"}, {"read-only folder", "la cartella non permette di scrivere"}};
        const std::pair<const char *, int> scritture[] = {{"new game", 0}, {"append", 77}, {"rewrite", -4}};
        for (const auto &[situazione, motivo] : casi) {
            for (const auto &[come, scrittura] : scritture)
                QTest::addRow("%s, %s", situazione, come)
                    << QString::fromLatin1(situazione) << scrittura << QString::fromUtf8(motivo);
        }
    }
    void scritturaFallitaLasciaTuttoComEra()
    {
        QFETCH(QString, situazione);
        QFETCH(int, scrittura);
        QFETCH(QString, motivo);
        QTemporaryDir base;
        const QString nome = base.filePath(QString::fromLatin1(NomeRegistro));
        QString cartella = base.path();
        if (situazione == QLatin1String("missing folder")) {
            cartella = base.filePath(QStringLiteral("non/esiste"));
        } else if (situazione == QLatin1String("record is a directory")) {
            QVERIFY(QDir().mkpath(nome + QStringLiteral("/dentro")));
        } else {
            QVERIFY(scriviFile(nome, registroAtteso(0, {4, 8, 15})));
            // Writable by the ordinary user unless the case takes that away.
            chmod(QFile::encodeName(nome).constData(), situazione == QLatin1String("read-only record")    ? 0444
                                                       : situazione == QLatin1String("unreadable record") ? 0
                                                                                                           : 0666);
        }
        rlimit senza{};
        getrlimit(RLIMIT_FSIZE, &senza);
        rlimit limite = senza;
        if (situazione == QLatin1String("file size limit")) {
            // A disk that is not full, and a limit 3 bytes short of the new record: a write
            // in place, as a kill in the middle of one, would leave the record cut.
            const QByteArray nuovo = scrittura > 0 ? registroAtteso(0, {4, 8, 15, 77}) : registroAtteso(9);
            std::signal(SIGXFSZ, SIG_IGN);
            limite.rlim_cur = rlim_t(nuovo.size() - 3);
        }
        const QByteArray prima = stato(base.path());
        const RegistroPartita registro(cartella);
        TabellaEstratti estratti{};
        EsitoScrittura esito;
        {
            std::optional<ComeUtenteComune> utente;
            if (situazione.startsWith(QLatin1String("read-only")) || situazione.startsWith(QLatin1String("unreadable")))
                utente.emplace(base.path(), situazione.endsWith(QLatin1String("folder")) ? 0555 : 0777);
            QVERIFY(!utente || utente->riuscito());
            setrlimit(RLIMIT_FSIZE, &limite);
            esito = passo(registro, estratti, scrittura, momento(9));
            setrlimit(RLIMIT_FSIZE, &senza);
        }
        chmod(QFile::encodeName(base.path()).constData(), 0700);
        QVERIFY2(!esito.riuscita() && esito.errore.contains(motivo), qPrintable(esito.errore));
        QCOMPARE(stato(base.path()), prima);
    }

    // The record stays in the program folder only where it can be replaced there; otherwise it
    // moves to the per-user folder (created if missing) carrying the program folder's game with
    // it, unless a game was already continued there; with nowhere to write, it says where it tried.
    void sceltaDelleCartelle_data()
    {
        QTest::addColumn<QString>("poste");        // pictures in "bin", in "share" (../share/tabellone) or nowhere
        QTest::addColumn<bool>("programmaChiuso"); // program folder read-only
        QTest::addColumn<Registro>("registro");    // a record in the program folder (Lasciata)
        QTest::addColumn<Utente>("utente");
        QTest::addColumn<bool>("continuata");      // the per-user folder already holds Continuata
        QTest::addColumn<QString>("immagini");     // "bin" or "share"
        QTest::addColumn<QString>("cartella");     // "bin", "utente" or "" (not saved)
        QTest::addColumn<QByteArray>("contenuto"); // the record there once carried over

        using R = Registro;
        using U = Utente;
        QTest::newRow("writable program folder keeps its own record")
            << "bin" << false << R::Scrivibile << U::Esiste << true << "bin" << "bin" << Lasciata;
        QTest::newRow("read-only program folder moves the game to the user")
            << "bin" << true << R::Scrivibile << U::Esiste << false << "bin" << "utente" << Lasciata;
        QTest::newRow("read-only record in a writable folder moves to the user")
            << "bin" << false << R::SolaLettura << U::Esiste << false << "bin" << "utente" << Lasciata;
        QTest::newRow("a game already continued by the user is not overwritten")
            << "bin" << true << R::SolaLettura << U::Esiste << true << "bin" << "utente" << Continuata;
        QTest::newRow("installed: pictures from share, a stray record in bin ignored")
            << "share" << false << R::Scrivibile << U::Esiste << false << "share" << "utente" << Nessuno;
        QTest::newRow("installed: missing per-user folder is created")
            << "share" << true << R::Nessuno << U::Manca << false << "share" << "utente" << Nessuno;
        QTest::newRow("installed: per-user folder cannot be created, not saved")
            << "share" << true << R::Nessuno << U::NonCreabile << false << "share" << "" << Nessuno;
        QTest::newRow("nothing writable beside the pictures: not saved, both tried")
            << "bin" << true << R::SolaLettura << U::NonCreabile << false << "bin" << "" << Nessuno;
        QTest::newRow("no pictures anywhere: looked for beside the executable")
            << "" << false << R::Nessuno << U::Esiste << false << "bin" << "utente" << Nessuno;
    }
    void sceltaDelleCartelle()
    {
        QFETCH(QString, poste);
        QFETCH(bool, programmaChiuso);
        QFETCH(Registro, registro);
        QFETCH(Utente, utente);
        QFETCH(bool, continuata);
        QFETCH(QString, immagini);
        QFETCH(QString, cartella);
        QTemporaryDir radice;
        // Permissions mean nothing to root, and CI runs as root: as nobody, as a player would.
        const ComeUtenteComune comune(radice.path());
        QVERIFY(comune.riuscito());
        const QDir r(radice.path());
        const QString bin = r.filePath(QStringLiteral("usr/bin"));
        const QString share = r.filePath(QStringLiteral("usr/share/tabellone"));
        const QString casa = r.filePath(QStringLiteral("casa/.local/share"));
        const QString dati = casa + QStringLiteral("/tabellone");
        const QString lasciata = bin + QStringLiteral("/ultima.par");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share) && QDir().mkpath(casa));
        if (!poste.isEmpty())
            QVERIFY(scriviFile((poste == QLatin1String("bin") ? bin : share) + QStringLiteral("/img00.gif"), "GIF89a"));
        if (registro != Registro::Nessuno)
            QVERIFY(scriviFile(lasciata, Lasciata));
        if (registro == Registro::SolaLettura)
            QVERIFY(solaLettura(lasciata, false));
        if (utente == Utente::Esiste)
            QVERIFY(QDir().mkpath(dati));
        if (continuata)
            QVERIFY(scriviFile(dati + QStringLiteral("/ultima.par"), Continuata));
        if (programmaChiuso)
            QVERIFY(solaLettura(bin, true));
        if (utente == Utente::NonCreabile)
            QVERIFY(solaLettura(casa, true));

        const Cartelle scelta = scegliCartelle(bin, dati);
        QCOMPARE(scelta.immagini, immagini == QLatin1String("bin") ? bin : share);
        const QString attesa = cartella.isEmpty() ? QString() : (cartella == QLatin1String("bin") ? bin : dati);
        QCOMPARE(scelta.registro, attesa);
        QCOMPARE(scelta.salvata(), !cartella.isEmpty());

        QVERIFY(riportaPartita(scelta).riuscita());
        if (scelta.salvata()) {
            QTEST(contenutoDi(attesa + QStringLiteral("/ultima.par")), "contenuto");
            // The place chosen really takes the game's writes.
            const EsitoScrittura esito = RegistroPartita(scelta.registro).aggiungi(9, QDateTime::currentDateTime());
            QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        } else {
            // Told where it tried: the program folder only where the pictures made it one.
            const QStringList tentate = poste == QLatin1String("bin") ? QStringList{bin, dati} : QStringList{dati};
            QCOMPARE(scelta.tentate, tentate);
            const QString avviso = avvisoNonSalvata(scelta);
            QVERIFY(avviso.contains(QStringLiteral("NON viene salvata")));
            for (const QString &c : tentate)
                QVERIFY2(avviso.contains(QDir::toNativeSeparators(c)), qPrintable(avviso));
        }
        // The program folder's own record is never changed by the choice.
        if (registro != Registro::Nessuno)
            QCOMPARE(contenutoDi(lasciata), cartella == QLatin1String("bin") ? Lasciata + " 9 \r\n" : Lasciata);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(casa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
