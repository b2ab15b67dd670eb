// SPDX-License-Identifier: MIT
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>
#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// The real program copied alone into a folder of its own, its per-user folder inside that
// folder: "@" in an argument stands for the folder.
struct Programma {
    Programma()
    {
        QFile::copy(QStringLiteral(PERCORSO_TABELLONE), percorso());
        ambiente = QProcessEnvironment::systemEnvironment();
        for (const char *variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ambiente.remove(QString::fromLatin1(variabile));
        ambiente.insert(QStringLiteral("XDG_DATA_HOME"), dir().filePath(QStringLiteral("dati")));
        ambiente.insert(QStringLiteral("HOME"), cartella.path());
    }
    QDir dir() const { return QDir(cartella.path()); }
    QString percorso() const { return dir().filePath(QStringLiteral("tabellone")); }
    QString registro() const { return dir().filePath(QStringLiteral("dati/tabellone")); }
    QString archivio() const { return dir().filePath(QStringLiteral("dati/tabellone/blocchetti.dat")); }

    std::unique_ptr<QProcess> avvia(QStringList argomenti) const
    {
        for (QString &argomento : argomenti)
            argomento.replace(QLatin1Char('@'), cartella.path());
        auto processo = std::make_unique<QProcess>();
        processo->setProcessEnvironment(ambiente);
        processo->start(percorso(), argomenti);
        return processo;
    }

    struct Esito {
        bool finito = false; // ended by itself within the time given
        int uscita = -1;
        QString uscitaTesto, errori;
    };
    // Waits up to attesa ms; a program still running then is killed (it is this test's child).
    static Esito attendi(QProcess &processo, int attesa)
    {
        Esito esito;
        esito.finito = processo.waitForFinished(attesa);
        if (!esito.finito) {
            processo.kill();
            processo.waitForFinished(10000);
        }
        esito.uscita = processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
        esito.uscitaTesto = QString::fromUtf8(processo.readAllStandardOutput());
        esito.errori = QString::fromUtf8(processo.readAllStandardError());
        return esito;
    }
    Esito esegui(const QStringList &argomenti, int attesa = 60000) const
    {
        const auto processo = avvia(argomenti);
        return attendi(*processo, attesa);
    }

    QTemporaryDir cartella;
    QProcessEnvironment ambiente;
};

// The batch codes a run's output names ("Cartelle K3M9QX: ...").
QString codiceDetto(const QString &uscita)
{
    return QRegularExpression(QStringLiteral("^Cartelle ([0-9A-Z]{6}): ")).match(uscita).captured(1);
}

// The program's own line on stderr (Qt may warn first).
QStringList righeProprie(const QString &errori)
{
    return errori.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^tabellone: ")));
}

#ifdef Q_OS_UNIX
// Swaps, again and again from a thread of its own until it ends, a name with a hazard beside it
// (a link to collegaA, or a pipe when that is empty) by renameat2's exchange, as fast as it can:
// some swaps land between a program's look at the name and its use of it. A run that renames
// its file over the name while the hazard is there removes it: it is then made anew.
class Scambio
{
public:
    Scambio(const QString &nome, const QString &collegaA)
        : m_nome(QFile::encodeName(nome))
        , m_pericolo(m_nome + ".pericolo")
        , m_collegaA(QFile::encodeName(collegaA))
        , m_filo([this] { gira(); })
    {
    }
    ~Scambio() { ferma(); }
    void ferma()
    {
        m_fine = true;
        if (m_filo.joinable())
            m_filo.join();
    }
    std::atomic<long> scambi{0};

private:
    bool pericolo(const QByteArray &nome) const
    {
        struct stat info{};
        return lstat(nome.constData(), &info) == 0 && !S_ISREG(info.st_mode);
    }
    void gira()
    {
        while (!m_fine.load()) {
            if (!pericolo(m_nome) && !pericolo(m_pericolo)) {
                unlink(m_pericolo.constData());
                if (m_collegaA.isEmpty() ? mkfifo(m_pericolo.constData(), 0600) != 0
                                         : symlink(m_collegaA.constData(), m_pericolo.constData()) != 0)
                    return;
            }
            if (renameat2(AT_FDCWD, m_nome.constData(), AT_FDCWD, m_pericolo.constData(), RENAME_EXCHANGE) == 0)
                ++scambi;
        }
        // The regular file left at the name.
        if (pericolo(m_nome))
            renameat2(AT_FDCWD, m_nome.constData(), AT_FDCWD, m_pericolo.constData(), RENAME_EXCHANGE);
    }

