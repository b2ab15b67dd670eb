// SPDX-License-Identifier: MIT
// The real registry and the real start of the system-information tool, on
// Windows (and under Wine): keys written with reg.exe, a stand-in tool that
// leaves a file when started. Also the SAPI voice with what the machine offers.
#include "infosistema.h"
#include "motorevoce.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Msinfo = QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Posizione = QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location");

bool reg(const QStringList &argomenti)
{
    QProcess p;
    p.start(QStringLiteral("reg"), argomenti);
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

bool scriviValore(const QString &chiave, const QString &nome, const QString &tipo, const QString &dato)
{
    return reg({QStringLiteral("add"), chiave, QStringLiteral("/v"), nome, QStringLiteral("/t"), tipo,
                QStringLiteral("/d"), dato, QStringLiteral("/f")});
}

void cancella(const QString &chiave)
{
    reg({QStringLiteral("delete"), chiave, QStringLiteral("/f")});
}

} // namespace

class TestRegistroSistema : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cartella;

    QString strumento() const { return QDir::toNativeSeparators(m_cartella.filePath(QStringLiteral("strumento.exe"))); }
    QString traccia() const { return m_cartella.filePath(QStringLiteral("avviato.txt")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_cartella.isValid());
        QVERIFY(QFile::copy(QStringLiteral(LASCIA_FILE), m_cartella.filePath(QStringLiteral("strumento.exe"))));
        QVERIFY(QDir(m_cartella.path()).mkdir(QStringLiteral("strumenti")) && QDir(m_cartella.path()).mkdir(QStringLiteral("vuota")));
        QVERIFY(QFile::copy(QStringLiteral(LASCIA_FILE), m_cartella.filePath(QStringLiteral("strumenti/MSINFO32.EXE"))));
    }
    void cleanupTestCase()
    {
        cancella(Msinfo);
        cancella(Posizione);
    }
    void init()
    {
        cancella(Msinfo);
        cancella(Posizione);
        QFile::remove(traccia());
        QFile::remove(m_cartella.filePath(QStringLiteral("strumenti/avviato.txt")));
    }

    // Text read as stored, a 32-bit number in decimal, a missing value or key as a failure.
    void valoriLetti()
    {
        QVERIFY(scriviValore(Msinfo, QStringLiteral("PATH"), QStringLiteral("REG_SZ"), QStringLiteral("C:\\àèì\\x.exe")));
        QVERIFY(scriviValore(Msinfo, QStringLiteral("N"), QStringLiteral("REG_DWORD"), QStringLiteral("305419896")));
        auto registro = registroDiSistema();
        QVERIFY(registro);
        const QString chiave = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        QString testo = QStringLiteral("prima");
        QVERIFY(GetKeyValue(*registro, ChiaveLocalMachine, chiave, QStringLiteral("PATH"), testo));
        QCOMPARE(testo, QStringLiteral("C:\\àèì\\x.exe"));
        QVERIFY(GetKeyValue(*registro, ChiaveLocalMachine, chiave, QStringLiteral("N"), testo));
        QCOMPARE(testo, QStringLiteral("305419896"));
        QVERIFY(!GetKeyValue(*registro, ChiaveLocalMachine, chiave, QStringLiteral("manca"), testo));
        QCOMPARE(testo, QString());
        testo = QStringLiteral("prima");
        QVERIFY(!GetKeyValue(*registro, ChiaveLocalMachine, QStringLiteral("SOFTWARE\\non esiste"), QStringLiteral("PATH"), testo));
        QCOMPARE(testo, QString());
    }

    void avvioDelloStrumento_data()
    {
        QTest::addColumn<QString>("percorso");  // PATH, if any
        QTest::addColumn<QString>("posizione"); // the tools folder, if any
        QTest::addColumn<QString>("traccia");   // where the started tool leaves its file; empty: not started
        QTest::newRow("PATH first") << "strumento.exe" << "vuota" << "avviato.txt";
        QTest::newRow("the tools folder") << "" << "strumenti" << "strumenti/avviato.txt";
        QTest::newRow("no MSINFO32.EXE in the tools folder") << "" << "vuota" << "";
        QTest::newRow("neither value") << "" << "" << "";
    }
    void avvioDelloStrumento()
    {
        QFETCH(QString, percorso);
        QFETCH(QString, posizione);
        QFETCH(QString, traccia);
        const auto nativo = [&](const QString &nome) { return QDir::toNativeSeparators(m_cartella.filePath(nome)); };
        if (!percorso.isEmpty())
            QVERIFY(scriviValore(Msinfo, QStringLiteral("PATH"), QStringLiteral("REG_SZ"), nativo(percorso)));
        if (!posizione.isEmpty())
            QVERIFY(scriviValore(Posizione, QStringLiteral("MSINFO"), QStringLiteral("REG_SZ"), nativo(posizione)));
        ServiziInfoSistema servizi = serviziDiSistema();
        QCOMPARE(StartSysInfo(servizi), !traccia.isEmpty());
        if (!traccia.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_cartella.filePath(traccia)), 20000);
    }

    // Wine may offer no voice at all: either an Italian one is chosen, or the
    // refusal says which part is missing. Either way nothing waits for speech.
    void voceSapi()
    {
        QString motivo;
        auto motore = creaMotoreVoce(motivo, [](const QString &) {});
        if (motore) {
            QVERIFY(motivo.isEmpty());
            QElapsedTimer tempo;
            tempo.start();
            motore->di(QStringLiteral("Sette. Le corna."));
            motore->di(QStringLiteral("Novanta. La paura."));
            QVERIFY2(tempo.elapsed() < 500, "speaking waited for the voice");
            qInfo("an Italian SAPI voice was found and spoken to");
        } else {
            QVERIFY2(motivo == QString::fromUtf8(TestiVoce::SenzaItaliano)
                         || motivo.startsWith(QString::fromUtf8(TestiVoce::SenzaMotore)),
                     qPrintable(motivo));
            qInfo("no SAPI voice in Italian: %s", qPrintable(motivo));
        }
    }
};

QTEST_GUILESS_MAIN(TestRegistroSistema)
#include "test_registrosistema.moc"
