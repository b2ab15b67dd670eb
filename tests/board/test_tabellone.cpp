// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

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
    // A double click announces the number on the modal pop-up, then marks and records it; a drawn
    // number only tells how to withdraw it. A failed write leaves the game going with one notice,
    // and the next write rebuilds the record.
    void doppioClicEstraeDopoIlPopup();
    // Releasing the right button over a drawn number offers to withdraw it; yes rewrites the record.
    void tastoDestroRitira();
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
    QCOMPARE(titolo, QStringLiteral("%1 [CTRL+ALT+F4 per finire]   $    %1 [F11 ingrandire/ridurre]   $    "
                                    "%1 [F1 info]   $    %1")
                         .arg(QStringLiteral("Tabellone Tombola: doppio clic sul numero estratto")));
    QCOMPARE(titolo.size(), 284);
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
    QVERIFY(t.isHidden());

    t.LblDX2->setText(QStringLiteral("AMBO   \nAMBO   \n"));
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
            QTest::keyClick(tip, Qt::Key_Space);
        }));
        // Marked and recorded only once the pop-up has been dismissed.
        QCOMPARE(visto, (QStringList{nomeImmagine(n), Commenti[n], QString::number(Spessore * 1.9),
                                     QStringLiteral("4"), QStringLiteral("0"), QString::fromLatin1(prima)}));
        estratti << n;
        QCOMPARE(differenze(t, estratti), QString());
    }
    QCOMPARE(banco.registro(), Intestazione + righe({3, 17, 5}));

    QVERIFY(!banco.estrai(17));
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("TASTO DESTRO per cancellare")});
    QCOMPARE(differenze(t, estratti), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({3, 17, 5}));

    // A folder where the record should be: no write can replace it, even as root.
    QVERIFY(QFile::remove(banco.percorso(QStringLiteral("ultima.par"))));
    QVERIFY(QDir(banco.cartella.path()).mkdir(QStringLiteral("ultima.par")));
    QVERIFY(banco.estrai(42));
    QCOMPARE(banco.richieste.chiesto.size(), 2);
    QVERIFY(banco.richieste.chiesto.last().startsWith(QStringLiteral("La partita non è stata salvata")));
    QCOMPARE(differenze(t, estratti << 42), QString());
    // Once it can be written again, the next draw writes the whole board and the one after adds a line.
    QVERIFY(QDir(banco.cartella.path()).rmdir(QStringLiteral("ultima.par")));
    QVERIFY(banco.estrai(7));
    QCOMPARE(banco.registro(), Intestazione + righe({3, 5, 7, 17, 42}));
    QVERIFY(banco.estrai(1));
    QCOMPARE(banco.registro(), Intestazione + righe({3, 5, 7, 17, 42, 1}));
    QCOMPARE(banco.richieste.chiesto.size(), 2);
}

void TestTabellone::tastoDestroRitira()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({60, 7, 42}));
    // The left button, or the right one on a number not drawn, does nothing; no keeps the number.
    banco.richieste.risposte = {false};
    QTest::mouseClick(t.Img[5], Qt::RightButton);
    QTest::mouseClick(t.Img[42], Qt::LeftButton);
    QTest::mouseClick(t.Img[42], Qt::RightButton);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Vuoi veramente nascondere il numero 42")});
    QCOMPARE(differenze(t, {60, 7, 42}), QString());
    QCOMPARE(banco.registro(), IntestazioneVecchia + righe({60, 7, 42}));
    // Yes blanks it and rewrites the rest in ascending order; drawn again, it goes to the end.
    QTest::mouseClick(t.Img[42], Qt::RightButton);
    QCOMPARE(differenze(t, {7, 60}), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({7, 60}));
    QVERIFY(banco.estrai(42));
    QCOMPARE(banco.registro(), Intestazione + righe({7, 60, 42}));
    // Withdrawing the only number left leaves the header.
    for (const int n : {60, 42, 7})
        QTest::mouseClick(t.Img[n], Qt::RightButton);
    QCOMPARE(differenze(t, {}), QString());
    QCOMPARE(banco.registro(), Intestazione);
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
    banco.richieste.risposte = {false, false};
    QTest::keyClick(&t, Qt::Key_F2);
    QTest::keyClick(&t, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(differenze(t, {3, 33, 90}), QString());
    QCOMPARE(banco.registro(), IntestazioneVecchia + righe({3, 33, 90}));
    QTest::keyClick(&t, Qt::Key_F2);
    QCOMPARE(banco.richieste.chiesto, QStringList(3, QStringLiteral("Vuoi azzerare la partita?")));
    QCOMPARE(differenze(t, {}), QString());
    QCOMPARE(banco.registro(), Intestazione);

    // F10 writes the message twice, starting from the column's text; Ctrl+F10 does nothing.
    banco.richieste.chiesto.clear();
    banco.richieste.immissioni = {QStringLiteral("CIAO"), QStringLiteral("NO")};
    t.LblDX2->setText(QStringLiteral("VINCE   \nVINCE   \n"));
    QTest::keyClick(&t, Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_F10);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Messaggi: VINCE   \nVINCE   \n")});
    QCOMPARE(t.LblDX2->text(), QStringLiteral("CIAO   \nCIAO   \n"));

    // F11 maximises and lays out again: the message column reaches the corner; a second F11 restores.
    const QSize dimensione = t.size();
    const QRect ultimaCella = t.Img[90]->geometry();
    QTest::keyClick(&t, Qt::Key_F11);
    QVERIFY(t.isMaximized() && t.isVisible());
    QVERIFY2(t.width() > dimensione.width() && t.height() > dimensione.height(), "the window did not grow");
    QCOMPARE(t.LblDX2->geometry().bottomRight(), t.rect().bottomRight());
    QTest::keyClick(&t, Qt::Key_F11);
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
