// SPDX-License-Identifier: MIT
#include "orologio.h"

#include <QTest>

class TestOrologio : public QObject
{
    Q_OBJECT

private slots:
    // Eleven lines joined by a lone line feed, two-digit values, no final line feed.
    void colonnaDellOrologio_data()
    {
        QTest::addColumn<QTime>("ora");
        QTest::addColumn<QStringList>("righe");
        QTest::newRow("09:05:07") << QTime(9, 5, 7)
                                  << QStringList{"", "sono", " le ", "ore", "09", "", "min", "05", "", "sec", "07"};
        QTest::newRow("23:59:59") << QTime(23, 59, 59)
                                  << QStringList{"", "sono", " le ", "ore", "23", "", "min", "59", "", "sec", "59"};
    }
    void colonnaDellOrologio()
    {
        QFETCH(QTime, ora);
        QFETCH(QStringList, righe);
        QCOMPARE(testoOrologio(ora).split(QLatin1Char('\n')), righe);
    }

    // Scrolling moves the first character, whole, to the end and nothing else.
    void scorrimentoDiUnCarattere_data()
    {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("dopo");
        QTest::newRow("abc") << "abc" << "bca";
        QTest::newRow("empty stays empty") << "" << "";
        QTest::newRow("one character stays") << "x" << "x";
        QTest::newRow("message column") << "CIAO   \nCIAO   \n" << "IAO   \nCIAO   \nC";
        QTest::newRow("outside the basic plane") << QStringLiteral("\U0001F600ab") << QStringLiteral("ab\U0001F600");
    }
    void scorrimentoDiUnCarattere()
    {
        QFETCH(QString, prima);
        QFETCH(QString, dopo);
        QCOMPARE(ruota(prima), dopo);
    }
};

QTEST_GUILESS_MAIN(TestOrologio)
#include "test_orologio.moc"
