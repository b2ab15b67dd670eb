// SPDX-License-Identifier: MIT
// The real speech engine, headless: a speech-dispatcher of the test's own whose
// only output module writes what it is asked to say into a file.
#include "annuncio.h"
#include "commenti.h"
#include "prova_finestre.h"
#include "vocesintetica.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QRadioButton>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextToSpeech>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Our own speech-dispatcher: configuration, socket and runtime folder in a
// temporary folder, so a user's daemon is never touched. The output module
// writes each text it gets as one line, then "speaks" for a while, long enough
// for a new announcement to have to cut it short.
class Dispatcher
{
public:
    explicit Dispatcher(const QString &lingua = u"it"_s)
    {
        QDir(radice.path()).mkpath(u"xdg/speech-dispatcher/modules"_s);
        QDir(radice.path()).mkpath(u"run"_s);
        QDir(radice.path()).mkpath(u"log"_s);
        // Any autospawn a client might try reads this configuration and gives up.
        scrivi(u"xdg/speech-dispatcher/speechd.conf"_s,
               u"CommunicationMethod \"unix_socket\"\n"
               "DisableAutoSpawn\n"
               "LogLevel 3\n"
               "AudioOutputMethod \"alsa\"\n"
               "AudioALSADevice \"null\"\n"
               "AddModule \"registra\" \"sd_generic\" \"registra.conf\"\n"
               "DefaultModule registra\n"
               "DefaultLanguage \"%1\"\n"_s.arg(lingua));
        scrivi(u"xdg/speech-dispatcher/modules/registra.conf"_s,
               u"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> %1; sleep 3; echo fine >> %1\"\n"
               "GenericDelimiters \"~\"\n"
               "GenericLanguage \"%2\" \"%2\" \"utf-8\"\n"
               "AddVoice \"%2\" \"MALE1\" \"prova\"\n"_s.arg(detto(), lingua));
        qputenv("XDG_CONFIG_HOME", percorso(u"xdg"_s).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", percorso(u"run"_s).toLocal8Bit());
        qputenv("SPEECHD_ADDRESS", (u"unix_socket:"_s + presa()).toLocal8Bit());

        processo.setProgram(QStandardPaths::findExecutable(u"speech-dispatcher"_s));
        processo.setArguments({u"-s"_s, u"-t"_s, u"0"_s, u"-C"_s, percorso(u"xdg/speech-dispatcher"_s),
                               u"-S"_s, presa(), u"-L"_s, percorso(u"log"_s)});
        // A group of its own, so its output modules can be ended with it.
        processo.setChildProcessModifier([] { ::setsid(); });
        processo.setStandardOutputFile(percorso(u"log/uscita.txt"_s));
        processo.setStandardErrorFile(percorso(u"log/uscita.txt"_s), QIODevice::Append);
        if (processo.program().isEmpty())
            return;
        processo.start();
        processo.waitForStarted();
        QDeadlineTimer scadenza(10000);
        while (!QFile::exists(presa()) && !scadenza.hasExpired() && processo.state() == QProcess::Running)
            QTest::qWait(20);
    }

    ~Dispatcher() { ferma(); }

    bool pronto() const { return processo.state() == QProcess::Running && QFile::exists(presa()); }
    QString percorso(const QString &nome) const { return QDir(radice.path()).filePath(nome); }
    QString presa() const { return percorso(u"run/sd.sock"_s); }
    QString detto() const { return percorso(u"detto.txt"_s); }

    QStringList righe() const
    {
        QFile file(detto());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    void sospendi(bool fermo) { ::kill(pid_t(processo.processId()), fermo ? SIGSTOP : SIGCONT); }

    // Ends the daemon by its id (it may ignore SIGTERM), then what is left of its group.
    void ferma()
    {
        const qint64 pid = processo.processId();
        if (pid <= 0)
            return;
        ::kill(pid_t(pid), SIGTERM);
        if (!processo.waitForFinished(3000)) {
            ::kill(pid_t(pid), SIGKILL);
            processo.waitForFinished(3000);
        }
        ::kill(-pid_t(pid), SIGKILL);
    }

    // Processes still alive that were started with this daemon's folders.
    QStringList superstiti() const
    {
        QStringList vivi;
        const QByteArray segno = radice.path().toLocal8Bit();
        for (const QString &voce : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
            bool numero = false;
            const qint64 pid = voce.toLongLong(&numero);
            if (!numero || pid == QCoreApplication::applicationPid())
                continue;
            QFile stato(u"/proc/%1/stat"_s.arg(voce)), ambiente(u"/proc/%1/environ"_s.arg(voce)),
                riga(u"/proc/%1/cmdline"_s.arg(voce));
            if (!stato.open(QIODevice::ReadOnly) || stato.readAll().contains(") Z "))
                continue; // gone already, only not yet reaped
            const QByteArray tutto = (ambiente.open(QIODevice::ReadOnly) ? ambiente.readAll() : QByteArray())
                                     + (riga.open(QIODevice::ReadOnly) ? riga.readAll() : QByteArray());
            if (tutto.contains(segno))
                vivi.append(voce);
        }
        return vivi;
    }

private:
    void scrivi(const QString &nome, const QString &testo)
    {
        QFile file(percorso(nome));
        if (file.open(QIODevice::WriteOnly))
            file.write(testo.toUtf8());
    }

    QTemporaryDir radice;
    QProcess processo;
};

} // namespace

class TestVoce : public QObject
{
    Q_OBJECT

private slots:
    void init();

