// SPDX-License-Identifier: MIT
#include "archivio.h"
#include "frmverifica.h"
#include "frmvincita.h"
#include "prova_finestre.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>

namespace {

const Blocchetto Provato = blocchettoDaSeme(0x7ab311e, 12, QDate(2026, 12, 24));

// The numbers of row r (0..2) of a card of the batch, as printed.
QList<int> riga(int cartella, int r)
{
    QList<int> numeri;
    const Cartella stampata = Provato.cartella(cartella);
    for (const auto n : stampata.righe[std::size_t(r)])
        if (n)
            numeri << n;
    return numeri;
}

// Ambo 10 € (one prize), cinquina: two prizes, tombola: a ham; the board's blocks play.
Programma programmaDiProva()
{
    Programma p;
    p[Categoria::Ambo].premi = {Premio{QString(), 1000}};
    p[Categoria::Cinquina].premi = {Premio{QString(), 2500}, Premio{QString(), 1500}};
    p[Categoria::Tombola].premi = {Premio{QStringLiteral("un prosciutto"), 0}};
    p.tabellone = true;
    return p;
}

// Every widget of a check window, by class and name, in creation order.
QStringList composizione(const QWidget &finestra)
{
    QStringList parti;
    for (const QWidget *w : finestra.findChildren<QWidget *>())
        parti << QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
    return parti;
}

// The board's own look: its size and place, every child's, and its pixels.
struct Aspetto {
    QRect geometria;
    QList<QRect> figli;
    QImage immagine;
    bool operator==(const Aspetto &) const = default;
};

Aspetto aspetto(frmTabellone &t)
{
    Aspetto a{t.geometry(), {}, t.grab().toImage()};
    for (const QWidget *w : t.findChildren<QWidget *>())
        if (!qobject_cast<const frmVincita *>(w))
            a.figli << w->geometry();
    return a;
}

} // namespace

class TestControlloCartella : public QObject
{
    Q_OBJECT

private slots:
    // With a programme, F5 tells when the card completed each open category, offers "Assegna"
    // for the lowest one with the tied cards to tick, and gives it: kept in the story, shown over
    // the board and said. A wrong claim is told and changes nothing.
    void reclamoConF5_data();
    void reclamoConF5();
    // A batch of 500 series (3000 cards): the check with its claim on screen, and the claim settled
    // again for another call, each with its tied cards sought among them all, measured.
    void cinquecentoSerie();
    // Without a programme the check window is the plain one, and nothing is offered.
    void senzaProgrammaComePrima();
    // The winner's banner covers the board and goes at a key (which it takes), a click or its time,
    // leaving the board exactly as it was.
    void vincitaSulTabellone_data();
    void vincitaSulTabellone();
};

void TestControlloCartella::reclamoConF5_data()
{
    QTest::addColumn<QString>("scritto");
    QTest::addColumn<QList<int>>("estratti"); // in calling order
    QTest::addColumn<int>("dichiarata");      // the combo's row: 0 what is due, 1 ambo … 6 tombolino
    QTest::addColumn<QStringList>("offerti"); // the tied cards listed
    QTest::addColumn<QStringList>("spuntati");
    QTest::addColumn<QString>("righe");        // when it completed what
    QTest::addColumn<QString>("errore");       // a wrong claim; empty: "Assegna" gives
    QTest::addColumn<QStringList>("vincitori"); // "key@call" of the assignment made
    QTest::addColumn<QStringList>("banner");
    QTest::addColumn<QString>("detto");

    // Card 68 is in card 67's series: they share no number. 68 completes its ambo first.
    const QList<int> ambi = riga(68, 0).mid(0, 2) + riga(67, 0).mid(0, 2);
    const QString codice = Provato.codice;
    QTest::newRow("ambo shared with an earlier tied card")
        << "67" << ambi << 0 << QStringList{"cartella 68 (chiamata 2)"} << QStringList{"cartella 68 (chiamata 2)"}
        << "ambo completato alla chiamata 4; ultima chiamata 4" << ""
        << QStringList{codice + "-67@4", codice + "-68@2"}
        << QStringList{"AMBO!", "Cartella 67 e cartella 68", "5,00 € ciascuno"}
        << "Ambo! Cartelle sessantasette e sessantotto.";
    QTest::newRow("ambo, the tied card not claimed")
        << "67" << ambi << 1 << QStringList{"cartella 68 (chiamata 2)"} << QStringList{}
        << "ambo completato alla chiamata 4; ultima chiamata 4" << "" << QStringList{codice + "-67@4"}
        << QStringList{"AMBO!", "Cartella 67", "10,00 €"} << "Ambo! Cartella sessantasette.";
    QTest::newRow("a late claim still told its call")
        << "68" << ambi << 0 << QStringList{} << QStringList{}
        << "ambo completato alla chiamata 2; ultima chiamata 4" << "" << QStringList{codice + "-68@2"}
        << QStringList{"AMBO!", "Cartella 68", "10,00 €"} << "Ambo! Cartella sessantotto.";
    QTest::newRow("cinquina called on an ambo")
        << "67" << ambi << 4 << QStringList{} << QStringList{}
        << "ambo completato alla chiamata 4; ultima chiamata 4" << "La cartella 67 non ha ancora una cinquina"
        << QStringList{} << QStringList{} << "";
    QTest::newRow("nothing yet") << "67" << riga(68, 0) << 0 << QStringList{} << QStringList{} << ""
                                 << "La cartella 67 non ha ancora un ambo" << QStringList{} << QStringList{} << "";
    QTest::newRow("a block of the board")
        << "tabellone 1" << QList<int>{1, 2} << 0 << QStringList{} << QStringList{}
        << "ambo completato alla chiamata 2; ultima chiamata 2" << "" << QStringList{"T1@2"}
        << QStringList{"AMBO!", "Tabellone 1", "10,00 €"} << "Ambo! Tabellone uno.";
}

