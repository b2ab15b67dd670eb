// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "comandi.h"
#include "prova_finestre.h"

#include <QAccessible>

class TestTabellone : public QObject
{
    Q_OBJECT

private slots:
    // A new board scrolls the full caption, waits hidden with ninety blank cells, and draws one
    // set of lines and one frame on the pop-up however often it is laid out. Each tick moves caption
    // and message column one character left and sizes them: messages at the unit, the clock no
    // larger and never cut.
    void nuovoTabelloneETic_data();
    void nuovoTabelloneETic();
    // A double click announces the number on the modal pop-up, then marks, records and speaks
    // it. Double clicks queued behind the first are dropped.
    void doppioClicEstraeDopoIlPopup();
    // A screen reader hears the comment, the time, the message and which numbers are out, and
    // never meets the cells that take no part in the game. Only the right button withdraws.
    void accessibilita();
    // The board's keys start a new game, write messages, maximise and restore, or leave the board;
    // held down, they do not repeat.
    void tastiDelTabellone();
};

void TestTabellone::nuovoTabelloneETic_data()
{
    QTest::addColumn<QSize>("tabellone"); // inner size once laid out again, in pixels
    QTest::newRow("a board too narrow for a unit") << QSize(40, 300);
    QTest::newRow("maximised on 1280 x 720") << QSize(1280, 690);
    QTest::newRow("maximised on 1920 x 1080") << QSize(1920, 1050);
}

void TestTabellone::nuovoTabelloneETic()
{
    QFETCH(QSize, tabellone);
    Banco banco;
    frmTabellone &t = banco.crea();
    const QString titolo = t.windowTitle();
    QCOMPARE(titolo, titoloTabellone());
    for (int n = 0; n < DimensioneTabelle; ++n)
        QCOMPARE(t.Img[n]->isVisibleTo(&t), numeroValido(n));
    QCOMPARE(differenze(t, {}), QString());
    QVERIFY(t.Timer1->isActive());
    // Four separators and a frame of four lines per cell, one around the pop-up's picture;
    // a second layout pass draws them afresh.
    QCOMPARE(t.superficie().segmenti().size(), std::size_t(4 + 90 * 4));
    t.resize(tabellone);
    t.RicalcolaMisure();
    QCOMPARE(t.superficie().segmenti().size(), std::size_t(4 + 90 * 4));
    QCOMPARE(frmTip::caricato()->superficie().segmenti().size(), std::size_t(4));

    banco.richieste.immissioni = {QStringLiteral("AMBO")};
    QTest::keyClick(&t, Qt::Key_F10);
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QCOMPARE(t.windowTitle(), titolo.mid(1) + titolo.left(1));
    QCOMPARE(t.LblDX2->text(), QStringLiteral("MBO   \nAMBO   \nA"));
    const double punti = std::max(1, int(Spessore));
    QCOMPARE(t.LblDX2->font().pointSizeF(), punti);
    const double orologio = t.LblDX->font().pointSizeF();
    QVERIFY2(orologio >= 1 && orologio <= punti, qPrintable(QString::number(orologio)));
    // No glyph of the clock reaches the column's edges.
    const QImage immagine = t.LblDX->grab().toImage();
    QRect inchiostro;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (qGray(immagine.pixel(x, y)) < 100)
                inchiostro |= QRect(x, y, 1, 1);
    QVERIFY2(orologio == 1 || (!inchiostro.isEmpty() && immagine.rect().adjusted(1, 0, -1, -1).contains(inchiostro)),
             qPrintable(QStringLiteral("clock cut at %1 points").arg(orologio)));
}

