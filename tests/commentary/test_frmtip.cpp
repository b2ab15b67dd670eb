// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

class TestFrmTip : public QObject
{
    Q_OBJECT

private slots:
    // Keys that type a character, a press on its surface and a click on the picture
    // or the comment close the pop-up; keys that type nothing leave it open. The
    // space is what every other board test closes it with.
    void chiusuraDelPopup_data()
    {
        QTest::addColumn<int>("tasto");         // 0: a click instead
        QTest::addColumn<QString>("controllo"); // the one clicked; empty: the pop-up's own surface
        QTest::addColumn<bool>("chiude");
        QTest::newRow("escape closes") << int(Qt::Key_Escape) << QString() << true;
        QTest::newRow("a letter closes") << int(Qt::Key_A) << QString() << true;
        QTest::newRow("F1 leaves it open") << int(Qt::Key_F1) << QString() << false;
        QTest::newRow("shift alone leaves it open") << int(Qt::Key_Shift) << QString() << false;
        QTest::newRow("a press on its surface closes") << 0 << QString() << true;
        QTest::newRow("a click on the picture closes") << 0 << QStringLiteral("ImgNumero") << true;
        QTest::newRow("a click on the comment closes") << 0 << QStringLiteral("LblSmorfia") << true;
    }
    void chiusuraDelPopup()
    {
        QFETCH(int, tasto);
        QFETCH(QString, controllo);
        QFETCH(bool, chiude);
        Banco banco;
        banco.crea().show();
        bool aperto = true;
        QVERIFY(banco.estrai(5, [&](frmTip *tip) {
            if (tasto)
                QTest::keyClick(tip, static_cast<Qt::Key>(tasto));
            else
                QTest::mouseClick(controllo.isEmpty() ? tip : tip->findChild<QWidget *>(controllo), Qt::LeftButton);
            aperto = tip->isVisible();
            if (aperto)
                QTest::keyClick(tip, Qt::Key_Space);
        }));
        QCOMPARE(aperto, !chiude);
    }
};

QTEST_MAIN(TestFrmTip)
#include "test_frmtip.moc"
