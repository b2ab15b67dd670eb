// SPDX-License-Identifier: MIT
#include "prova_finestre.h"
#include "vocesintetica.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextToSpeech>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray leggi(const QString &nome)
{
    QFile file(nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A speech-dispatcher of the test's own, its configuration, socket and logs in a temporary folder
// so that a user's daemon is never touched. Its one output module writes each text as a line, then
// "speaks" for 3 s: a new announcement has to cut it short, or a "fine" line comes first.
struct Dispatcher {
    QTemporaryDir radice;
    QProcess processo;

    explicit Dispatcher(const QString &lingua)
    {
        const QString conf = percorso(u"xdg/speech-dispatcher"_s);
        QDir().mkpath(conf + u"/modules"_s);
        const auto scrivi = [&](const QString &nome, const QString &testo) {
            QFile file(conf + nome);
            return file.open(QIODevice::WriteOnly) && file.write(testo.toUtf8()) > 0;
        };
        // Any autospawn a client might try reads this configuration and gives up.
        scrivi(u"/speechd.conf"_s, u"CommunicationMethod \"unix_socket\"\nDisableAutoSpawn\nLogLevel 3\n"
                                    "AudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
                                    "AddModule \"registra\" \"sd_generic\" \"registra.conf\"\nDefaultModule registra\n"
                                    "DefaultLanguage \"%1\"\n"_s.arg(lingua));
        scrivi(u"/modules/registra.conf"_s,
               u"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> %1; sleep 3; echo fine >> %1\"\n"
               "GenericDelimiters \"~\"\nGenericLanguage \"%2\" \"%2\" \"utf-8\"\n"
               "AddVoice \"%2\" \"MALE1\" \"prova\"\n"_s.arg(percorso(u"detto.txt"_s), lingua));
        qputenv("XDG_CONFIG_HOME", percorso(u"xdg"_s).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", radice.path().toLocal8Bit());
        qputenv("SPEECHD_ADDRESS", (u"unix_socket:"_s + presa()).toLocal8Bit());
        processo.setProgram(QStandardPaths::findExecutable(u"speech-dispatcher"_s));
        processo.setArguments({u"-s"_s, u"-t"_s, u"0"_s, u"-C"_s, conf, u"-S"_s, presa(), u"-L"_s, radice.path()});
        // A group of its own, so its output modules can be ended with it; killed if the test is.
        processo.setChildProcessModifier([] { ::setsid(); ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        processo.start();
    }
    ~Dispatcher() { ferma(); }

    bool pronto() const { return processo.state() == QProcess::Running && QFile::exists(presa()); }
    QString percorso(const QString &nome) const { return QDir(radice.path()).filePath(nome); }
    QString presa() const { return percorso(u"sd.sock"_s); }
    void sospendi(bool fermo) { ::kill(pid_t(processo.processId()), fermo ? SIGSTOP : SIGCONT); }
    QStringList righe() const
    {
        return QString::fromUtf8(leggi(percorso(u"detto.txt"_s))).split(u'\n', Qt::SkipEmptyParts);
    }

    // Ends the daemon and its output modules: its group, named by the daemon's id.
    void ferma()
    {
        if (const auto pid = pid_t(processo.processId()); pid > 0 && ::kill(-pid, SIGKILL) == 0)
            processo.waitForFinished(3000);
    }

    // Processes still alive (not only waiting to be reaped) started with this daemon's folders.
    QStringList superstiti() const
    {
        QStringList vivi;
        for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (const QString p = u"/proc/"_s + pid + u'/'; !leggi(p + u"stat"_s).contains(") Z ")
                && (leggi(p + u"environ"_s) + leggi(p + u"cmdline"_s)).contains(radice.path().toLocal8Bit()))
                vivi.append(pid);
        return vivi;
    }
};

} // namespace

class TestVoce : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<Voce *>();
        if (QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty())
            QSKIP("speech-dispatcher is not installed");
        if (!QTextToSpeech::availableEngines().contains(u"speechd"_s))
            QSKIP("Qt's speech-dispatcher engine (qt6-speech-speechd-plugin) is not installed");
    }

    // The switch is off at start, last in the tab order, in the free space of its frame; on, it
    // hands out the engine. Each announcement reaches the engine as written, cutting short the one
    // still being spoken; annuncia() returns at once, even to a stopped service. Off, the voice
    // is taken back.
    void interruttoreEAnnunci()
    {
        Dispatcher dispatcher(u"it"_s);
        QVERIFY(QTest::qWaitFor([&] { return dispatcher.pronto(); }, 20000));
        {
            Banco banco;
            frmSplash &s = banco.schermata();
            QPushButton *b = s.CmdVoce;
            QCOMPARE(b->accessibleName(), u"Annuncio a voce"_s);
            QVERIFY(b->isCheckable() && !b->isChecked() && b->isEnabled() && !s.voce());
            QCOMPARE(s.Command2->nextInFocusChain(), b);
            for (QWidget *w : QWidgetList{s.Option1, s.Option2, s.Option3, s.Command2, s.Command1})
                QVERIFY2(!w->geometry().intersects(b->geometry()), qPrintable(w->objectName()));
            QVERIFY(s.Frame1->contentsRect().contains(b->geometry()));

            QSignalSpy cambi(&s, &frmSplash::voceCambiata);
            QTest::mouseClick(b, Qt::LeftButton);
            QVERIFY(b->isChecked());
            QTRY_VERIFY_WITH_TIMEOUT(s.voce(), 20000);
            Voce *voce = s.voce();
            voce->annuncia(u"Quarantadue. Il caffè."_s);
            QTRY_VERIFY_WITH_TIMEOUT(!dispatcher.righe().isEmpty(), 20000);
            // Exactly these lines: one not cut short would have ended with "fine" first.
            voce->annuncia(u"Novanta."_s);
            const QStringList attesi{u"Quarantadue. Il caffè."_s, u"Novanta."_s, u"fine"_s};
            QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), attesi, 20000);

            dispatcher.sospendi(true);
            QElapsedTimer tempo;
            tempo.start();
            voce->annuncia(u"Uno."_s);
            const qint64 durata = tempo.elapsed();
            dispatcher.sospendi(false);
            QVERIFY2(durata < 20, qPrintable(u"annuncia() took %1 ms"_s.arg(durata)));
            QTRY_VERIFY_WITH_TIMEOUT(dispatcher.righe().contains(u"Uno."_s), 20000);

            QTest::mouseClick(b, Qt::LeftButton);
            QVERIFY(!b->isChecked() && !s.voce());
            QCOMPARE(cambi.size(), 2);
            QVERIFY(cambi[0][0].value<Voce *>() == voce && !cambi[1][0].value<Voce *>());
        }
        dispatcher.ferma();
        QTRY_COMPARE(dispatcher.superstiti(), QStringList());
    }

    // A service that is there but never answers (stopped) holds up nothing: turning the voice on
    // returns at once, the board gets no voice meanwhile (its draws are as without one), and the
    // switch still turns it off, twice over.
    void servizioFermoNonBloccaNulla()
    {
        Dispatcher dispatcher(u"it"_s);
        QVERIFY(QTest::qWaitFor([&] { return dispatcher.pronto(); }, 20000));
        dispatcher.sospendi(true);
        {
            Banco banco;
            frmSplash &s = banco.schermata();
            QSignalSpy cambi(&s, &frmSplash::voceCambiata);
            for (int volta = 0; volta < 2; ++volta) {
                QElapsedTimer tempo;
                tempo.start();
                QTest::mouseClick(s.CmdVoce, Qt::LeftButton);
                QVERIFY2(tempo.elapsed() < 200, qPrintable(u"turning on took %1 ms"_s.arg(tempo.elapsed())));
                QVERIFY(s.CmdVoce->isChecked() && s.CmdVoce->isEnabled() && !s.voce());
                QTest::qWait(300);
                QVERIFY(!s.voce());
                tempo.restart();
                QTest::mouseClick(s.CmdVoce, Qt::LeftButton);
                QVERIFY2(tempo.elapsed() < 200, qPrintable(u"turning off took %1 ms"_s.arg(tempo.elapsed())));
                QVERIFY(!s.CmdVoce->isChecked() && s.CmdVoce->isEnabled());
            }
            QVERIFY(cambi.size() == 2 && !cambi[0][0].value<Voce *>() && !cambi[1][0].value<Voce *>());
            // The service gone, the engine's thread gets its answer and can end with the voice
            // (one still stuck would be left behind at exit, by design).
            dispatcher.ferma();
        }
        QTRY_COMPARE(dispatcher.superstiti(), QStringList());
    }

    // Without an Italian voice, then without the service at all, the switch turns itself off for
    // good when first turned on, and its tooltip says why.
    void interruttoreSpentoSpiegaPerche()
    {
        Dispatcher dispatcher(u"de"_s);
        QVERIFY(QTest::qWaitFor([&] { return dispatcher.pronto(); }, 20000));
        for (const QString &motivo : QStringList{u"non c'è una voce italiana"_s,
                                                 u"il servizio di sintesi vocale non risponde"_s}) {
            Banco banco;
            frmSplash &s = banco.schermata();
            QSignalSpy cambi(&s, &frmSplash::voceCambiata);
            QTest::mouseClick(s.CmdVoce, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!s.CmdVoce->isEnabled(), 20000);
            QVERIFY(!s.CmdVoce->isChecked() && !s.voce() && cambi.isEmpty());
            QVERIFY2(s.CmdVoce->toolTip().contains(motivo), qPrintable(s.CmdVoce->toolTip()));
            dispatcher.ferma();
        }
        QTRY_COMPARE(dispatcher.superstiti(), QStringList());
    }
};

QTEST_MAIN(TestVoce)
#include "test_voce.moc"