    QByteArray m_nome, m_pericolo, m_collegaA;
    std::atomic<bool> m_fine{false};
    std::thread m_filo;
};
#endif

} // namespace

class TestComandoCartelle : public QObject
{
    Q_OBJECT

private slots:
    // `tabellone --cartelle N --pdf FILE` with no display at all: good arguments make the PDF
    // and keep the batch in the per-user folder, and say where; bad ones exit non-zero with an
    // Italian error and leave neither.
    void daRigaDiComando_data()
    {
        QTest::addColumn<QStringList>("argomenti"); // "@" stands for the test folder
        QTest::addColumn<int>("uscita");
        QTest::addColumn<QString>("errore"); // part of stderr; empty: none expected
        QTest::newRow("two series") << QStringList{"--cartelle", "2", "--pdf", "@/due.pdf"} << 0 << "";
        QTest::newRow("joined with =") << QStringList{"--cartelle=1", "--pdf=@/una.pdf"} << 0 << "";
        QTest::newRow("zero") << QStringList{"--cartelle", "0", "--pdf", "@/x.pdf"} << 2 << "da 1 a 500, non «0»";
        QTest::newRow("not a number") << QStringList{"--cartelle", "dieci", "--pdf", "@/x.pdf"} << 2 << "non «dieci»";
        QTest::newRow("more than 500") << QStringList{"--cartelle", "501", "--pdf", "@/x.pdf"} << 2 << "non «501»";
        QTest::newRow("no value") << QStringList{"--pdf", "@/x.pdf", "--cartelle"} << 2 << "dopo --cartelle manca";
        QTest::newRow("no count") << QStringList{"--pdf", "@/x.pdf"} << 2 << "manca --cartelle";
        QTest::newRow("another argument") << QStringList{"--cartelle", "2", "--pdf", "@/x.pdf", "-v"} << 2
                                          << "non riconosciuto: «-v»";
        QTest::newRow("no such folder") << QStringList{"--cartelle", "2", "--pdf", "@/manca/x.pdf"} << 1
                                        << "impossibile creare";
        QTest::newRow("a folder") << QStringList{"--cartelle", "2", "--pdf", "@"} << 1 << "è una cartella";
        QTest::newRow("the program itself") << QStringList{"--cartelle", "2", "--pdf", "@/tabellone"} << 2
                                            << "è un file del programma (il programma)";
        QTest::newRow("the record, not there yet") << QStringList{"--cartelle", "2", "--pdf", "@/dati/tabellone/ultima.par"}
                                                   << 2 << "è un file del programma";
        QTest::newRow("the batch file, no folder yet, spelled otherwise")
            << QStringList{"--cartelle", "2", "--pdf", "@//dati/x/../tabellone/./Blocchetti.dat"} << 2
            << "è un file del programma";
    }
    void daRigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, uscita);
        QFETCH(QString, errore);
#ifdef Q_OS_WIN
        if (argomenti.join(u' ').contains(QLatin1String("/dati/")))
            QSKIP("the per-user folder is the profile's on Windows, which a test cannot move");
#endif
        QTemporaryDir cartella;
        errore.replace(QLatin1Char('@'), cartella.path());
        const QDir dir(cartella.path());
        // Alone in its folder, with no pictures beside it, the program keeps its files per user.
        const QString programma = dir.filePath(QStringLiteral("tabellone"));
        QVERIFY(QFile::copy(QStringLiteral(PERCORSO_TABELLONE), programma));
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        for (const char *variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ambiente.remove(QString::fromLatin1(variabile));
        ambiente.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("dati")));
        ambiente.insert(QStringLiteral("HOME"), cartella.path());
        for (QString &argomento : argomenti)
            argomento.replace(QLatin1Char('@'), cartella.path());

        QProcess processo;
        processo.setProcessEnvironment(ambiente);
        processo.start(programma, argomenti);
        QVERIFY2(processo.waitForFinished(60000), "the program did not end");
        const QString testoErrore = QString::fromUtf8(processo.readAllStandardError());
        const QString testoUscita = QString::fromUtf8(processo.readAllStandardOutput());
        QCOMPARE(processo.exitStatus(), QProcess::NormalExit);
        QVERIFY2(processo.exitCode() == uscita, qPrintable(QStringLiteral("exit %1: %2").arg(processo.exitCode()).arg(testoErrore)));
        QString pdf;
        for (qsizetype i = 0; i < argomenti.size(); ++i) {
            if (argomenti.at(i).startsWith(QLatin1String("--pdf=")))
                pdf = argomenti.at(i).mid(6);
            else if (argomenti.at(i) == QLatin1String("--pdf") && i + 1 < argomenti.size())
                pdf = argomenti.at(i + 1);
        }
        const QString archivio = dir.filePath(QStringLiteral("dati/tabellone/blocchetti.dat"));
