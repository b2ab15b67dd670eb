// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "dichiarazioni.h"
#include "partita.h"
#include "richieste_finte.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Dichiarazioni;

namespace {

const QByteArray Vecchia = QByteArrayLiteral("Partita : 01/01/2020 10:00:00\r\n");
const QByteArray Nuova = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n");

QByteArray righe(const QList<int> &numeri)
{
    QByteArray testo;
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

// The board as the flow sees it: what each cell shows, which pop-ups were
// shown, and a hook that runs at one named moment of the flow.
class SchermoFinto final : public SchermoPartita
{
public:
    std::array<int, DimensioneTabelle> celle{};
    QList<int> popup;
    QString momento;                // "cede 1", "cede 2"..., or "popup"
    std::function<void()> intrusione; // runs once, at that moment

    void mostraCella(int cella, int numero) override { celle[std::size_t(cella)] = numero; }
    void preparaPopup(int numero) override { m_preparato = numero; }
    void mostraPopup(const std::function<void()> &comparso) override
    {
        popup << m_preparato;
        comparso();
        accade(QStringLiteral("popup"));
    }
    void cedi() override { accade(QStringLiteral("cede %1").arg(++m_cedimenti)); }

private:
    void accade(const QString &quando)
    {
        if (quando == momento && intrusione)
            std::exchange(intrusione, nullptr)();
    }
    int m_preparato = 0;
    int m_cedimenti = 0;
};

// A game on a record of its own, resumed from `iniziale`, or from whatever
// `prepara` leaves in the record's folder.
struct Banco {
    explicit Banco(const QByteArray &iniziale, const std::function<void(const QDir &)> &prepara = {})
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        azzera();
        if (prepara) {
            prepara(QDir(cartella.path()));
        } else {
            QFile file(percorso());
            if (file.open(QIODevice::WriteOnly))
                file.write(iniziale);
        }
        partita.impostaOrologio([] { return QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33)); });
        partita.CaricaPartita(QStringLiteral("inizio"));
    }
    QString percorso() const { return QDir(cartella.path()).filePath(QStringLiteral("ultima.par")); }
    QByteArray registro() const
    {
        QFile file(percorso());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<no record>");
    }
    // Empty when exactly these numbers are flagged and every cell shows its flag.
    QString differenze(const QList<int> &estratti) const
    {
        for (int n = 0; n < DimensioneTabelle; ++n) {
            if ((Estratti[std::size_t(n)] == Estratto) != estratti.contains(n))
                return QStringLiteral("flag of %1").arg(n);
            if (numeroValido(n) && schermo.celle[std::size_t(n)] != (estratti.contains(n) ? n : 0))
                return QStringLiteral("cell %1 shows %2").arg(n).arg(schermo.celle[std::size_t(n)]);
        }
        return {};
    }

    QTemporaryDir cartella;
    SchermoFinto schermo;
    RichiesteFinte richieste;
    Partita partita{schermo, richieste, nullptr, RegistroPartita(cartella.path())};
};

} // namespace

class TestPartita : public QObject
{
    Q_OBJECT

private slots:
    // Whatever arrives while a draw of 7 is under way (a second double click, a right click,
    // F2, F11) is refused, not kept for later: one pop-up, one line, every cell matching its
    // flag, no question asked. Closing the board stops the draw where it is: a number whose
    // pop-up was never closed is neither marked nor recorded.
    void inputDuranteUnaEstrazione_data();
    void inputDuranteUnaEstrazione();
    // While F11 holds the board nothing else runs, and afterwards everything does again.
    void f11TieneIlTabellone();
    // Each question carries its own caption, text and buttons; only an accepting answer
    // changes the board and the record.
    void domandeERisposte_data();
    void domandeERisposte();
    // A record that cannot be read is told once, before anything else, naming the file and
    // why; the board starts empty and plays. Leftovers of killed writes go, nothing else.
    void registroIlleggibileDettoAllInizio();
    // A record that cannot be written leaves the game going with one notice naming the file;
    // the next write rebuilds the whole record, the one after appends again.
    void scritturaFallitaRitentata();
};

