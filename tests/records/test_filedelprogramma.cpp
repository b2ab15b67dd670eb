// SPDX-License-Identifier: MIT
#include "filedelprogramma.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A program folder with its executable and pictures, where the record was tried first, and a
// per-user folder that keeps the record, its lock, its story and the batch file.
class TestFileDelProgramma : public QObject
{
    Q_OBJECT

private slots:
    // Each of the program's own files is refused however it is named: relative, with "..", in
    // other letters' case, through a link to it or to its folder, through a link to one not made
    // yet; a PDF beside them, or a file of the same name elsewhere, is not.
    void propriRifiutati_data()
    {
        QTest::addColumn<QString>("percorso"); // from the test folder; "@" stands for it
        QTest::addColumn<QString>("cosa");     // part of the refusal; empty: allowed
        QTest::newRow("the record") << "utente/ultima.par" << "(la partita registrata)";
        QTest::newRow("the record, absolute") << "@/utente/ultima.par" << "(la partita registrata)";
        QTest::newRow("the record, upper case") << "utente/ULTIMA.PAR" << "(la partita registrata)";
        QTest::newRow("the story through ..") << "altrove/../utente/./storia.dat" << "(la storia della partita)";
        QTest::newRow("the lock") << "utente/ultima.par.lock" << "(il blocco della partita)";
        QTest::newRow("the batch file") << "utente/blocchetti.dat" << "(l'archivio dei blocchetti di cartelle)";
        QTest::newRow("the record of the program folder") << "programma/ultima.par" << "(la partita registrata)";
        QTest::newRow("the story of the program folder") << "programma/storia.dat" << "(la storia della partita)";
        QTest::newRow("the executable") << "programma/tabellone" << "(il programma)";
        QTest::newRow("a picture") << "programma/img45.gif" << "(un'immagine del tabellone)";
#ifndef Q_OS_WIN
        QTest::newRow("a link to the record") << "altrove/collegamento.pdf" << "(la partita registrata)";
        QTest::newRow("a link to the story not made yet") << "altrove/pendente.pdf" << "(la storia della partita)";
        QTest::newRow("a link to a link to the lock") << "altrove/doppio.pdf" << "(il blocco della partita)";
        QTest::newRow("through a linked folder") << "collegata/ultima.par" << "(la partita registrata)";
        QTest::newRow("a link to a PDF") << "altrove/verso-pdf.pdf" << "";
#endif
        QTest::newRow("a PDF beside the record") << "utente/verbale.pdf" << "";
        QTest::newRow("a longer name") << "utente/ultima.par.pdf" << "";
        QTest::newRow("a record of another folder") << "altrove/ultima.par" << "";
        QTest::newRow("a story of another folder") << "@/altrove/storia.dat" << "";
        QTest::newRow("a picture's name elsewhere") << "altrove/img45.gif" << "";
        QTest::newRow("no such folder") << "manca/ultima.par" << "";
    }
    void propriRifiutati()
    {
        QFETCH(QString, percorso);
        QFETCH(QString, cosa);
        QTemporaryDir prova;
        const QDir dir(prova.path());
        for (const char *cartella : {"programma", "utente", "altrove"})
            QVERIFY(dir.mkdir(QString::fromLatin1(cartella)));
        for (const char *file : {"programma/tabellone", "programma/img00.gif", "programma/img45.gif",
                                 "utente/ultima.par", "utente/ultima.par.lock", "utente/blocchetti.dat",
                                 "altrove/verbale.pdf"}) {
            QFile f(dir.filePath(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("utente/ultima.par")), dir.filePath(QStringLiteral("altrove/collegamento.pdf"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("utente/storia.dat")), dir.filePath(QStringLiteral("altrove/pendente.pdf"))));
        QVERIFY(QFile::link(QStringLiteral("../utente/ultima.par.lock"), dir.filePath(QStringLiteral("altrove/tramite"))));
        QVERIFY(QFile::link(QStringLiteral("tramite"), dir.filePath(QStringLiteral("altrove/doppio.pdf"))));
        QVERIFY(QFile::link(QStringLiteral("utente"), dir.filePath(QStringLiteral("collegata"))));
        QVERIFY(QFile::link(QStringLiteral("verbale.pdf"), dir.filePath(QStringLiteral("altrove/verso-pdf.pdf"))));
#endif
        Cartelle cartelle;
        cartelle.immagini = dir.filePath(QStringLiteral("programma"));
        cartelle.tentate = {dir.filePath(QStringLiteral("programma")), dir.filePath(QStringLiteral("utente"))};
        cartelle.registro = dir.filePath(QStringLiteral("utente"));
        const QString eseguibile = dir.filePath(QStringLiteral("programma/tabellone"));

        const QString corrente = QDir::currentPath();
        QVERIFY(QDir::setCurrent(prova.path()));
        const QString rifiuto = fileDelProgramma(percorso.replace(QLatin1Char('@'), prova.path()), cartelle, eseguibile);
        QDir::setCurrent(corrente);
        if (cosa.isEmpty()) {
            QVERIFY2(rifiuto.isEmpty(), qPrintable(rifiuto));
        } else {
            QVERIFY2(rifiuto.contains(cosa) && rifiuto.contains(QDir::toNativeSeparators(percorso))
                         && rifiuto.contains(QStringLiteral("scegli un altro nome")),
                     qPrintable(rifiuto));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileDelProgramma)
#include "test_filedelprogramma.moc"
