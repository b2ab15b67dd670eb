// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "dichiarazioni.h"
#include "ordine.h"
#include "partita.h"
#include "richieste_finte.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

using namespace Dichiarazioni;

namespace {

// The board as the flow sees it: what each cell shows, which pop-ups were
// shown, and a hook that runs once, at one named moment of the flow.
class SchermoFinto final : public SchermoPartita
{
public:
    std::array<int, DimensioneTabelle> celle{};
    QList<int> popup;
    QByteArray momento; // "cede 1", "cede 2"..., or "popup"
    std::function<void()> intrusione;
    int preparato = 0, cedimenti = 0;

    void mostraCella(int cella, int numero) override { celle[std::size_t(cella)] = numero; }
    void preparaPopup(int numero) override { preparato = numero; }
    void mostraPopup(const std::function<void()> &comparso) override
    {
        popup << preparato;
        comparso();
        accade("popup");
    }
    void cedi() override { accade("cede " + QByteArray::number(++cedimenti)); }
    void accade(const QByteArray &quando)
    {
        if (quando == momento && intrusione)
            std::exchange(intrusione, nullptr)();
    }
};

// A game on a record of its own, resumed from `iniziale`.
struct Banco {
    explicit Banco(const QByteArray &iniziale)
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        azzera();
        QFile file(percorso());
        if (file.open(QIODevice::WriteOnly))
            file.write(iniziale);
        file.close();
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
    // pop-up was never closed is neither marked nor recorded. Then, while F11 holds the board
    // nothing else runs, and afterwards everything does again.
    void inputDuranteUnaEstrazione_data();
    void inputDuranteUnaEstrazione();
    // Each question carries its own caption, text and buttons; only an accepting answer
    // changes the board and the record.
    void domandeERisposte_data();
    void domandeERisposte();
    // A record that cannot be read is told once, before anything else, naming the file and
    // why; the board starts empty and plays, and leftovers of killed writes go. A write that
    // fails leaves the game going with one notice naming the file; the next write rebuilds
    // the whole record, the one after appends again.
    void registroIlleggibileEScritturaFallita();
    // Every call is kept numbered, timed and with its source, beside the record and read back
    // with it; numbers of a record without story are told as not known. The computer draws
    // the first number of the seed's order not on the board, after showing the fingerprint
    // once; F2 ends the game and keeps it as the one before.
    void storiaDiOgniChiamata();
    // 90 computer draws fill the board with no repeat; the 90th ends the game, after which
    // F6 draws nothing.
    void ilComputerRiempieIlTabellone();
    // Every action added to run after a story change runs, in order (a window and the phones
    // both follow the game).
    void ogniAscoltatoreDellaStoria();
    // After a restart the last number called is the record's last line only when the record
    // cannot be one a withdrawal rewrote in number order; otherwise it is not known (0).
    void ultimoEstrattoDopoLaRipresa_data();
    void ultimoEstrattoDopoLaRipresa();
    // The prizes are kept like the calls, in the story, and the record is never touched by
    // them: the programme (refused when it is not one, or drops a prize already given), an
    // assignment (refused once the game moved on since its claim, or while another operation
    // runs), its withdrawal with a reason; the next start reads them all back; F2 starts the
    // next game with the programme and keeps the game before with its winners.
    void premiConservatiConLaStoria();
    // A board killed at random moments while it assigns and withdraws a prize over and over
    // (this test's own program, run as that board): every start finds a story it can read,
    // holding every assignment the one before kept, and the record never changed.
    void uccisoMentreAssegna();
};

void TestPartita::ultimoEstrattoDopoLaRipresa_data()
{
    QTest::addColumn<QList<int>>("estrazioni"); // negative: that number withdrawn
    QTest::addColumn<int>("ultimo");
    QTest::newRow("40, 7, 15: 15") << QList<int>{40, 7, 15} << 15;
    QTest::newRow("40, 7, 15, 15 withdrawn: not known") << QList<int>{40, 7, 15, -15} << 0;
    QTest::newRow("40, 7, 15, 40 withdrawn: not known") << QList<int>{40, 7, 15, -40} << 0;
    QTest::newRow("withdrawn, then 3 called") << QList<int>{40, 7, 15, -15, 3} << 3;
    QTest::newRow("withdrawn, then 90 called: ascending, not known") << QList<int>{40, 7, 15, -15, 90} << 0;
    QTest::newRow("one number") << QList<int>{40} << 40;
    QTest::newRow("two withdrawn down to one") << QList<int>{40, 7, -7} << 40;
    QTest::newRow("called in ascending order: not known") << QList<int>{7, 15, 40} << 0;
    QTest::newRow("none") << QList<int>{} << 0;
}

void TestPartita::ultimoEstrattoDopoLaRipresa()
{
    QFETCH(QList<int>, estrazioni);
    QFETCH(int, ultimo);
    QTemporaryDir cartella;
    {
        Banco banco(Intestazione);
        for (const int n : estrazioni) {
            banco.richieste.risposte = {true};
            n > 0 ? banco.partita.estrai(n) : banco.partita.ritira(-n);
        }
        QVERIFY(QFile::copy(banco.percorso(), cartella.filePath(QStringLiteral("ultima.par"))));
    }
    QFile file(cartella.filePath(QStringLiteral("ultima.par")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The board after a restart, from that record.
    Banco ripreso(file.readAll());
    QCOMPARE(ripreso.partita.ultimoEstratto(), ultimo);
}

void TestPartita::inputDuranteUnaEstrazione_data()
{
    QTest::addColumn<QByteArray>("momento");
    QTest::addColumn<QByteArray>("intrusione");
    // The draw yields before its pop-up (cede 1), shows it (popup), yields before marking the
    // number (cede 2) and after writing it (cede 3).
    for (const char *momento : {"cede 1", "popup", "cede 2", "cede 3"})
        for (const char *intrusione : {"the same cell again", "another cell", "a right click", "F2", "F11", "close"})
            QTest::addRow("%s at %s", intrusione, momento) << QByteArray(momento) << QByteArray(intrusione);
}

void TestPartita::inputDuranteUnaEstrazione()
{
    QFETCH(QByteArray, momento);
    QFETCH(QByteArray, intrusione);
    Banco banco(IntestazioneVecchia + righe({42}));
    Partita &p = banco.partita;
    bool f11Accolto = false;
    const std::map<QByteArray, std::function<void()>> intrusioni{
        {"the same cell again", [&] { p.estrai(7); }}, {"another cell", [&] { p.estrai(8); }},
        {"a right click", [&] { p.ritira(42); }},      {"F2", [&] { p.nuovaPartita(); }},
        {"F11", [&] { f11Accolto = p.occupa(); }},      {"close", [&] { p.termina(); }}};
    banco.schermo.momento = momento;
    banco.schermo.intrusione = intrusioni.at(intrusione);
    VoceFinta voce;
    p.impostaVoce(&voce);
    p.estrai(7);
    QVERIFY2(!banco.schermo.intrusione, "the flow never reached that moment");

    const bool chiusa = intrusione == "close";
    const QList<int> popup = chiusa && momento == "cede 1" ? QList<int>{} : QList<int>{7};
    const QList<int> estratti = chiusa && momento != "cede 3" ? QList<int>{42} : QList<int>{42, 7};
    QCOMPARE(banco.schermo.popup, popup);
    // Spoken once for each pop-up shown, never for a refused request; the voice never
    // finished, and the draw went on all the same.
    QCOMPARE(voce.detti, QStringList(popup.size(), testoAnnuncio(7, Commenti[7])));
    QCOMPARE(banco.registro(), IntestazioneVecchia + righe(estratti));
    QVERIFY(!f11Accolto);
    if (chiusa) {
        // A closed board takes nothing more.
        QCOMPARE(Estratti[7] == Estratto, estratti.contains(7));
        p.estrai(8);
        QCOMPARE(banco.schermo.popup.size(), popup.size());
        QVERIFY(!p.occupa());
    } else {
        QCOMPARE(banco.differenze(estratti), QString());
        // Nothing was left waiting: F11 takes the board, and holds it alone.
        QVERIFY(p.occupa() && !p.occupa());
        p.estrai(8);
        p.ritira(42);
        p.nuovaPartita();
        QCOMPARE(banco.registro(), IntestazioneVecchia + righe(estratti));
        p.libera();
        // With the switch off the draw is silent.
        p.impostaVoce(nullptr);
        p.estrai(8);
        QCOMPARE(banco.registro(), IntestazioneVecchia + righe({42, 7, 8}));
        QCOMPARE(voce.detti.size(), popup.size());
    }
    QCOMPARE(banco.richieste.chiesto, QStringList());
}

void TestPartita::domandeERisposte_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<bool>("accetta");
    QTest::addColumn<Domanda>("domanda");
    QTest::addColumn<QList<int>>("estratti");
    QTest::addColumn<QByteArray>("registro");

    const QByteArray intatto = IntestazioneVecchia + righe({30, 5, 17});
    const Domanda ricorda{QStringLiteral("Tabellone Tombola"), QStringLiteral("TASTO DESTRO per cancellare"),
                          Richieste::Pulsanti::Ok};
    const Domanda ritira{QStringLiteral("Tombola by Tavesi Aldrino"),
                         QStringLiteral("Vuoi veramente nascondere il numero 5"), Richieste::Pulsanti::SiNo};
    // Cancelling F2 is left to the board's key test.
    QTest::newRow("a drawn number double-clicked only reminds")
        << "estrai" << true << ricorda << QList<int>{5, 17, 30} << intatto;
    QTest::newRow("no keeps a number") << "ritira" << false << ritira << QList<int>{5, 17, 30} << intatto;
    QTest::newRow("yes withdraws it and rewrites the rest in ascending order")
        << "ritira" << true << ritira << QList<int>{17, 30} << Intestazione + righe({17, 30});
    QTest::newRow("OK on F2 blanks the board and starts a header-only record")
        << "F2" << true
        << Domanda{QStringLiteral("Tabellona Tombola - Azzera / Nuova tombola"),
                   QStringLiteral("Vuoi azzerare la partita?"), Richieste::Pulsanti::OkAnnulla}
        << QList<int>{} << Intestazione;
}

void TestPartita::domandeERisposte()
{
    QFETCH(QString, azione);
    QFETCH(bool, accetta);
    QFETCH(Domanda, domanda);
    QFETCH(QList<int>, estratti);
    Banco banco(IntestazioneVecchia + righe({30, 5, 17}));
    banco.richieste.risposte = {accetta};
    // A right click on a number not drawn asks nothing.
    banco.partita.ritira(8);
    if (azione == QLatin1String("F2"))
        banco.partita.nuovaPartita();
    else if (azione == QLatin1String("ritira"))
        banco.partita.ritira(5);
    else
        banco.partita.estrai(5);
    QCOMPARE(banco.richieste.domande, QList<Domanda>{domanda});
    QCOMPARE(banco.differenze(estratti), QString());
    QTEST(banco.registro(), "registro");
    QCOMPARE(banco.schermo.popup, QList<int>());
}

void TestPartita::registroIlleggibileEScritturaFallita()
{
    Banco banco({});
    const QDir cartella(banco.cartella.path());
    // A folder where the record should be: no read or write gets through it, even as root.
    QVERIFY(QFile::remove(banco.percorso()) && cartella.mkdir(QStringLiteral("ultima.par")));
    QFile avanzo(cartella.filePath(QStringLiteral("ultima.par.AbcxYz")));
    QVERIFY(avanzo.open(QIODevice::WriteOnly));
    avanzo.close(); // Windows removes no file that is still open
    banco.partita.CaricaPartita(QStringLiteral("inizio"));
    const QString lettura = messaggioLettura(banco.percorso(), QStringLiteral("è una cartella"));
    QCOMPARE(banco.richieste.domande,
             (QList<Domanda>{{QStringLiteral("Tabellone Tombola"), lettura, Richieste::Pulsanti::Ok}}));
    QVERIFY(banco.richieste.chiesto[0].contains(QDir::toNativeSeparators(banco.percorso())));
    QCOMPARE(banco.partita.ultimaPartita(), QString());
    QCOMPARE(cartella.entryList(QDir::Files), QStringList());

    banco.partita.estrai(42);
    QCOMPARE(banco.richieste.domande.size(), 2);
    QCOMPARE(banco.richieste.domande[1].titolo, QStringLiteral("Tabellone Tombola"));
    QVERIFY(banco.richieste.chiesto[1].startsWith(QStringLiteral("La partita non è stata salvata in ")
                                                  + QDir::toNativeSeparators(banco.percorso())));
    QCOMPARE(banco.differenze({42}), QString());
    QVERIFY(cartella.rmdir(QStringLiteral("ultima.par")));
    banco.partita.estrai(7);
    QCOMPARE(banco.registro(), Intestazione + righe({7, 42}));
    banco.partita.estrai(1);
    QCOMPARE(banco.registro(), Intestazione + righe({7, 42, 1}));
    QCOMPARE(banco.richieste.domande.size(), 2);
}

void TestPartita::ogniAscoltatoreDellaStoria()
{
    Banco banco(IntestazioneVecchia + righe({30, 5}));
    QStringList chiamati;
    banco.partita.allaModificaStoria([&] { chiamati.append(QStringLiteral("finestra")); });
    banco.partita.allaModificaStoria([&] { chiamati.append(QStringLiteral("telefoni")); });
    banco.partita.estrai(7);
    QVERIFY(!chiamati.isEmpty());
    QCOMPARE(chiamati.size() % 2, 0);
    for (qsizetype i = 0; i < chiamati.size(); i += 2)
        QCOMPARE((QStringList{chiamati[i], chiamati[i + 1]}), (QStringList{"finestra", "telefoni"}));
}

void TestPartita::storiaDiOgniChiamata()
{
    Banco banco(IntestazioneVecchia + righe({30, 5}));
    Partita &p = banco.partita;
    const auto fonti = [&p] {
        QList<std::pair<int, Fonte>> chiamate;
        for (const Evento &e : p.storia().corrente.eventi)
            chiamate.append({e.tipo == Evento::Tipo::Chiamata ? e.numero : -e.numero, e.fonte});
        return chiamate;
    };
    QCOMPARE(fonti(), (QList<std::pair<int, Fonte>>{{30, Fonte::Ignota}, {5, Fonte::Ignota}}));
    p.estrai(7);
    const QByteArray seme = p.storia().corrente.seme;
    QCOMPARE(seme.size(), LunghezzaSeme);
    QCOMPARE(banco.richieste.domande.size(), 0);

    std::array<std::int16_t, 101> prima = Estratti;
    const int delComputer = prossimoDelComputer(seme, prima);
    p.estraiDalComputer();
    QCOMPARE(banco.richieste.domande.size(), 1);
    QVERIFY(banco.richieste.chiesto[0].contains(QStringLiteral("Impronta della partita: ") + improntaSeme(seme)));
    QVERIFY(!banco.richieste.chiesto[0].contains(QString::fromLatin1(seme.toHex())));
    QCOMPARE(banco.schermo.popup, (QList<int>{7, delComputer}));
    QCOMPARE(p.ultimoEstratto(), delComputer);
    // Withdrawn, it comes back in its place: the computer draws it again, asking nothing more.
    banco.richieste.risposte = {true};
    p.ritira(delComputer);
    QCOMPARE(p.ultimoEstratto(), 7);
    p.estraiDalComputer();
    QCOMPARE(banco.schermo.popup.constLast(), delComputer);
    QCOMPARE(banco.richieste.domande.size(), 2);
    QCOMPARE(fonti(), (QList<std::pair<int, Fonte>>{{30, Fonte::Ignota}, {5, Fonte::Ignota}, {7, Fonte::Sacchetto},
                                                     {delComputer, Fonte::Computer}, {-delComputer, Fonte::Ignota},
                                                     {delComputer, Fonte::Computer}}));
    QCOMPARE(p.storia().corrente.eventi.constLast().chiamata, 5);
    QCOMPARE(p.storia().corrente.eventi.constLast().quando, QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33)));