#ifdef Q_OS_WIN
        // The per-user folder is the profile's own there: no variable moves it into the test's folder.
        const bool archivioQui = false;
#else
        const bool archivioQui = true;
#endif
        if (errore.isEmpty()) {
            QVERIFY2(testoUscita.contains(QDir::toNativeSeparators(pdf)), qPrintable(testoUscita + testoErrore));
            // Six cards a series, numbered on after the batches already kept (on Windows the
            // per-user folder is the profile's, shared by every row).
            const auto fatta = QRegularExpression(QStringLiteral(": ([12]) serie, cartelle da (\\d+) a (\\d+), in ")).match(testoUscita);
            QVERIFY2(fatta.hasMatch() && fatta.captured(3).toInt() - fatta.captured(2).toInt() + 1 == 6 * fatta.captured(1).toInt()
                         && (fatta.captured(2).toInt() - 1) % 6 == 0,
                     qPrintable(testoUscita));
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
            QVERIFY(QFileInfo::exists(archivio) || !archivioQui);
        } else {
            // Qt may warn first; the program's own line says what went wrong.
            const QStringList proprie = testoErrore.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^tabellone: ")));
            QVERIFY2(proprie.size() == 1 && proprie.constFirst().contains(errore), qPrintable(testoErrore));
            QVERIFY(!QFileInfo::exists(archivio));
            QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     (QStringList{QStringLiteral("dati"), QStringLiteral("tabellone")}).filter(QRegularExpression(
                         uscita == 2 || !archivioQui ? QStringLiteral("^tabellone$") : QStringLiteral("."))));
        }
    }

    // Batches made one after another are numbered on, and each run says which cards it made.
    void numeratiDiSeguito()
    {
#ifdef Q_OS_WIN
        QSKIP("the per-user folder is the profile's own there: no variable moves it into the test's folder");
#endif
        const Programma programma;
        const QStringList attesi = {QStringLiteral("cartelle da 1 a 12,"), QStringLiteral("cartelle da 13 a 18,"),
                                    QStringLiteral("cartelle da 19 a 78,")};
        const int serie[] = {2, 1, 10};
        for (int i = 0; i < 3; ++i) {
            const auto esito = programma.esegui({QStringLiteral("--cartelle"), QString::number(serie[i]),
                                                 QStringLiteral("--pdf"), QStringLiteral("@/%1.pdf").arg(i)});
            QCOMPARE(esito.uscita, 0);
            QVERIFY2(esito.uscitaTesto.contains(attesi[i]), qPrintable(esito.uscitaTesto));
        }
    }

    // Runs at once each keep their batch: N runs that say they made one leave N lines, N codes,
    // card numbers that never overlap. Rounds of two to five at a time.
    void stampeInsieme()
    {
#ifdef Q_OS_WIN
        QSKIP("the per-user folder is the profile's own there: no variable moves it into the test's folder");
#endif
        const Programma programma;
        int fatte = 0;
        QSet<QString> codici;
        for (const int insieme : {2, 5, 5, 3}) {
            std::vector<std::unique_ptr<QProcess>> processi;
            for (int i = 0; i < insieme; ++i)
                processi.push_back(programma.avvia({QStringLiteral("--cartelle"), QString::number(1 + i % 3),
                                                    QStringLiteral("--pdf"),
                                                    QStringLiteral("@/p%1.pdf").arg(fatte + i)}));
            for (auto &processo : processi) {
                const auto esito = Programma::attendi(*processo, 120000);
                QVERIFY2(esito.finito && esito.uscita == 0, qPrintable(esito.errori));
                codici.insert(codiceDetto(esito.uscitaTesto));
            }
            fatte += insieme;
        }
        QCOMPARE(codici.size(), fatte);
        const QList<QByteArray> righe = contenutoDi(programma.archivio()).split('\n').mid(1);
        QList<std::pair<int, int>> intervalli;
        QSet<QString> scritti;
        for (const QByteArray &riga : righe) {
            const QList<QByteArray> campi = riga.trimmed().split(' ');
            if (!riga.trimmed().isEmpty())
                scritti.insert(QString::fromLatin1(campi[0]));
            if (campi.size() == 6)
                intervalli.append({campi[4].toInt(), campi[4].toInt() + 6 * campi[2].toInt() - 1});
        }
        QCOMPARE(scritti, codici);
        QCOMPARE(intervalli.size(), fatte);
        std::sort(intervalli.begin(), intervalli.end());
        QCOMPARE(intervalli.constFirst().first, 1);
        for (qsizetype i = 1; i < intervalli.size(); ++i)
            QCOMPARE(intervalli[i].first, intervalli[i - 1].second + 1);
    }

    // --pdf naming one of the program's own files, however spelled and through any link, is
    // refused before anything is written: exit 2, one Italian line, every file as it was.
    void nonSuiFileDelProgramma_data()
    {
        QTest::addColumn<QString>("pdf");
        // A link to this made first at pdf (or, for a file not named .pdf, at its folder); "hard:", a
        // second name; empty: none.
        QTest::addColumn<QString>("collegamento");
        QTest::newRow("the batch file") << "@/dati/tabellone/blocchetti.dat" << "";
        QTest::newRow("the batch file, spelled otherwise") << "@/dati/./tabellone/../tabellone//blocchetti.dat" << "";
        QTest::newRow("the batch file's lock") << "@/dati/tabellone/blocchetti.dat.lock" << "";
        QTest::newRow("the record, not there yet") << "@/dati/tabellone/ultima.par" << "";
        QTest::newRow("the record's lock, not there yet") << "@/dati/tabellone/ultima.par.lock" << "";
        QTest::newRow("the executable") << "@/tabellone" << "";
        QTest::newRow("the executable, relative") << "tabellone" << "";
        QTest::newRow("a link to the batch file") << "@/cartelle.pdf" << "@/dati/tabellone/blocchetti.dat";
        QTest::newRow("a link to the record, not there yet") << "@/cartelle.pdf" << "@/dati/tabellone/ultima.par";
        QTest::newRow("a link to the executable") << "@/cartelle.pdf" << "@/tabellone";
        QTest::newRow("through a linked folder") << "@/scorciatoia/blocchetti.dat" << "@/dati/tabellone";
        QTest::newRow("a second name of the batch file") << "@/cartelle.pdf" << "hard:@/dati/tabellone/blocchetti.dat";
    }
    void nonSuiFileDelProgramma()
    {
#ifndef Q_OS_UNIX
        QSKIP("links made the Unix way");
#else
        QFETCH(QString, pdf);
        QFETCH(QString, collegamento);
        const Programma programma;
        QCOMPARE(programma.esegui({QStringLiteral("--cartelle"), QStringLiteral("1"), QStringLiteral("--pdf"),
                                   QStringLiteral("@/primo.pdf")}).uscita, 0);
        const QString radice = programma.cartella.path();
        pdf.replace(QLatin1Char('@'), radice);
        collegamento.replace(QLatin1Char('@'), radice);
        if (collegamento.startsWith(QLatin1String("hard:")))
            QVERIFY(::link(QFile::encodeName(collegamento.mid(5)).constData(), QFile::encodeName(pdf).constData()) == 0);
        else if (!collegamento.isEmpty())
            QVERIFY(QFile::link(collegamento, pdf.endsWith(QLatin1String(".pdf")) ? pdf : QFileInfo(pdf).path()));
        const auto stato = [&] {
            QByteArray tutto;
            for (const QString &cartella : {radice, programma.registro()}) {
                for (const QFileInfo &info : QDir(cartella).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
                    tutto += info.fileName().toUtf8() + ' ' + QByteArray::number(info.size()) + ' '
                             + (info.isFile() && !info.isSymLink() && info.size() < 100000 ? contenutoDi(info.filePath()) : "") + '\n';
            }
            return tutto + contenutoDi(programma.percorso()).left(64);
        };
        const QByteArray prima = stato();
        QProcess processo;
        processo.setProcessEnvironment(programma.ambiente);
        processo.setWorkingDirectory(radice);
        processo.start(programma.percorso(), {QStringLiteral("--cartelle"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf});
        const auto esito = Programma::attendi(processo, 60000);
        QCOMPARE(esito.uscita, 2);
        const QStringList proprie = righeProprie(esito.errori);
        QVERIFY2(proprie.size() == 1 && proprie.constFirst().contains(QStringLiteral("è un file del programma")),
                 qPrintable(esito.errori));
        QCOMPARE(stato(), prima);
#endif
    }

    // A link swapped in and out at the batch file's name while runs save, again and again:
    // the private file it points to is never written, and every run ends by itself, saying
    // why when it refuses.
    void collegamentoScambiato()
    {
#ifndef Q_OS_UNIX
        QSKIP("a name swapped with renameat2");
#else
        const Programma programma;
        QCOMPARE(programma.esegui({QStringLiteral("--cartelle"), QStringLiteral("1"), QStringLiteral("--pdf"),
                                   QStringLiteral("@/primo.pdf")}).uscita, 0);
        const QString privato = programma.dir().filePath(QStringLiteral("privato"));
        {
            QFile file(privato);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("segreto\n") == 8);
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        }
        Scambio scambio(programma.archivio(), privato);
        const auto [giri, riuscite] = giriDiCorsa(programma, 100, 20000);
        scambio.ferma();
        qInfo("%d runs, %d kept their batch, %ld swaps", giri, riuscite, scambio.scambi.load());
        QCOMPARE(contenutoDi(privato), QByteArray("segreto\n"));
        QCOMPARE(QFileInfo(privato).permissions() & 0x7777, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
#endif
    }

    // A pipe swapped in and out at the batch file's name: no run waits on it.
    void pipaScambiata()
    {
#ifndef Q_OS_UNIX
        QSKIP("a name swapped with renameat2");
#else
        const Programma programma;
        QCOMPARE(programma.esegui({QStringLiteral("--cartelle"), QStringLiteral("1"), QStringLiteral("--pdf"),
                                   QStringLiteral("@/primo.pdf")}).uscita, 0);
        Scambio scambio(programma.archivio(), QString());
        const auto [giri, riuscite] = giriDiCorsa(programma, 100, 20000);
        scambio.ferma();
        qInfo("%d runs, %d kept their batch, %ld swaps", giri, riuscite, scambio.scambi.load());
#endif
    }

private:
    // Runs one after another, up to giri or for at most durata ms; each must end by itself
    // within 20 s, with success or one line of the program's saying why not. Returns the runs
    // made and those that succeeded.
    static std::pair<int, int> giriDiCorsa(const Programma &programma, int giri, int durata)
    {
        QElapsedTimer tempo;
        tempo.start();
        int fatti = 0, riuscite = 0;
        for (; fatti < giri && tempo.elapsed() < durata; ++fatti) {
            const auto esito = programma.esegui({QStringLiteral("--cartelle"), QStringLiteral("1"), QStringLiteral("--pdf"),
                                                 QStringLiteral("@/giro.pdf")}, 20000);
            if (!esito.finito) {
                QTest::qFail(qPrintable(QStringLiteral("run %1 did not end in 20 s").arg(fatti + 1)), __FILE__, __LINE__);
                return {fatti + 1, riuscite};
            }
            if (esito.uscita == 0) {
                ++riuscite;
                continue;
            }
            if (esito.uscita != 1 || righeProprie(esito.errori).size() != 1) {
                QTest::qFail(qPrintable(QStringLiteral("run %1: exit %2, %3").arg(fatti + 1).arg(esito.uscita).arg(esito.errori)),
                             __FILE__, __LINE__);
                return {fatti + 1, riuscite};
            }
        }
        return {fatti, riuscite};
    }
};

QTEST_GUILESS_MAIN(TestComandoCartelle)
#include "test_comandocartelle.moc"
