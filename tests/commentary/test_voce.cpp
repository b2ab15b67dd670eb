// SPDX-License-Identifier: MIT
// The real speech engine, headless: a speech-dispatcher of the test's own whose
// only output module writes what it is asked to say into a file.
#include "annuncio.h"
#include "commenti.h"
#include "prova_finestre.h"
#include "vocesintetica.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Configuration, socket and logs in a temporary folder, so a user's daemon is
// never touched. The module writes each text as one line, then "speaks" for 3 s:
// a new announcement has to cut it short, or a "fine" line comes first.
class Dispatcher
{
public:
    explicit Dispatcher(const QString &lingua)
    {
        QDir(radice.path()).mkpath(u"xdg/speech-dispatcher/modules"_s);
        // Any autospawn a client might try reads this configuration and gives up.
        scrivi(u"xdg/speech-dispatcher/speechd.conf"_s,
               u"CommunicationMethod \"unix_socket\"\nDisableAutoSpawn\nLogLevel 3\n"
               "AudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
               "AddModule \"registra\" \"sd_generic\" \"registra.conf\"\nDefaultModule registra\n"
               "DefaultLanguage \"%1\"\n"_s.arg(lingua));
        scrivi(u"xdg/speech-dispatcher/modules/registra.conf"_s,
               u"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> %1; sleep 3; echo fine >> %1\"\n"
               "GenericDelimiters \"~\"\nGenericLanguage \"%2\" \"%2\" \"utf-8\"\n"
               "AddVoice \"%2\" \"MALE1\" \"prova\"\n"_s.arg(percorso(u"detto.txt"_s), lingua));
        qputenv("XDG_CONFIG_HOME", percorso(u"xdg"_s).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", radice.path().toLocal8Bit());
        qputenv("SPEECHD_ADDRESS", (u"unix_socket:"_s + presa()).toLocal8Bit());
        processo.setProgram(QStandardPaths::findExecutable(u"speech-dispatcher"_s));
        processo.setArguments({u"-s"_s, u"-t"_s, u"0"_s, u"-C"_s, percorso(u"xdg/speech-dispatcher"_s), u"-S"_s,
                               presa(), u"-L"_s, radice.path()});
        // A group of its own, so its output modules can be ended with it.
        processo.setChildProcessModifier([] { ::setsid(); });
        processo.setStandardOutputFile(percorso(u"uscita.txt"_s));
        processo.setStandardErrorFile(percorso(u"uscita.txt"_s), QIODevice::Append);
        processo.start();
        processo.waitForStarted();
        QDeadlineTimer scadenza(20000);
        while (!QFile::exists(presa()) && !scadenza.hasExpired() && processo.state() == QProcess::Running)
            QTest::qWait(20);
    }
    ~Dispatcher() { ferma(); }

    bool pronto() const { return processo.state() == QProcess::Running && QFile::exists(presa()); }
    QString percorso(const QString &nome) const { return QDir(radice.path()).filePath(nome); }
    QString presa() const { return percorso(u"sd.sock"_s); }

    QStringList righe() const
    {
        QFile file(percorso(u"detto.txt"_s));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                              : QStringList();
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
        for (const QString &voce : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
            QFile stato(u"/proc/%1/stat"_s.arg(voce)), ambiente(u"/proc/%1/environ"_s.arg(voce)),
                riga(u"/proc/%1/cmdline"_s.arg(voce));
            if (voce.toLongLong() <= 0 || voce.toLongLong() == QCoreApplication::applicationPid()
                || !stato.open(QIODevice::ReadOnly) || stato.readAll().contains(") Z "))
                continue; // not a process, this test, or gone already and only not yet reaped
            const QByteArray tutto = (ambiente.open(QIODevice::ReadOnly) ? ambiente.readAll() : QByteArray())
                                     + (riga.open(QIODevice::ReadOnly) ? riga.readAll() : QByteArray());
            if (tutto.contains(radice.path().toLocal8Bit()))
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
    void init()
    {
        qRegisterMetaType<Voce *>();
        if (QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty())
            QSKIP("speech-dispatcher is not installed");
        if (!QTextToSpeech::availableEngines().contains(u"speechd"_s))
            QSKIP("Qt's speech-dispatcher engine (qt6-speech-speechd-plugin) is not installed");
    }

    // Each announcement reaches the engine as written, cutting short the one
    // still being spoken; annuncia() returns at once, even to a stuck service.
    void annunciArrivanoAlMotoreESiSostituiscono()
    {
        Dispatcher dispatcher(u"it"_s);
        QVERIFY(dispatcher.pronto());
        {
            VoceSintetica voce;
            QVERIFY2(voce.utilizzabile(), qPrintable(voce.motivo()));
            QStringList attesi;
            qint64 peggiore = 0;
            const auto annuncia = [&](const QString &testo) {
                QElapsedTimer tempo;
                tempo.start();
                voce.annuncia(testo);
                peggiore = std::max(peggiore, tempo.nsecsElapsed());
            };
            for (int livello : {1, 2, 3}) {
                for (int n : {7, 13, 33, 42, 90}) {
                    attesi.append(testoAnnuncio(n, livello == 3 ? QString() : commentiLivello(livello)[n - 1]));
                    annuncia(attesi.last());
                    // Exactly these lines: one not cut short would have ended with "fine" first.
                    QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), attesi, 20000);
                }
            }
            // The last one is left to finish, and the engine says when it is done.
            QTRY_COMPARE_WITH_TIMEOUT(voce.stato(), QTextToSpeech::Speaking, 20000);
            attesi.append(u"fine"_s);
            QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), attesi, 20000);
            QTRY_COMPARE_WITH_TIMEOUT(voce.stato(), QTextToSpeech::Ready, 20000);

            // A service that stops answering does not hold up the caller either.
            dispatcher.sospendi(true);
            for (int n = 1; n <= 3; ++n)
                annuncia(testoAnnuncio(n, {}));
            QVERIFY2(peggiore < 20'000'000, qPrintable(u"annuncia() took %1 ms"_s.arg(peggiore / 1e6)));
            dispatcher.sospendi(false);
            // Once it answers again, the latest announcement is the one that stays.
            QTRY_VERIFY_WITH_TIMEOUT(dispatcher.righe().contains(u"Tre."_s), 20000);
        }
        dispatcher.ferma();
        QCOMPARE(dispatcher.superstiti(), QStringList());
    }

    // The switch: off at start, last in the tab order, in the free space of its
    // frame; on, it hands out a speaking voice; without an Italian voice or the
    // service it turns itself off for good and its tooltip says why.
    void interruttoreAccendeLaVoceOSpiegaPercheNo_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<bool>("servizio");
        QTest::addColumn<QString>("motivo"); // empty: the voice works
        QTest::newRow("Italian voice") << u"it"_s << true << QString();
        QTest::newRow("German only") << u"de"_s << true << u"non c'è una voce italiana"_s;
        QTest::newRow("service gone") << u"it"_s << false << u"il servizio di sintesi vocale non risponde"_s;
    }
    void interruttoreAccendeLaVoceOSpiegaPercheNo()
    {
        QFETCH(QString, lingua);
        QFETCH(bool, servizio);
        QFETCH(QString, motivo);
        Dispatcher dispatcher(lingua);
        QVERIFY(dispatcher.pronto());
        if (!servizio)
            dispatcher.ferma();
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
            if (motivo.isEmpty()) {
                QVERIFY(b->isChecked() && s.voce());
                QCOMPARE(cambi.size(), 1);
                QCOMPARE(cambi.at(0).at(0).value<Voce *>(), s.voce());
                s.voce()->annuncia(testoAnnuncio(7, commentiLivello(1)[6]));
                QTRY_COMPARE_WITH_TIMEOUT(dispatcher.righe(), QStringList{u"Sette. Le corna."_s}, 20000);
                QTest::mouseClick(b, Qt::LeftButton);
                QVERIFY(!b->isChecked() && !s.voce());
                QCOMPARE(cambi.size(), 2);
                QCOMPARE(cambi.at(1).at(0).value<Voce *>(), nullptr);
            } else {
                QVERIFY(!b->isChecked() && !b->isEnabled() && !s.voce());
                QVERIFY2(b->toolTip().contains(motivo), qPrintable(b->toolTip()));
                QCOMPARE(cambi.size(), 0);
                QCOMPARE(dispatcher.righe(), QStringList());
            }
        }
        dispatcher.ferma();
        QCOMPARE(dispatcher.superstiti(), QStringList());
    }
};

QTEST_MAIN(TestVoce)
#include "test_voce.moc"
