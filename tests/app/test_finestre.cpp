// SPDX-License-Identifier: MIT
#include "infosistema.h"
#include "prova_finestre.h"

#include <QMap>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

// A registry held in memory: key path -> value name -> (type, bytes).
class RegistroFinto final : public AccessoRegistro
{
public:
    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> chiavi;
    QList<QByteArray> aperte;
    int chiuse = 0;
    quint32 accessoRichiesto = 0;

    std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32 accesso) override
    {
        accessoRichiesto = accesso;
        if (radice != ChiaveLocalMachine || !chiavi.contains(percorso))
            return std::nullopt;
        aperte.append(percorso);
        return static_cast<Chiave>(aperte.size());
    }

    bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati,
                   quint32 &dimensione) override
    {
        const auto valori = chiavi.value(aperte.at(int(chiave) - 1));
        if (!valori.contains(nome))
            return false;
        const QByteArray valore = valori.value(nome).second;
        std::copy(valore.begin(), valore.end(), dati.begin());
        tipo = valori.value(nome).first;
        dimensione = quint32(valore.size());
        return true;
    }

    void chiudi(Chiave) override { ++chiuse; }
};

const QByteArray ChiaveMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray ChiavePosizione = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Msinfo = QStringLiteral("C:\\Programmi\\msinfo32.exe");

} // namespace

