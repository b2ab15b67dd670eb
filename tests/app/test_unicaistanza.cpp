// SPDX-License-Identifier: MIT
#include "dichiarazioni.h"
#include "unicaistanza.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QByteArray Registro = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n 7 \r\n 42 \r\n");

// The process id a lock names, or 0.
qint64 proprietario(const QString &cartella)
{
    qint64 pid = 0;
    QString macchina, programma;
    QLockFile(UnicaIstanza::percorsoBlocco(cartella)).getLockInfo(&pid, &macchina, &programma);
    return pid;
}

bool attendi(const std::function<bool()> &condizione, int millisecondi = 20000)
{
    QDeadlineTimer scadenza(millisecondi);
    while (!condizione() && !scadenza.hasExpired())
        QTest::qWait(50);
    return condizione();
}

} // namespace

// A program folder of its own: a copy of the real program, its pictures, and a record.
class TestUnicaIstanza : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_cartella = std::make_unique<QTemporaryDir>();
        QVERIFY(m_cartella->isValid());
        const QDir dir(m_cartella->path());
        // The program finds its folder from its own file, so it is copied, not linked.
        m_programma = dir.filePath(QStringLiteral("tabellone"));
        QVERIFY(QFile::copy(QStringLiteral(PERCORSO_TABELLONE), m_programma));
        for (int n = 0; n <= Dichiarazioni::UltimoNumero; ++n) {
            const QString nome = Dichiarazioni::nomeImmagine(n);
            QVERIFY(QFile::link(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(nome), dir.filePath(nome)));
        }
        QFile registro(dir.filePath(QStringLiteral("ultima.par")));
        QVERIFY(registro.open(QIODevice::WriteOnly) && registro.write(Registro) == Registro.size());
    }

    void cleanup()
    {
        for (const auto &processo : m_processi) {
            if (processo->state() != QProcess::NotRunning) {
                ::kill(pid_t(processo->processId()), SIGKILL);
                processo->waitForFinished(5000);
            }
        }
        m_processi.clear();
        m_cartella.reset();
    }

    // A lock that names no live program (garbage, empty, or a board's killed outright) is taken
    // over. A second start on a held record brings the first forward and ends at once, leaving the
    // record and the first board's lock as they were.
    void unTabellonePerRegistro()
    {
        const QString cartella = m_cartella->path();
        QFile blocco(UnicaIstanza::percorsoBlocco(cartella));
        QVERIFY(blocco.open(QIODevice::WriteOnly) && blocco.write("\x01\xff tabellone?\n\n") == 15);
        blocco.close();
        QProcess *prima = avviaTabellone();
        QVERIFY2(attendi([&] { return proprietario(cartella) == prima->processId(); }), "the first board took no lock");

        QProcess *seconda = avviaTabellone();
        QVERIFY2(seconda->waitForFinished(20000), "the second start stayed up");
        QCOMPARE(seconda->exitStatus(), QProcess::NormalExit);
        QCOMPARE(seconda->exitCode(), 0);
        QCOMPARE(prima->state(), QProcess::Running);
        QCOMPARE(proprietario(cartella), prima->processId());
        QFile registro(QDir(cartella).filePath(QStringLiteral("ultima.par")));
        QVERIFY(registro.open(QIODevice::ReadOnly));
        QCOMPARE(registro.readAll(), Registro);

        ::kill(pid_t(prima->processId()), SIGKILL);
        QVERIFY(prima->waitForFinished(5000));
        QVERIFY(blocco.exists());
        QProcess *nuova = avviaTabellone();
        QVERIFY2(attendi([&] { return proprietario(cartella) == nuova->processId(); }), "the next start took no lock");
        // Still up: it runs the board instead of asking the dead one.
        QVERIFY(!nuova->waitForFinished(2000));

        ::kill(pid_t(nuova->processId()), SIGKILL);
        QVERIFY(nuova->waitForFinished(5000) && blocco.resize(0));
        QProcess *ultima = avviaTabellone();
        QVERIFY2(attendi([&] { return proprietario(cartella) == ultima->processId(); }), "an empty lock stopped it");
    }

private:
    QProcess *avviaTabellone()
    {
        auto processo = std::make_unique<QProcess>();
        processo->setProgram(m_programma);
        processo->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo->start();
        processo->waitForStarted(10000); // its process id is known before any lock is compared with it
        m_processi.push_back(std::move(processo));
        return m_processi.back().get();
    }

    std::unique_ptr<QTemporaryDir> m_cartella;
    QString m_programma;
    std::vector<std::unique_ptr<QProcess>> m_processi;
};

QTEST_GUILESS_MAIN(TestUnicaIstanza)
#include "test_unicaistanza.moc"