void TestControlloCartella::reclamoConF5()
{
    QFETCH(QString, scritto);
    QFETCH(QList<int>, estratti);
    QFETCH(int, dichiarata);
    QFETCH(QStringList, offerti);
    QFETCH(QStringList, spuntati);
    QFETCH(QString, righe);
    QFETCH(QString, errore);
    QFETCH(QStringList, vincitori);
    QFETCH(QStringList, banner);
    QFETCH(QString, detto);
    Banco banco;
    const ArchivioBlocchetti archivio(banco.cartella.path());
    QCOMPARE(archivio.aggiungi(Provato, archivio.turno()), QString());
    const QByteArray registro = Intestazione + ::righe(estratti);
    frmTabellone &t = banco.riprendi(registro);
    QCOMPARE(t.partita().impostaProgramma(programmaDiProva()), QString());
    const Storia prima = t.partita().storia();
    VoceFinta voce;
    t.partita().impostaVoce(&voce);
    banco.richieste.immissioni = {scritto};

    QStringList visti;
    QString erroreVisto;
    bool assegnabile = false;
    QVERIFY(allaModale<frmVerifica>([&] { QTest::keyClick(&t, Qt::Key_F5); }, [&](frmVerifica *d) {
        QVERIFY(d->cmdAssegna);
        d->cboDichiarata->setCurrentIndex(dichiarata);
        QCOMPARE(d->lblReclamo->text(), righe);
        erroreVisto = d->lblErroreReclamo->isVisibleTo(d) ? d->lblErroreReclamo->text() : QString();
        assegnabile = d->cmdAssegna->isEnabled();
        for (int i = 0; i < d->lstPariMerito->count(); ++i) {
            QListWidgetItem *voce = d->lstPariMerito->item(i);
            visti << voce->text();
            if (spuntati.contains(voce->text()))
                voce->setCheckState(Qt::Checked);
        }
        if (assegnabile)
            QTest::mouseClick(d->cmdAssegna, Qt::LeftButton);
        else
            QTest::keyClick(d, Qt::Key_Return);
    }));
    // Tied cards of other series may join card 68: each listed one completed the ambo by call 4.
    for (const QString &o : offerti)
        QVERIFY2(visti.contains(o), qPrintable(visti.join(" | ")));
    QCOMPARE(erroreVisto, errore);
    QCOMPARE(assegnabile, errore.isEmpty());
    QVERIFY(!t.partita().occupata());
    QCOMPARE(banco.registro(), registro);

    const QList<Assegnazione> &date = t.partita().storia().corrente.assegnazioni;
    auto *vincita = t.findChild<frmVincita *>();
    if (vincitori.isEmpty()) {
        QCOMPARE(t.partita().storia(), prima);
        QVERIFY(!vincita);
        QCOMPARE(voce.detti.size(), 1); // the check's own outcome only
        return;
    }
    QCOMPARE(date.size(), 1);
    QStringList chi;
    for (const Vincitore &v : date.constFirst().vincitori)
        chi << QStringLiteral("%1@%2").arg(v.cartella.chiave()).arg(v.chiamata);
    QCOMPARE(chi, vincitori);
    // Kept: the story read back from its file holds it.
    QCOMPARE(ArchivioStoria(banco.cartella.path()).leggi().corrente.assegnazioni, date);
    QVERIFY(vincita && vincita->isVisible());
    QCOMPARE(vincita->righe(), banner);
    QCOMPARE(voce.detti.constLast(), detto);
    QTest::keyClick(&t, Qt::Key_Space);
    QTRY_VERIFY(!t.findChild<frmVincita *>());
}