    // The next start reads the same story back with the record.
    SchermoFinto schermo;
    RichiesteFinte richieste;
    Partita ripresa(schermo, richieste, nullptr, RegistroPartita(banco.cartella.path()));
    ripresa.CaricaPartita(QStringLiteral("inizio"));
    QCOMPARE(ripresa.storia(), p.storia());
    QCOMPARE(ripresa.ultimoEstratto(), delComputer);

    banco.richieste.risposte = {true};
    p.nuovaPartita();
    QVERIFY(p.storia().corrente.vuota() && p.storia().precedente && p.storia().precedente->chiusa());
    QCOMPARE(p.storia().precedente->seme, seme);
    QCOMPARE(storiaDelRegistro(banco.cartella.path()), p.storia());
}

void TestPartita::ilComputerRiempieIlTabellone()
{
    Banco banco({});
    QList<int> chiamati;
    for (int volta = 0; volta < 95; ++volta) {
        banco.partita.estraiDalComputer();
        if (banco.schermo.popup.size() > chiamati.size())
            chiamati.append(banco.schermo.popup.constLast());
    }
    QCOMPARE(chiamati.size(), 90);
    QCOMPARE(QSet<int>(chiamati.begin(), chiamati.end()).size(), 90);
    const auto ordine = ordineDelSeme(banco.partita.storia().corrente.seme);
    QCOMPARE(chiamati, QList<int>(ordine.begin(), ordine.end()));
    QVERIFY(banco.partita.storia().corrente.chiusa());
    QCOMPARE(banco.richieste.domande.size(), 1); // the fingerprint, once
}

