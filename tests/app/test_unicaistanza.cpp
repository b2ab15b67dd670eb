// SPDX-License-Identifier: MIT
#include "dichiarazioni.h"
#include "unicaistanza.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <list>

class TestUnicaIstanza : public QObject
{
    Q_OBJECT

private slots:
    // The real program in a folder of its own, with the pictures. A lock naming no live program
    // (garbage, or a board killed outright) is taken over; a second start on a held record ends at
    // once, leaving the first board and its lock as they were.
    void unTabellonePerRegistro()
    {
        QTemporaryDir cartella;
        const QDir dir(cartella.path());
        // The program finds its folder from its own file, so it is copied, not linked.
        const QString programma = dir.filePath(QStringLiteral("tabellone"));
        QVERIFY(QFile::copy(QStringLiteral(PERCORSO_TABELLONE), programma));
        for (int n = 0; n <= Dichiarazioni::UltimoNumero; ++n)
            QVERIFY(QFile::link(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(Dichiarazioni::nomeImmagine(n)),
                                dir.filePath(Dichiarazioni::nomeImmagine(n))));
        QFile blocco(UnicaIstanza::percorsoBlocco(cartella.path()));
        QVERIFY(blocco.open(QIODevice::WriteOnly) && blocco.write("\x01\xff tabellone?\n\n") == 15);
        blocco.close();

        // Any still running when the test returns is killed by its process id as it is destroyed.
        std::list<QProcess> processi;
        const auto avvia = [&] {
            QProcess &processo = processi.emplace_back();
            processo.start(programma);
            processo.waitForStarted(10000); // its id is known before any lock is compared with it
            return &processo;
        };
        const auto tieneIlBlocco = [&](const QProcess *processo) {
            return QTest::qWaitFor([&] {
                qint64 pid = 0;
                QString nome;
                return QLockFile(blocco.fileName()).getLockInfo(&pid, &nome, &nome) && pid == processo->processId();
            }, 20000);
        };
        QProcess *prima = avvia();
        QVERIFY2(tieneIlBlocco(prima), "a garbage lock stopped the first board");

        QProcess *seconda = avvia();
        QVERIFY2(seconda->waitForFinished(20000), "the second start stayed up");
        QVERIFY(seconda->exitStatus() == QProcess::NormalExit && seconda->exitCode() == 0);
        QVERIFY(prima->state() == QProcess::Running && tieneIlBlocco(prima));

        prima->kill();
        QVERIFY(prima->waitForFinished(5000) && blocco.exists());
        QVERIFY2(tieneIlBlocco(avvia()), "a killed board's lock stopped the next start");
        processi.back().kill();
        QVERIFY(processi.back().waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(TestUnicaIstanza)
#include "test_unicaistanza.moc"