void TestControlloCartella::cinquecentoSerie()
{
    Banco banco;
    const ArchivioBlocchetti archivio(banco.cartella.path());
    const Blocchetto grande = blocchettoDaSeme(0x5eed, 500, QDate(2026, 12, 24));
    QCOMPARE(archivio.aggiungi(grande, archivio.turno()), QString());
    QList<int> estratti;
    for (int n = 3; n <= 90 && estratti.size() < 30; n += 3)
        estratti << n;
    frmTabellone &t = banco.riprendi(Intestazione + righe(estratti));
    Programma p;
    p[Categoria::Ambo].premi = {Premio{QString(), 1000}};
    p[Categoria::Terno].premi = {Premio{QString(), 1000}};
    QCOMPARE(t.partita().impostaProgramma(p), QString());
    banco.richieste.immissioni = {QStringLiteral("1500")};
    QElapsedTimer tempo;
    qint64 finestra = -1, dinuovo = -1;
    int pari = -1;
    QVERIFY(allaModale<frmVerifica>(
        [&] {
            tempo.start();
            QTest::keyClick(&t, Qt::Key_F5);
        },
        [&](frmVerifica *d) {
            finestra = tempo.elapsed();
            QVERIFY(d->cmdAssegna);
            QElapsedTimer ancora;
            ancora.start();
            d->cboDichiarata->setCurrentIndex(1);
            dinuovo = ancora.elapsed();
            pari = d->lstPariMerito->count();
            d->reject();
        }));
    qInfo("500 series: check with its claim on screen in %lld ms, claim settled again in %lld ms, %d tied cards",
          finestra, dinuovo, pari);
    // Far above what it takes; a search gone quadratic would not make it.
    QVERIFY(dinuovo < 1000);
}

void TestControlloCartella::senzaProgrammaComePrima()
{
    Banco banco;
    const ArchivioBlocchetti archivio(banco.cartella.path());
    QCOMPARE(archivio.aggiungi(Provato, archivio.turno()), QString());
    const QList<int> estratti = riga(67, 0).mid(0, 2);
    const QByteArray registro = Intestazione + righe(estratti);
    frmTabellone &t = banco.riprendi(registro);
    const Storia prima = t.partita().storia();
    QVERIFY(prima.corrente.programma.vuoto());
    // The window the check made before prizes existed: the card and its outcome only.
    const frmVerifica semplice(verifica(QStringLiteral("67"), archivio.leggi(), Estratti, t.partita().ultimoEstratto()));
    banco.richieste.immissioni = {QStringLiteral("67")};
    QStringList vista;
    QSize dimensione;
    QVERIFY(allaModale<frmVerifica>([&] { QTest::keyClick(&t, Qt::Key_F5); }, [&](frmVerifica *d) {
        vista = composizione(*d);
        dimensione = d->sizeHint();
        QVERIFY(!d->cmdAssegna);
        QTest::keyClick(d, Qt::Key_Return);
    }));
    QCOMPARE(vista, composizione(semplice));
    QCOMPARE(dimensione, semplice.sizeHint());
    QCOMPARE(t.partita().storia(), prima);
    QCOMPARE(banco.registro(), registro);
    QVERIFY(!t.findChild<frmVincita *>());
}

void TestControlloCartella::vincitaSulTabellone_data()
{
    QTest::addColumn<QString>("come"); // how it is sent away
    QTest::newRow("a key") << "tasto";
    QTest::newRow("a click") << "clic";
    QTest::newRow("its time") << "tempo";
}

void TestControlloCartella::vincitaSulTabellone()
{
    QFETCH(QString, come);
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({5, 17, 42}));
    t.resize(1280, 720);
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    // The caption and the clock move by themselves: held still, so any change is the banner's.
    t.Timer1->stop();
    QTest::qWait(50);
    const Aspetto prima = aspetto(t);

    Assegnazione a;
    a.categoria = Categoria::Cinquina;
    a.numero = 1;
    a.premio = {QString(), 2500};
    a.vincitori = {{IdCartella{QStringLiteral("K3M9QX"), 67, false}, 34}, {IdCartella{QString(), 3, true}, 30}};
    auto *vincita = come == QLatin1String("tempo") ? new frmVincita(a, 2, &t, 200) : nullptr;
    if (vincita)
        vincita->show();
    else
        vincita = mostraVincita(a, 2, &t);
    QPointer<frmVincita> guardia(vincita);
    QCOMPARE(vincita->righe(), (QStringList{"CINQUINA!  (premio 2 di 2)", "Cartella 67 e tabellone 3", "12,50 € ciascuno"}));
    // Over the board, across most of it, tall enough to read from the back.
    QVERIFY(vincita->isVisible());
    QVERIFY(t.rect().contains(vincita->geometry()));
    QVERIFY(vincita->width() >= t.width() * 8 / 10);
    QVERIFY(vincita->height() >= t.height() * 4 / 10);
    QVERIFY(t.grab().toImage() != prima.immagine);

    if (come == QLatin1String("tasto")) {
        // F2 would ask for a new game: the banner takes the key.
        QTest::keyClick(&t, Qt::Key_F2);
        QVERIFY(banco.richieste.domande.isEmpty());
    } else if (come == QLatin1String("clic")) {
        QTest::mouseClick(vincita, Qt::LeftButton);
    } else {
        QVERIFY(vincita->isVisible());
    }
    QTRY_VERIFY(!guardia);
    QCOMPARE(aspetto(t), prima);
    // The keys reach the board again.
    banco.richieste.risposte = {false};
    QTest::keyClick(&t, Qt::Key_F2);
    QCOMPARE(banco.richieste.domande.size(), 1);
}

QTEST_MAIN(TestControlloCartella)
#include "test_controllocartella.moc"