void TestTabellone::doppioClicEstraeDopoIlPopup()
{
    Banco banco;
    frmTabellone &t = banco.crea();
    Livello = 1;
    t.Livelli();
    t.show();
    VoceFinta voce;
    t.partita().impostaVoce(&voce);
    QList<int> estratti;
    for (const int n : {3, 17, 5}) {
        QVERIFY(!Commenti[n].isEmpty());
        const QByteArray prima = banco.registro();
        QStringList visto;
        QVERIFY(banco.estrai(n, [&](frmTip *tip) {
            visto << tip->ImgNumero->nomeCaricato() << tip->LblSmorfia->text()
                  << QString::number(tip->LblSmorfia->font().pointSizeF())
                  << QString::number(tip->superficie().segmenti().size()) << QString::number(Estratti[n])
                  << QString::fromLatin1(banco.registro());
            // The voice starts once the pop-up is on screen.
            QTRY_COMPARE(voce.detti.size(), estratti.size() + 1);
            QTest::keyClick(tip, Qt::Key_Space);
        }));
        // Marked and recorded only once the pop-up has been dismissed.
        QCOMPARE(visto, (QStringList{nomeImmagine(n), Commenti[n], QString::number(Spessore * 1.9),
                                     QStringLiteral("4"), QStringLiteral("0"), QString::fromLatin1(prima)}));
        estratti << n;
        QCOMPARE(differenze(t, estratti), QString());
    }
    QCOMPARE(banco.registro(), Intestazione + righe({3, 17, 5}));
    QCOMPARE(voce.detti, (QStringList{testoAnnuncio(3, Commenti[3]), testoAnnuncio(17, Commenti[17]),
                                      testoAnnuncio(5, Commenti[5])}));

    // Double clicks that queue up while the first is being handled (a fast hand, a slow
    // machine) are dropped: one pop-up, one line.
    int popup = 0;
    const auto dClic = [](Immagine *cella) {
        const QPointF centro = QRectF(cella->rect()).center();
        QCoreApplication::postEvent(cella, new QMouseEvent(QEvent::MouseButtonDblClick, centro,
                                                           cella->mapToGlobal(centro), Qt::LeftButton,
                                                           Qt::LeftButton, Qt::NoModifier));
    };
    QVERIFY(allaModale<frmTip>(
        [&] {
            for (const int n : {8, 8, 9, 3})
                dClic(t.Img[n]);
            QCoreApplication::processEvents();
        },
        [&](frmTip *tip) {
            ++popup;
            QCOMPARE(tip->windowTitle(), QStringLiteral("La tombola della smorfia "));
            QTest::keyClick(tip, Qt::Key_Space);
        }));
    QCoreApplication::processEvents();
    QCOMPARE(popup, 1);
    QCOMPARE(differenze(t, estratti << 8), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({3, 17, 5, 8}));
    QCOMPARE(banco.richieste.chiesto, QStringList());
}

void TestTabellone::accessibilita()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({7}));
    Livello = 1;
    t.Livelli();
    const auto interfaccia = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
    QStringList celle;
    QAccessibleInterface *tabellone = interfaccia(&t);
    for (int i = 0; i < tabellone->childCount(); ++i)
        if (const QObject *figlio = tabellone->child(i)->object(); figlio && figlio->objectName().startsWith("Img"))
            celle << tabellone->child(i)->text(QAccessible::Name);
    QCOMPARE(celle.size(), 90);
    QCOMPARE(celle.first(), QStringLiteral("1"));
    QCOMPARE(celle.last(), QStringLiteral("90"));
    QVERIFY(celle.contains(QStringLiteral("7, estratto")) && !celle.contains(QStringLiteral("7")));

    banco.richieste.immissioni = {QStringLiteral("W LA TOMBOLA")};
    QTest::keyClick(&t, Qt::Key_F10);
    QCOMPARE(interfaccia(t.LblDX2)->text(QAccessible::Description), QStringLiteral("W LA TOMBOLA"));
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QVERIFY(interfaccia(t.LblDX)->text(QAccessible::Description).startsWith(QStringLiteral("sono le ore ")));

    QString commento;
    QVERIFY(banco.estrai(33, [&](frmTip *tip) {
        commento = interfaccia(tip->LblSmorfia)->text(QAccessible::Description);
        QTest::keyClick(tip, Qt::Key_Space);
    }));
    QCOMPARE(commento, Commenti[33]);
    QCOMPARE(interfaccia(t.Img[33])->text(QAccessible::Name), QStringLiteral("33, estratto"));
    // Withdrawn (the right button asks; left and middle do not), it is only a number again.
    banco.richieste.chiesto.clear();
    for (const auto pulsante : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton})
        QTest::mouseClick(t.Img[33], pulsante);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Vuoi veramente nascondere il numero 33")});
    QCOMPARE(interfaccia(t.Img[33])->text(QAccessible::Name), QStringLiteral("33"));
    QCOMPARE(differenze(t, {7}), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({7}));
}

