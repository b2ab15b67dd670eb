// SPDX-License-Identifier: MIT
#include "registro.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

class TestInterruzione : public QObject
{
    Q_OBJECT

private slots:
    // A kill at any instant of a write leaves the previous or the new record,
    // whole: the header, then " n " lines, every line ending in CR LF.
    void uccisioneLasciaUnRegistroCompleto()
    {
        QTemporaryDir cartella;
        static const QRegularExpression completo(QStringLiteral(
            "\\APartita : \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\r\\n( ([1-9]|[1-8][0-9]|90) \\r\\n)*\\z"));
        for (int giro = 1; giro <= 36; ++giro) {
            QProcess scrittore;
            scrittore.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            scrittore.start(QStringLiteral(PERCORSO_SCRITTORE), {cartella.path()});
            QVERIFY2(scrittore.waitForReadyRead(10000), "the writer never finished a first write");
            const auto pausa = std::chrono::microseconds(QRandomGenerator::global()->bounded(100, 25000));
            std::this_thread::sleep_for(pausa);
            QCOMPARE(scrittore.state(), QProcess::Running); // it stopped on its own: a write failed
            scrittore.kill();
            QVERIFY(scrittore.waitForFinished(5000));
            QFile registro(cartella.filePath(QString::fromLatin1(NomeRegistro)));
            QVERIFY(registro.open(QIODevice::ReadOnly));
            const QByteArray contenuto = registro.readAll();
            QVERIFY2(completo.match(QString::fromLatin1(contenuto)).hasMatch(),
                     qPrintable(QStringLiteral("round %1, killed after %2 us: ").arg(giro).arg(pausa.count())
                                + QString::fromLatin1(contenuto.toPercentEncoding(" /:"))));
        }
    }
};

QTEST_GUILESS_MAIN(TestInterruzione)
#include "test_interruzione.moc"