class TestFinestre : public QObject
{
    Q_OBJECT

private slots:
    // The start screen shows its texts whole; another game file in the folder is not the record,
    // and resuming writes nothing. Only F1 alone opens the information, and the stop button ends
    // the program. (The resumed game itself: ilRegistroStaDoveScelto.)
    void schermataIniziale()
    {
        Banco banco;
        banco.scrivi(QStringLiteral("altra.par"), IntestazioneVecchia + righe({1, 2, 3}));
        frmSplash &s = banco.schermata();
        QCOMPARE(s.lblVersion->text(), QStringLiteral("Versione 1.0.4"));
        QCOMPARE(s.lblProductName->text(), QStringLiteral("Tabellone Tombola"));
        QCOMPARE(s.LblCommento->text(), QStringLiteral("Benvenuti al Tabellone Tombola"));
        QCOMPARE(s.lblCompany->text(), QStringLiteral("Software libero, licenza MIT"));
        for (const QWidget *w : std::initializer_list<const QWidget *>{s.lblVersion, s.lblProductName, s.LblCommento,
                                                                      s.lblCompany, s.Option1, s.Option2, s.Option3})
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName() + QStringLiteral(" cut")));
        QCOMPARE(s.Lblultima->text(), QString());
        QCOMPARE(differenze(*s.tabellone(), {}), QString());
        QCOMPARE(banco.registro(), QByteArray("<no record>"));
        QVERIFY(s.tabellone()->isHidden());

        QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1); }, &frmAbout::reject));
        QVERIFY(!allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1, Qt::ShiftModifier); }, &frmAbout::reject));
        QSignalSpy fine(&s, &frmSplash::fineProgramma);
        QTest::mouseClick(s.Command1, Qt::LeftButton);
        QCOMPARE(fine.count(), 1);
    }

    // Installed, the pictures and the record live in different folders. The start screen's label,
    // the resume, a draw and a withdrawal all use the record folder chosen at start; resuming only
    // reads, and nothing is written beside the pictures.
    void ilRegistroStaDoveScelto()
    {
        Banco banco;
        QTemporaryDir cartellaRegistro;
        const auto registro = [&] {
            QFile file(QDir(cartellaRegistro.path()).filePath(QStringLiteral("ultima.par")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<no record>");
        };
        const QByteArray ripresa = IntestazioneVecchia + righe({42, 7});
        QFile file(QDir(cartellaRegistro.path()).filePath(QStringLiteral("ultima.par")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ripresa) == ripresa.size());
        file.close();

        banco.s = std::make_unique<frmSplash>(banco.richieste, banco.cartella.path(), cartellaRegistro.path());
        frmSplash &s = *banco.s;
        s.tabellone()->impostaOrologio(Banco::adesso);
        s.show();
        QCOMPARE(s.Lblultima->text(), QStringLiteral("Ultima partita :Partita : 01/01/2020 10:00:00"));
        QCOMPARE(differenze(*s.tabellone(), {7, 42}), QString());
        QCOMPARE(registro(), ripresa);

        bool estratto = false;
        QVERIFY(banco.avvia([&](frmTabellone *t) {
            estratto = banco.estrai(5);
            QTest::mouseClick(t->Img[42], Qt::RightButton);
            lascia(t);
        }));
        QVERIFY(estratto);
        QCOMPARE(differenze(*s.tabellone(), {5, 7}), QString());
        QCOMPARE(registro(), Intestazione + righe({5, 7}));
        QVERIFY(!QFile::exists(banco.percorso(QStringLiteral("ultima.par"))));
        // Only the withdrawal's question: no write failed.
        QCOMPARE(banco.richieste.chiesto.size(), 1);
    }

    // The start button stores the checked level and its comments (level 3 keeps those there
    // were) before the board is up, and keeps it up until it is left. After F11 the board is an
    // ordinary window: the start button applies the level and returns at once.
    void avvioConLivello()
    {
        Banco banco;
        frmSplash &s = banco.schermata();
        for (const auto &[opzione, livello, commento] : {std::tuple(s.Option1, 1, "IL MASCHIO"),
                                                          std::tuple(s.Option3, 3, "IL MASCHIO"),
                                                          std::tuple(s.Option2, 2, "L' ITALIA")}) {
            QTest::mouseClick(opzione, Qt::LeftButton);
            QString visto;
            QVERIFY(banco.avvia([&](frmTabellone *t) {
                visto = t->isVisible() ? QString::number(Livello.value_or(0)) + Commenti[1] : QString();
                lascia(t);
            }));
            QCOMPARE(visto, QString::number(livello) + QLatin1String(commento));
            QVERIFY(s.tabellone()->isHidden());
        }

        const frmTabellone *t = s.tabellone();
        QVERIFY(banco.avvia([](frmTabellone *t) { QTest::keyClick(t, Qt::Key_F11); }));
        QVERIFY(t->isVisible() && t->isMaximized() && !t->modale());
        QTest::mouseClick(s.Option1, Qt::LeftButton);
        QVERIFY2(!banco.avvia(lascia), "the start button opened the board a second time");
        QCOMPARE(Livello, 1);
        QVERIFY(t->isVisible() && t->isMaximized());
    }

    // While the board is up the start screen takes no input; started again it shows the same
    // game; closing it ends the program.
    void schermataFermaERiavvioConGliStessiNumeri()
    {
        Banco banco;
        frmSplash &s = banco.schermata();
        QSignalSpy fine(&s, &frmSplash::fineProgramma);
        bool informazioni = true;
        bool estratto = false;
        QVERIFY(banco.avvia([&](frmTabellone *t) {
            QTest::mouseClick(s.Command1, Qt::LeftButton);
            QTest::mouseClick(s.Option2, Qt::LeftButton);
            informazioni = allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1); }, &frmAbout::reject);
            estratto = banco.estrai(42);
            lascia(t);
        }));
        QCOMPARE(fine.count(), 0);
        QVERIFY(!s.Option2->isChecked() && !informazioni && estratto);

        QString immagine;
        QVERIFY(banco.avvia([&](frmTabellone *t) {
            immagine = t->Img[42]->nomeCaricato();
            t->close();
        }));
        QCOMPARE(immagine, QStringLiteral("img42.gif"));
        QCOMPARE(fine.count(), 1);
        // Once the board is down, the start screen answers again.
        QTest::mouseClick(s.Option2, Qt::LeftButton);
        QVERIFY(s.Option2->isChecked());
    }

    // The information dialog shows its texts whole; Enter and Esc close it, and System Info
    // starts the tool the registry names or says it is not available (how it is looked up:
    // avvioDelloStrumento).
    void informazioni_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("esito");
        QTest::addColumn<bool>("registro");
        QTest::newRow("return presses OK; without a registry System Info is not available")
            << int(Qt::Key_Return) << int(QDialog::Accepted) << false;
        QTest::newRow("escape cancels; System Info starts the registered path")
            << int(Qt::Key_Escape) << int(QDialog::Rejected) << true;
    }
    void informazioni()
    {
        QFETCH(int, tasto);
        QFETCH(bool, registro);
        QStringList avviati;
        auto chiavi = std::make_unique<RegistroFinto>();
        chiavi->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, Msinfo.toLatin1() + '\0'};
        ServiziInfoSistema servizi{registro ? std::move(chiavi) : nullptr,
                                   [](const QString &) { return true; },
                                   [&](const QString &programma) { return avviati.append(programma), true; }};
        RichiesteFinte richieste;
        frmAbout d(richieste, std::move(servizi));
        QCOMPARE(d.windowTitle(), QStringLiteral("Informazioni su Tabellone Tombola"));
        QCOMPARE(d.lblVersion->text(), QStringLiteral("Versione 1.0.4"));
        QCOMPARE(d.lblTitle->text(), QStringLiteral("Tabellone Tombola"));
        QCOMPARE(d.lblDescription->text(),
                 QStringLiteral("Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. "));
        // The legal line, a blank line and seven key lines, each key line with a leading blank.
        QCOMPARE(d.lblDisclaimer->text().split(QStringLiteral("\r\n")),
                 (QStringList{"Questo programma è distribuito senza alcuna garanzia.", "", " F1 = informazioni",
                              " F2 = nuova partita", " F10 = messaggi nella colonna in basso",
                              " F11 = ingrandire / ridurre il tabellone",
                              " CTRL+ALT+F4 = torna alla schermata iniziale",
                              " Doppio clic = segna il numero estratto", " Tasto destro = cancella il numero"}));
        QVERIFY(d.lblDisclaimer->sizeHint().boundedTo(d.lblDisclaimer->size()) == d.lblDisclaimer->sizeHint());

        int risultato = -1;
        QVERIFY(allaModale<frmAbout>([&] { risultato = d.exec(); }, [&](frmAbout *m) {
            m->cmdSysInfo->click();
            QTest::keyClick(m, static_cast<Qt::Key>(tasto));
        }));
        QTEST(risultato, "esito");
        QCOMPARE(avviati, registro ? QStringList{Msinfo} : QStringList());
        QCOMPARE(richieste.chiesto, registro ? QStringList() : QStringList{QStringLiteral(
                     "Le informazioni sul sistema non sono attualmente disponibili.")});
    }

    // Text comes back cut at the size read, without its final NUL; numbers in
    // decimal; other types leave the result. A missing key or value gives false
    // and an emptied result, and every opened key is closed again.
    void valoreLettoSecondoIlTipo_data()
    {
        QTest::addColumn<QByteArray>("chiave");
        QTest::addColumn<QByteArray>("nome");
        QTest::addColumn<quint32>("tipo");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<bool>("letto");
        QTest::addColumn<QString>("atteso");
        const QByteArray k = ChiaveMsinfo;
        const QByteArray path = "PATH";
        QTest::newRow("text with NUL") << k << path << TipoTesto << QByteArray("C:\\T\\m.exe", 11) << true
                                       << "C:\\T\\m.exe";
        QTest::newRow("text without NUL") << k << path << TipoTesto << QByteArray("C:\\X") << true << "C:\\X";
        QTest::newRow("inner NUL kept") << k << path << TipoTesto << QByteArray("A\0B\0", 4) << true
                                        << QString::fromLatin1("A\0B", 3);
        QTest::newRow("32-bit number") << k << path << TipoNumero32 << QByteArray("\x2a\x01\x00\x00", 4) << true
                                       << "298";
        QTest::newRow("other type") << k << path << quint32(3) << QByteArray("\x01\x02", 2) << true << "prima";
        QTest::newRow("no such value") << k << QByteArray("ALTRO") << TipoTesto << QByteArray("x") << false << "";
        QTest::newRow("no such key") << ChiavePosizione << path << TipoTesto << QByteArray("x") << false << "";
    }
    void valoreLettoSecondoIlTipo()
    {
        QFETCH(QByteArray, chiave);
        QFETCH(QByteArray, nome);
        QFETCH(quint32, tipo);
        QFETCH(QByteArray, dati);
        RegistroFinto registro;
        registro.chiavi[chiave][nome] = {tipo, dati};
        QString risultato = QStringLiteral("prima");
        QTEST(GetKeyValue(registro, ChiaveLocalMachine, QString::fromLatin1(ChiaveMsinfo), "PATH", risultato), "letto");
        QTEST(risultato, "atteso");
        QCOMPARE(registro.chiuse, registro.aperte.size());
        // Opened for reading only (KEY_READ): a standard user may not ask for more on these keys.
        QCOMPARE(registro.accessoRichiesto, 0x20019u);
    }

    // The tool is looked up first under MSINFO\PATH, then in the tools folder; one that is
    // missing or fails to start counts as not available.
    void avvioDelloStrumento_data()
    {
        QTest::addColumn<bool>("conPath");
        QTest::addColumn<bool>("conCartella");
        QTest::addColumn<bool>("eseguibileEsiste");
        QTest::addColumn<bool>("parte");       // what starting the tool gives
        QTest::addColumn<QString>("avviato");  // empty: nothing started
        QTest::addColumn<bool>("disponibile"); // what StartSysInfo answers
        const QString win = QStringLiteral("C:\\Win\\msinfo32.exe");
        QTest::newRow("PATH wins") << true << true << true << true << win << true;
        QTest::newRow("only the folder, tool there") << false << true << true << true << "C:\\Tools\\MSINFO32.EXE"
                                                     << true;
        QTest::newRow("only the folder, tool missing") << false << true << false << true << "" << false;
        QTest::newRow("neither value") << false << false << true << true << "" << false;
        QTest::newRow("the tool fails to start") << true << false << true << false << win << false;
    }
    void avvioDelloStrumento()
    {
        QFETCH(bool, conPath);
        QFETCH(bool, conCartella);
        QFETCH(bool, eseguibileEsiste);
        QFETCH(bool, parte);
        auto registro = std::make_unique<RegistroFinto>();
        if (conPath)
            registro->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, QByteArray("C:\\Win\\msinfo32.exe\0", 20)};
        if (conCartella)
            registro->chiavi[ChiavePosizione]["MSINFO"] = {TipoTesto, QByteArray("C:\\Tools\0", 9)};
        QStringList cercati;
        QString avviato;
        ServiziInfoSistema servizi{std::move(registro),
                                   [&](const QString &p) { return cercati.append(p), eseguibileEsiste; },
                                   [&](const QString &p) { return avviato = p, parte; }};
        QTEST(StartSysInfo(servizi), "disponibile");
        QTEST(avviato, "avviato");
        // The tools folder is looked in only when PATH is missing.
        QCOMPARE(cercati, conPath || !conCartella ? QStringList() : QStringList{"C:\\Tools\\MSINFO32.EXE"});
    }

};

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
