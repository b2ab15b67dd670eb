// SPDX-License-Identifier: MIT
#include "automatiche.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono;

namespace {

// One second of the schedule lasts this long here: an interval of 5 s is 100 ms.
constexpr milliseconds Secondo{20};

// The schedule as the board drives it: each draw ends at once, as a pop-up closed at once would.
struct Banco {
    EstrazioniAutomatiche automatiche;
    QElapsedTimer orologio;
    QList<qint64> estrazioni; // ms from the start, one per draw
    bool altre = true;

    explicit Banco(int intervallo)
    {
        automatiche.impostaSecondo(Secondo);
        automatiche.impostaIntervallo(intervallo);
        QObject::connect(&automatiche, &EstrazioniAutomatiche::estrai, [this] {
            estrazioni << orologio.elapsed();
            automatiche.estrazioneFinita(altre);
        });
        orologio.start();
    }
    qint64 ms(int secondi) const { return secondi * Secondo.count(); }
};

} // namespace

class TestAutomatiche : public QObject
{
    Q_OBJECT

private slots:
    // The interval is kept within 5..120 seconds.
    void intervalloNeiLimiti_data()
    {
        QTest::addColumn<int>("chiesto");
        QTest::addColumn<int>("tenuto");
        QTest::newRow("too short") << 2 << 5;
        QTest::newRow("the least") << 5 << 5;
        QTest::newRow("the default") << 20 << 20;
        QTest::newRow("the most") << 120 << 120;
        QTest::newRow("too long") << 600 << 120;
    }
    void intervalloNeiLimiti()
    {
        QFETCH(int, chiesto);
        EstrazioniAutomatiche automatiche;
        automatiche.impostaIntervallo(chiesto);
        QTEST(automatiche.intervallo(), "tenuto");
        automatiche.impostaSecondo(Secondo);
        QCOMPARE(automatiche.tenuta(), EstrazioniAutomatiche::TenutaIniziale * Secondo);
    }

    // Switched on, the first draw comes at once; each next one an interval after the last
    // ended, never sooner. Switched off, nothing more.
    void primaSubitoPoiOgniIntervallo_data()
    {
        QTest::addColumn<int>("intervallo");
        QTest::newRow("5 s") << 5;
        QTest::newRow("8 s") << 8;
    }
    void primaSubitoPoiOgniIntervallo()
    {
        QFETCH(int, intervallo);
        Banco banco(intervallo);
        banco.automatiche.attiva(true);
        QTRY_COMPARE_WITH_TIMEOUT(banco.estrazioni.size(), 3, 20 * banco.ms(intervallo));
        banco.automatiche.attiva(false);
        QVERIFY2(banco.estrazioni[0] < banco.ms(intervallo) / 2, qPrintable(QString::number(banco.estrazioni[0])));
        for (int i = 1; i < 3; ++i) {
            const qint64 passato = banco.estrazioni[i] - banco.estrazioni[i - 1];
            QVERIFY2(passato >= banco.ms(intervallo) - 1, qPrintable(QString::number(passato)));
        }
        QTest::qWait(int(2 * banco.ms(intervallo)));
        QCOMPARE(banco.estrazioni.size(), 3);
        QCOMPARE(banco.automatiche.mancante(), 0ms);
    }

    // Held, the time left stands still and nothing is drawn; let go, the draw comes when the
    // time left has run, not sooner and not a whole interval later.
    void sospeseIlTempoSiFerma()
    {
        Banco banco(30);
        banco.automatiche.attiva(true);
        QTRY_COMPARE(banco.estrazioni.size(), 1);
        QTest::qWait(int(banco.ms(20)));
        banco.automatiche.sospendi(true);
        const milliseconds restante = banco.automatiche.mancante();
        QVERIFY2(restante > 0ms && restante <= milliseconds(banco.ms(10)), qPrintable(QString::number(restante.count())));
        QTest::qWait(int(banco.ms(40)));
        QCOMPARE(banco.estrazioni.size(), 1);
        QCOMPARE(banco.automatiche.mancante(), restante);
        QCOMPARE(banco.automatiche.secondiMancanti(), int((restante + Secondo - 1ms) / Secondo));
        const qint64 ripresa = banco.orologio.elapsed();
        banco.automatiche.sospendi(false);
        QTRY_COMPARE(banco.estrazioni.size(), 2);
        const qint64 attesa = banco.estrazioni[1] - ripresa;
        // Not a whole interval of 600 ms anew.
        QVERIFY2(attesa >= restante.count() - 1 && attesa < restante.count() + banco.ms(10), qPrintable(QString::number(attesa)));
    }

    // A draw that falls due while something holds the board waits for it, then comes at once.
    void trattenuteAllaScadenza()
    {
        Banco banco(5);
        bool trattenuta = true;
        banco.automatiche.impostaTrattenuta([&] { return trattenuta; });
        banco.automatiche.attiva(true);
        QTest::qWait(int(banco.ms(10)));
        QVERIFY(banco.estrazioni.isEmpty());
        QVERIFY(banco.automatiche.sospese());
        trattenuta = false;
        banco.automatiche.sospendi(false);
        QTRY_COMPARE_WITH_TIMEOUT(banco.estrazioni.size(), 1, int(banco.ms(3)));
    }

    // A draw by hand meanwhile puts the next automatic one a whole interval after it.
    void unaManoRicomincia()
    {
        Banco banco(10);
        banco.automatiche.attiva(true);
        QTRY_COMPARE(banco.estrazioni.size(), 1);
        QTest::qWait(int(banco.ms(6)));
        const qint64 aMano = banco.orologio.elapsed();
        banco.automatiche.ricomincia();
        QTRY_COMPARE_WITH_TIMEOUT(banco.estrazioni.size(), 2, int(banco.ms(40)));
        QVERIFY2(banco.estrazioni[1] - aMano >= banco.ms(10) - 1, qPrintable(QString::number(banco.estrazioni[1] - aMano)));
    }

    // When the game has no more to give, they switch themselves off.
    void finisconoConLaPartita()
    {
        Banco banco(5);
        banco.altre = false;
        QSignalSpy stato(&banco.automatiche, &EstrazioniAutomatiche::statoCambiato);
        banco.automatiche.attiva(true);
        QTRY_COMPARE(banco.estrazioni.size(), 1);
        QVERIFY(!banco.automatiche.attive());
        QTest::qWait(int(banco.ms(12)));
        QCOMPARE(banco.estrazioni.size(), 1);
        QVERIFY(stato.size() >= 2);
    }
};

QTEST_GUILESS_MAIN(TestAutomatiche)
#include "test_automatiche.moc"
