// SPDX-License-Identifier: MIT
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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
    }
    void daRigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, uscita);
        QFETCH(QString, errore);
        QTemporaryDir cartella;
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
        QCOMPARE(processo.exitCode(), uscita);
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
};

QTEST_GUILESS_MAIN(TestComandoCartelle)
#include "test_comandocartelle.moc"