    // Each announcement reaches the engine as written, at once, cutting short
    // the one still being spoken; annuncia() returns immediately.
    void annunciArrivanoAlMotoreESiSostituiscono();

    // Without an Italian voice, or with the service gone, the voice refuses and says why.
    void voceSenzaItalianoOServizioSiRifiuta_data();
    void voceSenzaItalianoOServizioSiRifiuta();

    // The switch: off at start, last in the tab order, in the free space of
    // its frame; on, it hands out a speaking voice; unusable, it turns itself off.
    void interruttoreAccendeLaVoceOSpiegaPercheNo();

private:
    std::unique_ptr<Dispatcher> m_dispatcher;
};

void TestVoce::init()
{
    qRegisterMetaType<Voce *>();
    if (QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty())
        QSKIP("speech-dispatcher is not installed");
    if (!QTextToSpeech::availableEngines().contains(u"speechd"_s))
        QSKIP("Qt's speech-dispatcher engine (qt6-speech-speechd-plugin) is not installed");
}

void TestVoce::annunciArrivanoAlMotoreESiSostituiscono()
{
    Dispatcher dispatcher;
    QVERIFY(dispatcher.pronto());
    {
        VoceSintetica voce;
        QVERIFY2(voce.utilizzabile(), qPrintable(voce.motivo()));
        QStringList attesi;
        qint64 peggiore = 0;
        for (int livello : {1, 2, 3}) {
            for (int n : {7, 13, 33, 42, 90}) {
                const QString commento = livello == 3 ? QString() : commentiLivello(livello)[n - 1];
                attesi.append(testoAnnuncio(n, commento));
                QElapsedTimer tempo;
                tempo.start();
                voce.annuncia(attesi.last());
                peggiore = std::max(peggiore, tempo.nsecsElapsed());
                // Far less than the 3 s each one "speaks": only a cut lets the next one through.
                QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), attesi, 2000);
            }
        }
        // The last one is left to finish, and the engine says when it is done.
        QTRY_COMPARE(voce.stato(), QTextToSpeech::Speaking);
        attesi.append(u"fine"_s);
        QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), attesi, 20000);
        QTRY_COMPARE(voce.stato(), QTextToSpeech::Ready);
        for (const QString &riga : dispatcher.righe())
            qInfo("%s", qPrintable(riga));

        // A service that stops answering does not hold up the caller either.
        dispatcher.sospendi(true);
        for (int n = 1; n <= 3; ++n) {
            QElapsedTimer tempo;
            tempo.start();
            voce.annuncia(testoAnnuncio(n, {}));
            peggiore = std::max(peggiore, tempo.nsecsElapsed());
        }
        qInfo("annuncia() returned within %.3f ms at worst", peggiore / 1e6);
        QVERIFY(peggiore < 20'000'000);
        dispatcher.sospendi(false);
        // Once it answers again, the latest announcement is the one that stays.
        QTRY_VERIFY_WITH_TIMEOUT(dispatcher.righe().contains(u"Tre."_s), 20000);
    }
    dispatcher.ferma();
    QCOMPARE(dispatcher.superstiti(), QStringList());
}