void TestPartita::inputDuranteUnaEstrazione_data()
{
    QTest::addColumn<QString>("momento");
    QTest::addColumn<QString>("intrusione");
    QTest::addColumn<QList<int>>("estratti");
    QTest::addColumn<QByteArray>("registro");
    QTest::addColumn<QList<int>>("popup");

    const QByteArray conSette = Vecchia + righe({42, 7});
    const QByteArray senzaSette = Vecchia + righe({42});
    // The draw yields before its pop-up (cede 1), shows it (popup), yields before marking the
    // number (cede 2) and after writing it (cede 3).
    for (const QString &momento : {QStringLiteral("cede 1"), QStringLiteral("popup"), QStringLiteral("cede 2"),
                                   QStringLiteral("cede 3")}) {
        for (const QString &intrusione : {QStringLiteral("the same cell again"), QStringLiteral("another cell"),
                                          QStringLiteral("a right click"), QStringLiteral("F2"),
                                          QStringLiteral("F11")})
            QTest::newRow(qPrintable(intrusione + QStringLiteral(" at ") + momento))
                << momento << intrusione << QList<int>{7, 42} << conSette << QList<int>{7};
    }
    QTest::newRow("closing before the pop-up shows no pop-up")
        << QStringLiteral("cede 1") << QStringLiteral("close") << QList<int>{42} << senzaSette << QList<int>{};
    QTest::newRow("closing with the pop-up up records nothing")
        << QStringLiteral("popup") << QStringLiteral("close") << QList<int>{42} << senzaSette << QList<int>{7};
    QTest::newRow("closing after the pop-up, before marking, records nothing")
        << QStringLiteral("cede 2") << QStringLiteral("close") << QList<int>{42} << senzaSette << QList<int>{7};
    QTest::newRow("closing once the line is written keeps it")
        << QStringLiteral("cede 3") << QStringLiteral("close") << QList<int>{7, 42} << conSette << QList<int>{7};
}

void TestPartita::inputDuranteUnaEstrazione()
{
    QFETCH(QString, momento);
    QFETCH(QString, intrusione);
    QFETCH(QList<int>, estratti);
    QFETCH(QByteArray, registro);
    QFETCH(QList<int>, popup);
    Banco banco(Vecchia + righe({42}));
    Partita &p = banco.partita;
    bool f11Accolto = false;
    banco.schermo.momento = momento;
    banco.schermo.intrusione = [&] {
        if (intrusione == QLatin1String("the same cell again"))
            p.estrai(7);
        else if (intrusione == QLatin1String("another cell"))
            p.estrai(8);
        else if (intrusione == QLatin1String("a right click"))
            p.ritira(42);
        else if (intrusione == QLatin1String("F2"))
            p.nuovaPartita();
        else if (intrusione == QLatin1String("F11"))
            f11Accolto = p.occupa();
        else
            p.termina();
    };
    VoceFinta voce;
    p.impostaVoce(&voce);
    p.estrai(7);
    QVERIFY2(!banco.schermo.intrusione, "the flow never reached that moment");

    QCOMPARE(banco.schermo.popup, popup);
    // Spoken once for each pop-up shown, never for a refused request; the voice never
    // finished, and the draw went on all the same.
    QCOMPARE(voce.detti, QStringList(popup.size(), testoAnnuncio(7, Commenti[7])));
    QCOMPARE(banco.registro(), registro);
    QCOMPARE(banco.richieste.chiesto, QStringList());
    QVERIFY(!f11Accolto);
    if (intrusione == QLatin1String("close")) {
        // A closed board takes nothing more.
        QCOMPARE(Estratti[7] == Estratto, estratti.contains(7));
        p.estrai(8);
        QCOMPARE(banco.schermo.popup.size(), popup.size());
        QVERIFY(!p.occupa());
    } else {
        QCOMPARE(banco.differenze(estratti), QString());
        // Nothing was left waiting, and the board takes the next draw.
        QVERIFY(!p.occupata());
        // With the switch off the draw is silent.
        p.impostaVoce(nullptr);
        p.estrai(8);
        QCOMPARE(banco.registro(), Vecchia + righe({42, 7, 8}));
        QCOMPARE(voce.detti.size(), popup.size());
    }
}

void TestPartita::f11TieneIlTabellone()
{
    Banco banco(Vecchia + righe({42}));
    Partita &p = banco.partita;
    QVERIFY(p.occupa());
    QVERIFY(p.occupata() && !p.occupa());
    p.estrai(7);
    p.ritira(42);
    p.nuovaPartita();
    QCOMPARE(banco.schermo.popup, QList<int>());
    QCOMPARE(banco.richieste.chiesto, QStringList());
    QCOMPARE(banco.registro(), Vecchia + righe({42}));
    p.libera();
    p.estrai(7);
    QCOMPARE(banco.registro(), Vecchia + righe({42, 7}));
    QCOMPARE(banco.differenze({7, 42}), QString());
}

