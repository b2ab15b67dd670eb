// SPDX-License-Identifier: MIT
#include "comandi.h"
#include "frmtabellone.h"
#include "orologio.h"

#include <QLabel>
#include <QTest>

class TestColonna : public QObject
{
    Q_OBJECT

private slots:
    // The label gets the text up to one line past what can show; a word longer
    // than a line gets a break opportunity between its characters.
    void testoDellaColonnaLimitato_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("caratteri");
        QTest::addColumn<int>("righe");
        QTest::addColumn<QString>("atteso");
        const QString z = QString(QChar(0x200B)), faccia = QStringLiteral("\U0001F600");
        QTest::newRow("no bounds, no change") << QString(50, u'X') << 0 << 9 << QString(50, u'X');
        QTest::newRow("a word of exactly a line stays whole") << "ABCD EF" << 4 << 5 << "ABCD EF";
        QTest::newRow("a longer word can break anywhere")
            << "AB ABCDE Z" << 4 << 5 << "AB A" + z + "B" + z + "C" + z + "D" + z + "E Z";
        QTest::newRow("cut one line past the last that shows") << "ABC DEF\nGHI JKL" << 3 << 1 << "ABC DEF\nG";
        QTest::newRow("a long word cut at the limit")
            << QString(12, u'X') << 2 << 1 << QString("X" + z).repeated(4) + "X";
        QTest::newRow("a character outside the basic plane is never split")
            << faccia.repeated(3) + " A" << 2 << 1 << faccia + z + faccia + z + faccia + " A";
    }
    void testoDellaColonnaLimitato()
    {
        QFETCH(QString, testo);
        QFETCH(int, caratteri);
        QFETCH(int, righe);
        QFETCH(QString, atteso);
        QCOMPARE(testoColonnaVisibile(testo, caratteri, righe), atteso);
    }

    // Messages of words that fit a line look exactly as with the whole text, at every step of the
    // scroll, in LblDX2 of a board maximised at 1920x1080; a thousand characters give a label at
    // most 400.
    void messaggiNormaliSiVedonoUguali()
    {
        QLabel colonna;
        colonna.setTextFormat(Qt::PlainText);
        colonna.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        colonna.setWordWrap(true);
        QFont font(QStringLiteral("Quicksand"));
        font.setBold(true);
        font.setItalic(true);
        font.setPointSizeF(41);
        colonna.setFont(font);
        colonna.resize(154, 525);
        const auto mostra = [&](const QString &testo) {
            colonna.setText(testo);
            return colonna.grab().toImage();
        };
        QString testo = testoColonnaMessaggi(QString::fromUtf8("TUTTI AUGURI A- MICI PERÒ CIÒ ").repeated(33));
        const auto [caratteri, righe] = limitiColonna(colonna, testo);
        for (int passo = 0; passo < 40; ++passo, testo = ruota(testo)) {
            const QString visibile = testoColonnaVisibile(testo, caratteri, righe);
            QVERIFY(visibile.size() <= 400);
            QVERIFY2(mostra(visibile) == mostra(testo), qPrintable(QStringLiteral("step %1").arg(passo)));
        }
    }
};

QTEST_MAIN(TestColonna)
#include "test_colonna.moc"
