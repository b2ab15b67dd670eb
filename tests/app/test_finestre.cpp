// SPDX-License-Identifier: MIT
#include "infosistema.h"
#include "prova_finestre.h"
#include "testi.h"

#include <QRadioButton>
#include <QSignalSpy>

namespace {

const QString Msinfo = QStringLiteral("C:\\Programmi\\msinfo32.exe");

// A registry where every key lists the system-information tool under PATH.
class RegistroFinto final : public AccessoRegistro
{
public:
    std::optional<Chiave> apri(Chiave, const QByteArray &, quint32) override { return 1; }
    void chiudi(Chiave) override {}
    bool interroga(Chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati, quint32 &dimensione) override
    {
        const QByteArray valore = Msinfo.toLatin1() + '\0';
        dati.replace(0, valore.size(), valore);
        dimensione = quint32(valore.size());
        tipo = TipoTesto;
        return nome == "PATH";
    }
};

} // namespace

class TestFinestre : public QObject
{
    Q_OBJECT

private slots:
    // The start screen shows its texts whole; another game file in the folder is not the record,
    // and resuming writes nothing. Only F1 alone opens the information, and the stop button ends
    // the program. (The resumed game itself: test_installato.)
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
    // starts the tool the registry names or says it is not available.
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
        ServiziInfoSistema servizi{registro ? std::make_unique<RegistroFinto>() : nullptr,
                                   [](const QString &) { return true; },
                                   [&](const QString &programma) { return avviati.append(programma), true; }};
        RichiesteFinte richieste;
        frmAbout d(richieste, std::move(servizi));
        QCOMPARE(d.windowTitle(), QStringLiteral("Informazioni su Tabellone Tombola"));
        QCOMPARE(d.lblVersion->text(), QStringLiteral("Versione 1.0.4"));
        QCOMPARE(d.lblTitle->text(), QStringLiteral("Tabellone Tombola"));
        QCOMPARE(d.lblDescription->text(),
                 QStringLiteral("Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. "));
        QCOMPARE(d.lblDisclaimer->text(), testoAvvertenze());
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
};

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
