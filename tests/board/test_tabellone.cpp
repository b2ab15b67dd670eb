// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "comandi.h"
#include "prova_finestre.h"

#include <QAccessible>

class TestTabellone : public QObject
{
    Q_OBJECT

private slots:
    // A new board scrolls the full caption; laid out again it draws one set of lines. Each tick moves
    // caption and message column one character left and sizes them: messages at the unit, the clock no
    // larger and never cut. A screen reader hears the message and the time.
    void nuovoTabelloneETic_data();
    void nuovoTabelloneETic();
    // A double click announces the number on the modal pop-up, then marks, records and speaks
    // it; double clicks queued behind the first are dropped. A screen reader hears the comment and
    // which numbers are out, and never meets the cells that take no part in the game. Only the
    // right button withdraws.
    void doppioClicEAccessibilita();
    // The board's keys start a new game, write messages, maximise and restore, or leave the board;
    // held down, they do not repeat.
    void tastiDelTabellone();
};

void TestTabellone::nuovoTabelloneETic_data()
{
    QTest::addColumn<QSize>("tabellone"); // inner size once laid out again, in pixels
    QTest::newRow("a board too narrow for a unit") << QSize(40, 300);
    QTest::newRow("maximised on 1920 x 1080") << QSize(1920, 1050);
}

void TestTabellone::nuovoTabelloneETic()
{
    QFETCH(QSize, tabellone);
    const auto interfaccia = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
    Banco banco;
    frmTabellone &t = banco.crea();
    const QString titolo = t.windowTitle();
    QCOMPARE(titolo, titoloTabellone());
    QVERIFY(t.Timer1->isActive());
    // Four separators and a frame of four lines per cell.
    t.resize(tabellone);
    t.RicalcolaMisure();
    QCOMPARE(t.superficie().segmenti().size(), std::size_t(4 + 90 * 4));

    banco.richieste.immissioni = {QStringLiteral("AMBO")};
    QTest::keyClick(&t, Qt::Key_F10);
    QCOMPARE(interfaccia(t.LblDX2)->text(QAccessible::Description), QStringLiteral("AMBO"));
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QVERIFY(interfaccia(t.LblDX)->text(QAccessible::Description).startsWith(QStringLiteral("sono le ore ")));
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

void TestTabellone::doppioClicEAccessibilita()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({7}));
    Livello = 1;
    t.Livelli();
    VoceFinta voce;
    t.partita().impostaVoce(&voce);
    const auto interfaccia = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
    QStringList celle, attese;
    QAccessibleInterface *tabellone = interfaccia(&t);
    for (int i = 0; i < tabellone->childCount(); ++i)
        if (const QObject *figlio = tabellone->child(i)->object(); figlio && figlio->objectName().startsWith("Img"))
            celle << tabellone->child(i)->text(QAccessible::Name);
    for (int n = PrimoNumero; n <= UltimoNumero; ++n)
        attese << (n == 7 ? QStringLiteral("7, estratto") : QString::number(n));
    QCOMPARE(celle, attese);

    // Double clicks that queue up while the first is being handled (a fast hand, a slow
    // machine) are dropped: one pop-up, one line, no reminder for the 7.
    QStringList visto;
    QVERIFY(allaModale<frmTip>(
        [&] {
            for (Immagine *cella : {t.Img[8], t.Img[8], t.Img[9], t.Img[7]}) {
                const QPointF centro = QRectF(cella->rect()).center();
                QCoreApplication::postEvent(cella, new QMouseEvent(QEvent::MouseButtonDblClick, centro,
                                                                   cella->mapToGlobal(centro), Qt::LeftButton,
                                                                   Qt::LeftButton, Qt::NoModifier));
            }
            QCoreApplication::processEvents();
        },
        [&](frmTip *tip) {
            visto << tip->windowTitle() << tip->ImgNumero->nomeCaricato() << tip->LblSmorfia->text()
                  << interfaccia(tip->LblSmorfia)->text(QAccessible::Description)
                  << QString::number(tip->LblSmorfia->font().pointSizeF())
                  << QString::number(tip->superficie().segmenti().size()) << QString::number(Estratti[8])
                  << QString::fromLatin1(banco.registro());
            // The voice starts once the pop-up is on screen.
            QTRY_COMPARE(voce.detti.size(), 1);
            QTest::keyClick(tip, Qt::Key_Space);
        }));
    QCoreApplication::processEvents();
    // Marked and recorded only once the pop-up has been dismissed.
    const QString commento = QStringLiteral("IL PETTO DELLE DONNE");
    QCOMPARE(visto, (QStringList{QStringLiteral("La tombola della smorfia "), nomeImmagine(8), commento, commento,
                                 QString::number(Spessore * 1.9), QStringLiteral("4"), QStringLiteral("0"),
                                 QString::fromLatin1(IntestazioneVecchia + righe({7}))}));
    QCOMPARE(voce.detti, QStringList{testoAnnuncio(8, commento)});
    QCOMPARE(banco.registro(), IntestazioneVecchia + righe({7, 8}));
    QCOMPARE(interfaccia(t.Img[8])->text(QAccessible::Name), QStringLiteral("8, estratto"));

    // Withdrawn (the right button asks; left and middle do not), it is only a number again.
    for (const auto pulsante : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton})
        QTest::mouseClick(t.Img[8], pulsante);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Vuoi veramente nascondere il numero 8")});
    QCOMPARE(interfaccia(t.Img[8])->text(QAccessible::Name), QStringLiteral("8"));
    QCOMPARE(differenze(t, {7}), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({7}));
}