void TestPartita::domandeERisposte_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<bool>("accetta");
    QTest::addColumn<Domanda>("domanda");
    QTest::addColumn<QList<int>>("estratti");
    QTest::addColumn<QByteArray>("registro");

    const QByteArray intatto = Vecchia + righe({30, 5, 17});
    const Domanda ricorda{QStringLiteral("Tabellone Tombola"), QStringLiteral("TASTO DESTRO per cancellare"),
                          Richieste::Pulsanti::Ok};
    const Domanda ritira{QStringLiteral("Tombola by Tavesi Aldrino"),
                         QStringLiteral("Vuoi veramente nascondere il numero 5"), Richieste::Pulsanti::SiNo};
    const Domanda azzera{QStringLiteral("Tabellona Tombola - Azzera / Nuova tombola"),
                         QStringLiteral("Vuoi azzerare la partita?"), Richieste::Pulsanti::OkAnnulla};
    QTest::newRow("a drawn number double-clicked only reminds")
        << "estrai 5" << true << ricorda << QList<int>{5, 17, 30} << intatto;
    QTest::newRow("no keeps a number") << "ritira 5" << false << ritira << QList<int>{5, 17, 30} << intatto;
    QTest::newRow("yes withdraws it and rewrites the rest in ascending order")
        << "ritira 5" << true << ritira << QList<int>{17, 30} << Nuova + righe({17, 30});
    QTest::newRow("cancel keeps the game") << "F2" << false << azzera << QList<int>{5, 17, 30} << intatto;
    QTest::newRow("OK blanks the board and starts a header-only record")
        << "F2" << true << azzera << QList<int>{} << Nuova;
}

void TestPartita::domandeERisposte()
{
    QFETCH(QString, azione);
    QFETCH(bool, accetta);
    QFETCH(Domanda, domanda);
    QFETCH(QList<int>, estratti);
    QFETCH(QByteArray, registro);
    Banco banco(Vecchia + righe({30, 5, 17}));
    banco.richieste.risposte = {accetta};
    // A right click on a number not drawn asks nothing.
    banco.partita.ritira(8);
    if (azione == QLatin1String("F2"))
        banco.partita.nuovaPartita();
    else if (azione.startsWith(QLatin1String("ritira")))
        banco.partita.ritira(5);
    else
        banco.partita.estrai(5);
    QCOMPARE(banco.richieste.domande, QList<Domanda>{domanda});
    QCOMPARE(banco.differenze(estratti), QString());
    QCOMPARE(banco.registro(), registro);
    QCOMPARE(banco.schermo.popup, QList<int>());
}

void TestPartita::registroIlleggibileDettoAllInizio()
{
    const QStringList temporanei{QStringLiteral("ultima.par.AbcxYz"), QStringLiteral("ultima.par.bak"),
                                 QStringLiteral("ultima.par.Ab3xY"), QStringLiteral("altra.par.Ab3xYz")};
    // A folder of that name: unreadable even as root.
    Banco banco({}, [&](const QDir &cartella) {
        QVERIFY(cartella.mkdir(QStringLiteral("ultima.par")));
        for (const QString &nome : temporanei) {
            QFile file(cartella.filePath(nome));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(righe({5})) > 0);
        }
    });
    const Domanda avviso{QStringLiteral("Tabellone Tombola"),
                         messaggioLettura(banco.percorso(), QStringLiteral("è una cartella")), Richieste::Pulsanti::Ok};
    QCOMPARE(banco.richieste.domande, QList<Domanda>{avviso});
    QVERIFY(banco.richieste.chiesto[0].contains(QDir::toNativeSeparators(banco.percorso())));
    QCOMPARE(banco.partita.ultimaPartita(), QString());
    QCOMPARE(banco.differenze({}), QString());
    const QStringList rimasti = QDir(banco.cartella.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(rimasti, (QStringList{QStringLiteral("altra.par.Ab3xYz"), QStringLiteral("ultima.par.Ab3xY"),
                                   QStringLiteral("ultima.par.bak")}));
}

void TestPartita::scritturaFallitaRitentata()
{
    Banco banco(Vecchia + righe({3}));
    // A folder where the record should be: no write can replace it, even as root.
    QVERIFY(QFile::remove(banco.percorso()));
    QVERIFY(QDir(banco.cartella.path()).mkdir(QStringLiteral("ultima.par")));
    banco.partita.estrai(42);
    QCOMPARE(banco.richieste.domande.size(), 1);
    QCOMPARE(banco.richieste.domande[0].titolo, QStringLiteral("Tabellone Tombola"));
    QVERIFY(banco.richieste.chiesto[0].startsWith(QStringLiteral("La partita non è stata salvata in ")
                                                  + QDir::toNativeSeparators(banco.percorso())));
    QCOMPARE(banco.differenze({3, 42}), QString());
    QVERIFY(QDir(banco.cartella.path()).rmdir(QStringLiteral("ultima.par")));
    banco.partita.estrai(7);
    QCOMPARE(banco.registro(), Nuova + righe({3, 7, 42}));
    banco.partita.estrai(1);
    QCOMPARE(banco.registro(), Nuova + righe({3, 7, 42, 1}));
    QCOMPARE(banco.richieste.domande.size(), 1);
}

QTEST_GUILESS_MAIN(TestPartita)
#include "test_partita.moc"