void TestPartita::premiConservatiConLaStoria()
{
    // Block 1 of the board holds 1-5 in its first row: an ambo at call 2.
    Banco banco(IntestazioneVecchia + righe({1, 2}));
    Partita &p = banco.partita;
    const QByteArray registro = banco.registro();
    const auto storiaSuDisco = [&] {
        QFile file(QDir(banco.cartella.path()).filePath(QStringLiteral("storia.dat")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    Programma programma;
    programma.tabellone = true;
    programma[Categoria::Ambo].premi = {Premio{QStringLiteral("un panettone"), 0}};
    programma[Categoria::Tombola].premi = {Premio{QString(), 2000}};

    Programma sbagliato = programma;
    sbagliato[Categoria::Ambo].quota = 100;
    QCOMPARE(p.impostaProgramma(sbagliato), erroreProgramma(sbagliato));
    QVERIFY(!erroreProgramma(sbagliato).isEmpty());
    QCOMPARE(p.storia().programma, Programma{});
    QCOMPARE(p.impostaProgramma(programma), QString());
    QCOMPARE(p.storia().programma, programma);
    QCOMPARE(p.storia().corrente.programma, programma);
    QVERIFY(storiaSuDisco().contains("p premi ambo 1 0 un%20panettone\r\n"));

    const Reclamo vecchio = reclamo(p.storia().corrente, cartellaDelTabellone(1), {});
    QVERIFY(vecchio.valido());
    p.estrai(3);
    QCOMPARE(p.assegna(vecchio), QStringLiteral("la partita è cambiata dopo la verifica: verifica di nuovo la cartella"));
    QVERIFY(p.storia().corrente.assegnazioni.isEmpty());
    const QByteArray registroDopoLaChiamata = banco.registro();
    QVERIFY(registroDopoLaChiamata != registro);

    const Reclamo r = reclamo(p.storia().corrente, cartellaDelTabellone(1), {});
    QVERIFY(p.occupa());
    QCOMPARE(p.assegna(r), QStringLiteral("un'altra operazione è in corso: riprova quando è finita"));
    p.libera();
    const QByteArray primaDellAssegnazione = storiaSuDisco();
    QCOMPARE(p.assegna(r), QString());
    QCOMPARE(p.storia().corrente.assegnazioni.size(), 1);
    const Assegnazione &a = p.storia().corrente.assegnazioni[0];
    QCOMPARE(a.vincitori, (QList<Vincitore>{{IdCartella{{}, 1, true}, 2}}));
    QCOMPARE(a.premio.testo, QStringLiteral("un panettone"));
    QCOMPARE(a.ultimaChiamata, 3);
    QCOMPARE(a.quando, QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33)));
    QCOMPARE(banco.registro(), registroDopoLaChiamata);
    QVERIFY(storiaSuDisco() != primaDellAssegnazione);
    // The same claim twice gives nothing more.
    QVERIFY(!p.assegna(r).isEmpty());

    Programma senzaAmbo = programma;
    senzaAmbo[Categoria::Ambo].premi.clear();
    QCOMPARE(p.impostaProgramma(senzaAmbo),
             QStringLiteral("Ambo: il premio 1 è già stato assegnato in questa partita, i premi non possono essere "
                            "meno di 1."));
    QCOMPARE(p.ritiraAssegnazione(0, QStringLiteral(" ")),
             QStringLiteral("scrivi il motivo del ritiro: resta nel verbale"));
    QCOMPARE(p.ritiraAssegnazione(0, QStringLiteral("reclamata dopo la chiamata seguente\n(sala)")), QString());
    QVERIFY(p.storia().corrente.assegnazioni[0].ritirata);
    QCOMPARE(p.storia().corrente.assegnazioni[0].motivo, QStringLiteral("reclamata dopo la chiamata seguente\n(sala)"));
    // A prize withdrawn is still named in the minutes: the programme keeps it.
    QVERIFY(!p.impostaProgramma(senzaAmbo).isEmpty());
    QCOMPARE(banco.registro(), registroDopoLaChiamata);

    // The next start reads the prizes back with the story.
    SchermoFinto schermo;
    RichiesteFinte richieste;
    Partita ripresa(schermo, richieste, nullptr, RegistroPartita(banco.cartella.path()));
    ripresa.CaricaPartita(QStringLiteral("inizio"));
    QCOMPARE(ripresa.storia(), p.storia());

    banco.richieste.risposte = {true};
    p.nuovaPartita();
    QCOMPARE(p.storia().corrente.programma, programma);
    QVERIFY(p.storia().corrente.assegnazioni.isEmpty());
    QCOMPARE(p.storia().precedente->assegnazioni.size(), 1);
    QCOMPARE(storiaDelRegistro(banco.cartella.path()), p.storia());
    QCOMPARE(banco.richieste.domande.size(), 1); // F2's question only
}

namespace {

constexpr auto VariabileFiglio = "TABELLONE_PROVA_ASSEGNA_SENZA_FINE";

// The board run by uccisoMentreAssegna: block 1's ambo given, withdrawn, given again, until killed.
int assegnaSenzaFine(const QString &cartella)
{
    SchermoFinto schermo;
    RichiesteFinte richieste;
    Partita p(schermo, richieste, nullptr, RegistroPartita(cartella));
    p.CaricaPartita(QStringLiteral("inizio"));
    for (;;) {
        const StoriaPartita &partita = p.storia().corrente;
        const Reclamo r = reclamo(partita, cartellaDelTabellone(1), {});
        const QString errore = r.valido() ? p.assegna(r)
                                          : p.ritiraAssegnazione(int(partita.assegnazioni.size()) - 1,
                                                                 QStringLiteral("prova %1").arg(partita.assegnazioni.size()));
        if (!errore.isEmpty() || !richieste.chiesto.isEmpty())
            return 2;
    }
}

} // namespace

void TestPartita::uccisoMentreAssegna()
{
#ifdef Q_OS_WIN
    QSKIP("under Wine, twelve kills of the test's own program once outlasted the test's time on a loaded "
          "machine; the same kills run on Linux");
#endif
    Banco banco(IntestazioneVecchia + righe({1, 2}));
    Programma programma;
    programma.tabellone = true;
    programma[Categoria::Ambo].premi = {Premio{QStringLiteral("un panettone"), 0}};
    QCOMPARE(banco.partita.impostaProgramma(programma), QString());
    const QByteArray registro = banco.registro();
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QString::fromLatin1(VariabileFiglio), banco.cartella.path());
    qsizetype prima = 0;
    for (int volta = 0; volta < 12; ++volta) {
        QProcess figlio;
        figlio.setProcessEnvironment(ambiente);
        figlio.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(figlio.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(30, 250));
        figlio.kill();
        QVERIFY(figlio.waitForFinished());
        QCOMPARE(figlio.exitStatus(), QProcess::CrashExit); // killed, not stopped by a refusal

        QString errore;
        const Storia storia = ArchivioStoria(banco.cartella.path()).leggi(&errore);
        QCOMPARE(errore, QString());
        const QList<Assegnazione> &date = storia.corrente.assegnazioni;
        QVERIFY2(date.size() >= prima, qPrintable(QStringLiteral("%1 < %2").arg(date.size()).arg(prima)));
        for (qsizetype i = 0; i + 1 < date.size(); ++i)
            QVERIFY(date[i].ritirata && date[i].motivo == QStringLiteral("prova %1").arg(i + 1));
        QCOMPARE(storia.corrente.programma, programma);
        QCOMPARE(banco.registro(), registro);
        prima = date.size();
    }
    QVERIFY2(prima > 12, qPrintable(QString::number(prima))); // the boards did assign before they were killed
    qInfo("%lld assignments kept, all but the last withdrawn, over 12 killed boards", qlonglong(prima));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(VariabileFiglio))
        return assegnaSenzaFine(qEnvironmentVariable(VariabileFiglio));
    TestPartita test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_partita.moc"