void TestTabellone::tastiDelTabellone()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({3, 33, 90}));
    t.Timer1->stop(); // the tick would scroll the column under the test
    // A key held down does not repeat its command: it asks nothing.
    QKeyEvent tenuto(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&t, &tenuto);
    // F2 and Shift+F1 ask the same; cancel keeps the game, OK blanks it and starts a header-only record.
    banco.richieste.risposte = {false};
    QTest::keyClick(&t, Qt::Key_F2);
    QCOMPARE(differenze(t, {3, 33, 90}), QString());
    QTest::keyClick(&t, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(banco.richieste.chiesto, QStringList(2, QStringLiteral("Vuoi azzerare la partita?")));
    QCOMPARE(differenze(t, {}), QString());
    QCOMPARE(banco.registro(), Intestazione);

    // F10 writes the message twice, starting from the column's text; Ctrl+F10 does nothing.
    banco.richieste.immissioni = {QStringLiteral("VINCE"), QStringLiteral("CIAO"), QStringLiteral("NO")};
    QTest::keyClick(&t, Qt::Key_F10);
    banco.richieste.chiesto.clear();
    banco.richieste.domande.clear();
    QTest::keyClick(&t, Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_F10);
    const Domanda messaggi{QStringLiteral("Messaggi"),
                           QStringLiteral("Immetti parole non più lunghe di 4 caratteri.\n"
                                          "Interrompi le più lunghe con '- '"),
                           std::nullopt};
    QCOMPARE(banco.richieste.domande, QList<Domanda>{messaggi});
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Messaggi: VINCE   \nVINCE   \n")});
    QCOMPARE(t.LblDX2->text(), QStringLiteral("CIAO   \nCIAO   \n"));
    // An unbroken thousand characters: the column's label gets what can show, the box the whole text.
    const QString lungo(1000, u'X');
    banco.richieste.immissioni = {lungo, lungo};
    QTest::keyClick(&t, Qt::Key_F10);
    banco.richieste.chiesto.clear();
    QTest::keyClick(&t, Qt::Key_F10);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Messaggi: ") + lungo + QStringLiteral("   \n") + lungo + QStringLiteral("   \n")});
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QVERIFY2(t.LblDX2->text().size() < 400, qPrintable(QString::number(t.LblDX2->text().size())));

    // F11 maximises and lays out again: the message column reaches the corner; a second F11 restores.
    const QSize dimensione = t.size();
    const QRect ultimaCella = t.Img[90]->geometry();
    // The layout pass waits for the new size; until then the board takes no other key.
    QTest::keyClick(&t, Qt::Key_F11);
    QVERIFY(t.partita().occupata());
    lascia(&t);
    QTRY_VERIFY(!t.partita().occupata());
    QVERIFY(t.isMaximized() && t.isVisible());
    QVERIFY2(t.width() > dimensione.width() && t.height() > dimensione.height(), "the window did not grow");
    QCOMPARE(t.LblDX2->geometry().bottomRight(), t.rect().bottomRight());
    QTest::keyClick(&t, Qt::Key_F11);
    QTRY_VERIFY(!t.partita().occupata());
    QVERIFY(!t.isMaximized() && t.isVisible());
    QCOMPARE(t.size(), dimensione);
    QCOMPARE(t.Img[90]->geometry(), ultimaCella);

    // F1 opens the information dialog over the board.
    QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&t, Qt::Key_F1); }, [](frmAbout *d) { d->reject(); }));

    // Ctrl+F8 leaves the board.
    lascia(&t);
    QVERIFY(t.isHidden());
}

QTEST_MAIN(TestTabellone)
#include "test_tabellone.moc"