void TestTabellone::tastiDelTabellone()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({3}));
    t.Timer1->stop(); // the tick would scroll the column under the test
    // A key held down does not repeat its command: it asks nothing. F2 and Shift+F1 ask the same;
    // cancel keeps the game (what OK does is the flow test's).
    QKeyEvent tenuto(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&t, &tenuto);
    banco.richieste.risposte = {false, false};
    QTest::keyClick(&t, Qt::Key_F2);
    QTest::keyClick(&t, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(banco.richieste.chiesto, QStringList(2, QStringLiteral("Vuoi azzerare la partita?")));
    QCOMPARE(differenze(t, {3}), QString());

    // F10 writes the message twice, and the box starts from its whole text, though an unbroken
    // thousand characters leave the column only what can show. Ctrl+F10 does nothing.
    const QString lungo(1000, u'X');
    banco.richieste.chiesto.clear();
    banco.richieste.immissioni = {lungo};
    QTest::keyClick(&t, Qt::Key_F10);
    QVERIFY2(t.LblDX2->text().size() < 400, qPrintable(QString::number(t.LblDX2->text().size())));
    QTest::keyClick(&t, Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_F10);
    const Domanda messaggi{QStringLiteral("Messaggi"),
                           QStringLiteral("Immetti parole non più lunghe di 4 caratteri.\n"
                                          "Interrompi le più lunghe con '- '"),
                           std::nullopt};
    QCOMPARE(banco.richieste.domande.mid(2), QList<Domanda>(2, messaggi));
    QCOMPARE(banco.richieste.chiesto,
             (QStringList{QStringLiteral("Messaggi: "), QStringLiteral("Messaggi: %1   \n%1   \n").arg(lungo)}));

    // F11 maximises and lays out again once the new size arrives; until then the board takes no
    // other key. A second F11 restores.
    const QSize dimensione = t.size();
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

    // F1 opens the information dialog over the board; Ctrl+F8 leaves the board.
    QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&t, Qt::Key_F1); }, [](frmAbout *d) { d->reject(); }));
    lascia(&t);
    QVERIFY(t.isHidden());
}

QTEST_MAIN(TestTabellone)
#include "test_tabellone.moc"