void TestVoce::voceSenzaItalianoOServizioSiRifiuta_data()
{
    QTest::addColumn<QString>("lingua");
    QTest::addColumn<bool>("servizio");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("German only") << u"de"_s << true << u"non c'è una voce italiana"_s;
    QTest::newRow("service gone") << u"it"_s << false << u"non risponde"_s;
}

void TestVoce::voceSenzaItalianoOServizioSiRifiuta()
{
    QFETCH(QString, lingua);
    QFETCH(bool, servizio);
    QFETCH(QString, motivo);
    Dispatcher dispatcher(lingua);
    QVERIFY(dispatcher.pronto());
    if (!servizio)
        dispatcher.ferma();
    {
        VoceSintetica voce;
        QVERIFY(!voce.utilizzabile());
        QVERIFY2(voce.motivo().contains(motivo), qPrintable(voce.motivo()));
        voce.annuncia(u"Sette."_s);
    }
    dispatcher.ferma();
    QCOMPARE(dispatcher.righe(), QStringList());
    QCOMPARE(dispatcher.superstiti(), QStringList());
}

void TestVoce::interruttoreAccendeLaVoceOSpiegaPercheNo()
{
    for (const QString &lingua : {u"it"_s, u"de"_s}) {
        Dispatcher dispatcher(lingua);
        QVERIFY(dispatcher.pronto());
        {
            Banco banco;
            frmSplash &s = banco.schermata();
            QVERIFY(QTest::qWaitForWindowExposed(&s));
            QPushButton *b = s.findChild<QPushButton *>(u"CmdVoce"_s);
            QVERIFY(b && b == s.CmdVoce);
            QCOMPARE(b->accessibleName(), u"Annuncio a voce"_s);
            QVERIFY(b->isCheckable() && !b->isChecked() && b->isEnabled() && !s.voce());
            QCOMPARE(s.Command2->nextInFocusChain(), b);
            for (QWidget *w : QWidgetList{s.Option1, s.Option2, s.Option3, s.Command2, s.Command1})
                QVERIFY2(!w->geometry().intersects(b->geometry()), qPrintable(w->objectName()));
            QVERIFY(s.Frame1->contentsRect().contains(b->geometry()));

            QSignalSpy cambi(&s, &frmSplash::voceCambiata);
            QTest::mouseClick(b, Qt::LeftButton);
            if (lingua == u"it"_s) {
                QVERIFY(b->isChecked() && s.voce());
                QCOMPARE(cambi.size(), 1);
                QCOMPARE(cambi.at(0).at(0).value<Voce *>(), s.voce());
                s.voce()->annuncia(testoAnnuncio(7, commentiLivello(1)[6]));
                QTRY_COMPARE(dispatcher.righe(), QStringList{u"Sette. Le corna."_s});
                QTest::mouseClick(b, Qt::LeftButton);
                QVERIFY(!b->isChecked() && !s.voce());
                QCOMPARE(cambi.size(), 2);
                QCOMPARE(cambi.at(1).at(0).value<Voce *>(), nullptr);
            } else {
                QVERIFY(!b->isChecked() && !b->isEnabled() && !s.voce());
                QVERIFY2(b->toolTip().contains(u"voce italiana"_s), qPrintable(b->toolTip()));
                QCOMPARE(cambi.size(), 0);
            }
        }
        dispatcher.ferma();
        QCOMPARE(dispatcher.superstiti(), QStringList());
    }
}

QTEST_MAIN(TestVoce)
#include "test_voce.moc"
