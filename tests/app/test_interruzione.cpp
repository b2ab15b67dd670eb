// SPDX-License-Identifier: MIT
#include "dichiarazioni.h"
#include "registro.h"
#include "storia.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <list>

// The real program on a virtual screen, driven as the operator drives it (xdotool), killed at
// random moments of its draws, withdrawals and new games.
class TestInterruzione : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cartella;
    QString m_programma;
    QProcessEnvironment m_ambiente = QProcessEnvironment::systemEnvironment();
    std::list<QProcess> m_servizi; // Xvfb and openbox, ended by their id in cleanupTestCase
    QString m_piuGrande; // the largest window finestre() last found

    QString xdo(const QStringList &argomenti)
    {
        QProcess xdotool;
        xdotool.setProcessEnvironment(m_ambiente);
        xdotool.start(QStringLiteral("xdotool"), argomenti);
        xdotool.waitForFinished(5000);
        return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
    }

    // The program's visible windows, largest last: the start screen, then the board once it is
    // open. A button's tooltip is a window of the program too, too low to count.
    QList<QRect> finestre(qint64 pid)
    {
        QList<std::pair<QRect, QString>> trovate;
        for (const QString &id : xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                      QString::number(pid)}).split(u'\n', Qt::SkipEmptyParts)) {
            QMap<QString, int> g;
            for (const QString &riga : xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}).split(u'\n')) {
                const QStringList kv = riga.split(u'=');
                if (kv.size() == 2)
                    g[kv[0]] = kv[1].toInt();
            }
            const QRect r(g[QStringLiteral("X")], g[QStringLiteral("Y")], g[QStringLiteral("WIDTH")], g[QStringLiteral("HEIGHT")]);
            if (r.width() > 100 && r.height() > 100)
                trovate.append({r, id});
        }
        std::sort(trovate.begin(), trovate.end(), [](const auto &a, const auto &b) {
            return a.first.width() * a.first.height() < b.first.width() * b.first.height();
        });
        QList<QRect> viste;
        for (const auto &[r, id] : trovate)
            viste.append(r);
        if (!trovate.isEmpty())
            m_piuGrande = trovate.last().second;
        return viste;
    }

    // The screen centre of cell n, from the board's layout rules.
    static QPoint cella(const QRect &t, int n)
    {
        const double ux = t.width() / 100.0, uy = t.height() / 88.0;
        const double passoC = (t.width() - 9 * ux) / 10, passoR = (t.height() - 7.5 * uy) / 8.5;
        const int riga = (n - 1) / 10, colonna = (n - 1) % 10;
        return {int(t.x() + 2 * ux + colonna * passoC + (passoC - 3 * ux) / 2),
                int(t.y() + riga * passoR + (1.5 + riga / 3) * uy + (passoR - 3 * uy) / 2)};
    }

    void clic(const QPoint &dove, const QString &tasto, int volte = 1)
    {
        xdo({QStringLiteral("mousemove"), QString::number(dove.x()), QString::number(dove.y()), QStringLiteral("click"),
             QStringLiteral("--repeat"), QString::number(volte), QStringLiteral("--delay"), QStringLiteral("40"), tasto});
    }

    // The story beside the record, as the program left it (not yet agreed with the record).
    std::optional<Storia> storiaScritta() const
    {
        QFile file(QDir(m_cartella.path()).filePath(QString::fromLatin1(NomeStoria)));
        return file.open(QIODevice::ReadOnly) ? leggiContenutoStoria(file.readAll()) : std::optional<Storia>(Storia{});
    }

    QByteArray registro() const
    {
        QFile file(QDir(m_cartella.path()).filePath(QString::fromLatin1(NomeRegistro)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
            QSKIP("needs Xvfb, openbox and xdotool to drive the real program");
        QProcess &xvfb = m_servizi.emplace_back();
        xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
        QVERIFY(xvfb.waitForReadyRead(10000));
        m_ambiente.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(xvfb.readLine().trimmed()));
        m_ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // A window mapped while the window manager is still starting can stay unmapped for good:
        // programs start only once openbox has run its start-up command.
        const QString pronto = QDir(m_cartella.path()).filePath(QStringLiteral("openbox-pronto"));
        QProcess &openbox = m_servizi.emplace_back();
        openbox.setProcessEnvironment(m_ambiente);
        openbox.start(QStringLiteral("openbox"), {QStringLiteral("--startup"), QStringLiteral("touch ") + pronto});
        QVERIFY(openbox.waitForStarted(5000));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(pronto); }, 20000));
        const QDir dir(m_cartella.path());
        m_programma = dir.filePath(QStringLiteral("tabellone"));
        QVERIFY(QFile::copy(QStringLiteral(PERCORSO_TABELLONE), m_programma));
        const QString modulo = QStringLiteral(PERCORSO_MODULO_RETE);
        QVERIFY(QFile::copy(modulo, dir.filePath(QFileInfo(modulo).fileName())));
        for (int n = 0; n <= Dichiarazioni::UltimoNumero; ++n)
            QVERIFY(QFile::link(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(Dichiarazioni::nomeImmagine(n)),
                                dir.filePath(Dichiarazioni::nomeImmagine(n))));
    }

    void cleanupTestCase()
    {
        for (auto servizio = m_servizi.rbegin(); servizio != m_servizi.rend(); ++servizio) {
            servizio->kill();
            servizio->waitForFinished(5000);
        }
    }

    // Killed at any moment, the program leaves a whole record of an earlier state, and the next
    // start shows exactly it: a withdrawal then rewrites the same numbers but the one withdrawn.
    void uccisoLasciaUnaPartitaIntera()
    {
        static const QRegularExpression intero(
            QStringLiteral("\\APartita : [^\\r\\n]*\\r\\n( ([1-9]|[1-8][0-9]|90) \\r\\n)*\\z"));
        QRandomGenerator *caso = QRandomGenerator::global();
        for (int giro = 0; giro < 3; ++giro) {
            const QByteArray prima = registro();
            const QList<int> numeri = leggiRegistro(prima).numeri;
            QProcess programma;
            programma.setProcessEnvironment(m_ambiente);
            programma.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            programma.start(m_programma);
            QVERIFY(programma.waitForStarted(10000));
            QList<QRect> viste;
            QVERIFY2(QTest::qWaitFor([&] { return !(viste = finestre(programma.processId())).isEmpty(); }, 20000),
                     qPrintable(QStringLiteral("no start screen, round %1; windows of the program: %2")
                                    .arg(giro)
                                    .arg(xdo({QStringLiteral("search"), QStringLiteral("--pid"),
                                              QString::number(programma.processId())}))));
            const QRect splash = viste.last();
            clic(splash.topLeft() + QPoint((4200 + 1440 + 322) / 15 + 8, (2640 + 240 + 487) / 15 + 8), QStringLiteral("1"));
            QVERIFY2(QTest::qWaitFor([&] { return finestre(programma.processId()).size() > 1; }, 10000), "the board did not open");
            // Full screen, as the operator has it: the cells lie where the layout rules put them.
            // The keys go to the focused window, which a busy window manager may not have moved yet.
            xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_piuGrande});
            xdo({QStringLiteral("key"), QStringLiteral("F11")});
            QVERIFY(QTest::qWaitFor([&] { return finestre(programma.processId()).last().width() == 1280; }, 5000));
            QTest::qWait(300);
            const QRect tabellone(0, 0, 1280, 800);
            if (!numeri.isEmpty()) {
                // What the board shows is what the record held: withdrawing one rewrites all the others.
                const int via = numeri[int(caso->bounded(numeri.size()))];
                clic(cella(tabellone, via), QStringLiteral("3"));
                // The question comes when it comes: a loaded machine takes its time to map it.
                QVERIFY2(QTest::qWaitFor([&] {
                    return xdo({QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}).trimmed()
                           == QLatin1String("Tombola by Tavesi Aldrino");
                }, 10000), "no question for the withdrawal");
                xdo({QStringLiteral("key"), QStringLiteral("Return")});
                QVERIFY2(QTest::qWaitFor([&] { return registro() != prima; }, 5000), "the withdrawal was not recorded");
                QList<int> attesi = numeri;
                attesi.removeOne(via);
                std::sort(attesi.begin(), attesi.end());
                QCOMPARE(leggiRegistro(registro()).numeri, attesi);
            }
            // Draws by hand and by the computer, a new game, as fast as an operator, killed at a random moment.
            const QList<Evento> chiamatePrima = storiaDelRegistro(m_cartella.path()).corrente.eventi;
            bool nuova = false;
            const int uccisione = int(caso->bounded(200, 2000));
            QTimer::singleShot(uccisione, &programma, [&programma] { programma.kill(); });
            while (programma.state() == QProcess::Running) {
                const quint32 scelta = caso->bounded(20);
                if (scelta == 0) {
                    nuova = true;
                    xdo({QStringLiteral("key"), QStringLiteral("F2")});
                    QTest::qWait(150);
                    xdo({QStringLiteral("key"), QStringLiteral("Return")});
                } else if (scelta < 8) {
                    // The first computer draw shows the fingerprint first: Return closes that too.
                    xdo({QStringLiteral("key"), QStringLiteral("F6")});
                    QTest::qWait(120);
                    xdo({QStringLiteral("key"), QStringLiteral("Return")});
                } else {
                    clic(cella(tabellone, 1 + int(caso->bounded(90))), QStringLiteral("1"), 2);
                    QTest::qWait(120);
                    xdo({QStringLiteral("key"), QStringLiteral("space")});
                }
                QTest::qWait(30);
            }
            programma.waitForFinished(5000);
            const QByteArray dopo = registro();
            qInfo("round %d: %lld numbers resumed, killed after %d ms", giro, qint64(numeri.size()), uccisione);
            // With no record before, a kill before the first draw leaves none: an earlier state too.
            QVERIFY2((prima.isEmpty() && dopo.isEmpty()) || intero.match(QString::fromLatin1(dopo)).hasMatch(),
                     qPrintable(QStringLiteral("round %1, killed after %2 ms: ").arg(giro).arg(uccisione)
                                + QString::fromLatin1(dopo.toPercentEncoding(" /:"))));
            // The story is whole, and is the record's game or at most one step ahead of it.
            const std::optional<Storia> scritta = storiaScritta();
            QVERIFY2(scritta, "the story beside the record is not whole");
            const QList<int> sulRegistro = leggiRegistro(dopo).numeri;
            const auto stesso = [&](const StoriaPartita &p) {
                const QList<int> sul = p.sulTabellone();
                return QSet<int>(sul.begin(), sul.end()) == QSet<int>(sulRegistro.begin(), sulRegistro.end());
            };
            StoriaPartita indietro = scritta->corrente;
            if (!indietro.eventi.isEmpty())
                indietro.eventi.removeLast();
            QVERIFY2(stesso(scritta->corrente) || stesso(indietro) || (scritta->precedente && stesso(*scritta->precedente)),
                     qPrintable(QStringLiteral("round %1: the story and the record disagree").arg(giro)));
            // Without a new game, the calls before this round are kept, in their order.
            const QList<Evento> chiamateDopo = storiaDelRegistro(m_cartella.path()).corrente.eventi;
            if (!nuova)
                QCOMPARE(chiamateDopo.mid(0, chiamatePrima.size()), chiamatePrima);
        }
    }

    // The board's lock removed or replaced under it (another start could now take the game): the
    // next draw is not written, and the board says so, where a draw before it was written.
    void bloccoPersoNonScrive_data()
    {
        QTest::addColumn<bool>("sostituito");
        QTest::newRow("lock removed") << false;
        QTest::newRow("lock replaced") << true;
    }
    void bloccoPersoNonScrive()
    {
        QFETCH(bool, sostituito);
        QProcess programma;
        programma.setProcessEnvironment(m_ambiente);
        programma.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        programma.start(m_programma);
        QVERIFY(programma.waitForStarted(10000));
        const auto fine = qScopeGuard([&programma] {
            programma.kill();
            programma.waitForFinished(5000);
        });
        QList<QRect> viste;
        QVERIFY2(QTest::qWaitFor([&] { return !(viste = finestre(programma.processId())).isEmpty(); }, 20000), "no start screen");
        clic(viste.last().topLeft() + QPoint((4200 + 1440 + 322) / 15 + 8, (2640 + 240 + 487) / 15 + 8), QStringLiteral("1"));
        QVERIFY2(QTest::qWaitFor([&] { return finestre(programma.processId()).size() > 1; }, 10000), "the board did not open");
        xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_piuGrande});
        xdo({QStringLiteral("key"), QStringLiteral("F11")});
        QVERIFY(QTest::qWaitFor([&] { return finestre(programma.processId()).last().width() == 1280; }, 5000));
        QTest::qWait(300);
        const QRect tabellone(0, 0, 1280, 800);
        QList<int> liberi;
        for (int n = 1; n <= 90; ++n) {
            if (!leggiRegistro(registro()).numeri.contains(n))
                liberi.append(n);
        }
        QVERIFY(liberi.size() >= 2);
        // A draw is written once its number, shown large, is put away.
        const auto estrai = [&](int n) {
            clic(cella(tabellone, n), QStringLiteral("1"), 2);
            QTest::qWait(800);
            xdo({QStringLiteral("key"), QStringLiteral("space")});
        };
        const QByteArray prima = registro();
        estrai(liberi[0]);
        QVERIFY2(QTest::qWaitFor([&] { return registro() != prima; }, 5000), "a draw with the lock held was not written");
        QTest::qWait(500);
        const QString blocco = QDir(m_cartella.path()).filePath(QStringLiteral("ultima.par.lock"));
        QVERIFY(QFile::remove(blocco));
        if (sostituito) {
            QFile altro(blocco);
            QVERIFY(altro.open(QIODevice::WriteOnly) && altro.write("4321\naltro\n2026-12-06T21:05:00\n") > 0);
        }
        const QByteArray dopo = registro();
        const qsizetype aperte = finestre(programma.processId()).size();
        estrai(liberi[1]);
        // The refusal is said in a message of its own.
        QTest::qWait(800);
        QVERIFY2(QTest::qWaitFor([&] { return finestre(programma.processId()).size() > aperte; }, 5000),
                 "no message after the draw");
        QCOMPARE(registro(), dopo);
        QCOMPARE(programma.state(), QProcess::Running);
        QFile::remove(blocco);
    }
};

QTEST_GUILESS_MAIN(TestInterruzione)
#include "test_interruzione.moc"
