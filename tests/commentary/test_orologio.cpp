// SPDX-License-Identifier: MIT
#include "comandi.h"
#include "orologio.h"

#include <QTest>

class TestOrologio : public QObject
{
    Q_OBJECT

private slots:
    // Eleven lines joined by a lone line feed, two-digit values, no final line feed.
    void colonnaDellOrologio_data();
    void colonnaDellOrologio();

    // Scrolling moves the first character to the end and nothing else.
    void scorrimentoDiUnCarattere_data();
    void scorrimentoDiUnCarattere();

    // The 284-character caption is itself again after 284 ticks, and not before.
    void titoloTornaUgualeDopo284Passi();

    // A character outside the basic plane is never split by the scroll.
    void scorrimentoNonSpezzaICaratteriComposti();
};

void TestOrologio::colonnaDellOrologio_data()
{
    QTest::addColumn<QTime>("ora");
    QTest::addColumn<QStringList>("righe");
    QTest::newRow("09:05:07") << QTime(9, 5, 7)
                              << QStringList{"", "sono", " le ", "ore", "09", "", "min", "05", "", "sec", "07"};
    QTest::newRow("midnight") << QTime(0, 0, 0)
                              << QStringList{"", "sono", " le ", "ore", "00", "", "min", "00", "", "sec", "00"};
    QTest::newRow("23:59:59") << QTime(23, 59, 59)
                              << QStringList{"", "sono", " le ", "ore", "23", "", "min", "59", "", "sec", "59"};
}

void TestOrologio::colonnaDellOrologio()
{
    QFETCH(QTime, ora);
    QFETCH(QStringList, righe);
    const QString testo = testoOrologio(ora);
    QVERIFY(!testo.contains(QLatin1Char('\r')));
    QVERIFY(!testo.endsWith(QLatin1Char('\n')));
    QCOMPARE(testo.split(QLatin1Char('\n')), righe);
}

void TestOrologio::scorrimentoDiUnCarattere_data()
{
    QTest::addColumn<QString>("prima");
    QTest::addColumn<QString>("dopo");
    QTest::newRow("abc") << "abc" << "bca";
    QTest::newRow("bca") << "bca" << "cab";
    QTest::newRow("cab") << "cab" << "abc";
    QTest::newRow("empty stays empty") << "" << "";
    QTest::newRow("one character stays") << "x" << "x";
    QTest::newRow("message column") << "CIAO   \nCIAO   \n" << "IAO   \nCIAO   \nC";
}

void TestOrologio::scorrimentoDiUnCarattere()
{
    QFETCH(QString, prima);
    QFETCH(QString, dopo);
    QCOMPARE(ruota(prima), dopo);
}

void TestOrologio::titoloTornaUgualeDopo284Passi()
{
    const QString titolo = titoloTabellone();
    QString scorso = titolo;
    for (int passo = 1; passo < 284; ++passo) {
        scorso = ruota(scorso);
        QVERIFY2(scorso != titolo, qPrintable(QString::number(passo)));
        QCOMPARE(scorso.size(), titolo.size());
    }
    QCOMPARE(ruota(scorso), titolo);
}

void TestOrologio::scorrimentoNonSpezzaICaratteriComposti()
{
    const QString testo = QStringLiteral("\U0001F600ab");
    QCOMPARE(ruota(testo), QStringLiteral("ab\U0001F600"));
}

QTEST_GUILESS_MAIN(TestOrologio)
#include "test_orologio.moc"
