// SPDX-License-Identifier: MIT
#include "archivio.h"
#include "filotelefoni.h"
#include "infosistema.h"
#include "stampa.h"
#include "telefoni.h"
#include "vocesintetica.h"
#include "prova_finestre.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRadioButton>
#include <QSignalSpy>
#include <QGroupBox>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>
#include <QLabel>

#include <atomic>

namespace {

// A registry held in memory: key path -> value name -> (type, bytes).
class RegistroFinto final : public AccessoRegistro
{
public:
    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> chiavi;
    QList<QByteArray> aperte;
    int chiuse = 0;
    quint32 accesso = 0;

    std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32 richiesto) override
    {
        accesso = richiesto;
        if (radice != ChiaveLocalMachine || !chiavi.contains(percorso))
            return std::nullopt;
        aperte.append(percorso);
        return aperte.size();
    }
    // A value of type 0 stands for one that is not there.
    bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati, quint32 &dimensione) override
    {
        const auto [t, valore] = chiavi.value(aperte.at(int(chiave) - 1)).value(nome);
        std::copy(valore.begin(), valore.end(), dati.begin());
        tipo = t;
        dimensione = quint32(valore.size());
        return t != 0;
    }
    void chiudi(Chiave) override { ++chiuse; }
};

const QByteArray ChiaveMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString Msinfo = QStringLiteral("C:\\Win\\msinfo32.exe");

} // namespace

class TestFinestre : public QObject
{
    Q_OBJECT

private slots:
    // Installed, the record has a folder of its own, beside another game file. The start
    // screen shows its texts whole and the resumed record, which it only reads; draws and
    // withdrawals go to that record, nothing beside the pictures. Only F1 alone opens the
    // information. While the board is up the start screen takes no input; each start stores the
    // checked level and its comments first (level 3 keeps those there were). After F11 the start
    // button only applies the level. Closing the board, or the stop button, ends the program.
    void schermataIniziale()
    {
        Banco banco;
        const QString registri = banco.percorso(QStringLiteral("registro"));
        QVERIFY(QDir().mkdir(registri));
        const QByteArray ripresa = IntestazioneVecchia + righe({42, 7});
        banco.scrivi(QStringLiteral("registro/ultima.par"), ripresa);
        banco.scrivi(QStringLiteral("registro/altra.par"), Intestazione + righe({1, 2, 3}));
        const auto letto = [&] {
            QFile file(registri + QStringLiteral("/ultima.par"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        banco.s = std::make_unique<frmSplash>(banco.richieste, banco.cartella.path(), registri);
        frmSplash &s = *banco.s;
        s.tabellone()->impostaOrologio(Banco::adesso);
        s.show();
        QCOMPARE((QStringList{s.lblVersion->text(), s.lblProductName->text(), s.LblCommento->text(),
                              s.lblCompany->text(), s.Lblultima->text()}),
                 (QStringList{"Versione 1.0.4", "Tabellone Tombola", "Benvenuti al Tabellone Tombola",
                              "Software libero, licenza MIT", "Ultima partita :Partita : 01/01/2020 10:00:00"}));
        for (const QWidget *w : std::initializer_list<const QWidget *>{s.lblVersion, s.lblProductName, s.LblCommento,
                                                                      s.lblCompany, s.Option1, s.Option2, s.Option3})
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName() + QStringLiteral(" cut")));
        // The title at the largest size, in half points from its own, that fits.
        QFont titolo = s.lblProductName->font();
        titolo.setPointSizeF(titolo.pointSizeF() + 0.5);
        QVERIFY(titolo.pointSizeF() > 32.25
                || QFontMetrics(titolo).horizontalAdvance(s.lblProductName->text()) > s.lblProductName->width());
        QCOMPARE(differenze(*s.tabellone(), {7, 42}), QString());
        QCOMPARE(letto(), ripresa);
        QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1); }, &frmAbout::reject));
        QVERIFY(!allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1, Qt::ShiftModifier); }, &frmAbout::reject));

        QSignalSpy fine(&s, &frmSplash::fineProgramma);
        bool informazioni = true, estratto = false;
        for (const auto &[opzione, livello, commento] : {std::tuple(s.Option1, 1, "IL MASCHIO"),
                                                          std::tuple(s.Option3, 3, "IL MASCHIO"),
                                                          std::tuple(s.Option2, 2, "L' ITALIA")}) {
            QTest::mouseClick(opzione, Qt::LeftButton);
            QString visto;
            QVERIFY(banco.avvia([&](frmTabellone *t) {
                visto = t->isVisible() ? QString::number(Livello.value_or(0)) + Commenti[1] : QString();
                if (livello == 1) {
                    QTest::mouseClick(s.Command1, Qt::LeftButton);
                    informazioni = allaModale<frmAbout>([&] { QTest::keyClick(&s, Qt::Key_F1); }, &frmAbout::reject);
                    estratto = banco.estrai(5);
                    QTest::mouseClick(t->Img[42], Qt::RightButton);
                }
                lascia(t);
            }));
            QCOMPARE(visto, QString::number(livello) + QLatin1String(commento));
            QVERIFY(opzione->isChecked() && s.tabellone()->isHidden());
        }
        QVERIFY(!informazioni && estratto && fine.isEmpty());
        // Started again, the board still shows the game of the first start.
        QCOMPARE(differenze(*s.tabellone(), {5, 7}), QString());
        QCOMPARE(letto(), Intestazione + righe({5, 7}));
        QVERIFY(!QFile::exists(banco.percorso(QStringLiteral("ultima.par"))));
        // Only the withdrawal's question: no write failed.
        QCOMPARE(banco.richieste.chiesto.size(), 1);

        frmTabellone *t = s.tabellone();
        QVERIFY(banco.avvia([](frmTabellone *t) { QTest::keyClick(t, Qt::Key_F11); }));
        QTest::mouseClick(s.Option1, Qt::LeftButton);
        QVERIFY2(!banco.avvia(lascia), "the start button opened the board a second time");
        QVERIFY(Livello == 1 && t->isVisible() && t->isMaximized());
        lascia(t);
        QVERIFY(banco.avvia([](frmTabellone *t) { t->close(); }));
        QCOMPARE(fine.count(), 1);
        QTest::mouseClick(s.Command1, Qt::LeftButton);
        QCOMPARE(fine.count(), 2);
    }

    // The printer button sits in the frame's free corner under the voice switch, touching nothing
    // else, named "Stampa cartelle". Its dialog makes the batch beside the record and its PDF in
    // the documents folder, opens it and says where it went; a PDF that cannot be written is
    // told, and leaves no batch.
    void stampaDallaSchermataIniziale()
    {
        Banco banco;
        frmSplash &s = banco.schermata();
        const QRect posto = s.CmdStampa->geometry();
        QCOMPARE(s.CmdStampa->parentWidget(), s.Frame1);
        QVERIFY(s.Frame1->contentsRect().contains(posto));
        for (const QWidget *altro : s.Frame1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(altro == s.CmdStampa || !altro->geometry().intersects(posto), qPrintable(altro->objectName()));
        QCOMPARE((QStringList{s.CmdStampa->toolTip(), s.CmdStampa->accessibleName()}),
                 QStringList(2, QStringLiteral("Stampa cartelle")));
        QVERIFY(!s.CmdStampa->icon().isNull());

        QTemporaryDir documenti;
        QStringList aperti;
        s.serviziStampa = {documenti.filePath(QStringLiteral("Documenti")),
                           [&](const QString &pdf) { return aperti.append(pdf), true; }};
        QString detto;
        QVERIFY(allaModale<frmStampa>([&] { QTest::mouseClick(s.CmdStampa, Qt::LeftButton); }, [&](frmStampa *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Stampa cartelle"));
            QCOMPARE(std::pair(d->txtSerie->minimum(), d->txtSerie->maximum()), std::pair(1, 500));
            d->txtSerie->setValue(2);
            QTest::mouseClick(d->cmdCrea, Qt::LeftButton);
            detto = d->lblPercorso->text();
            QTest::keyClick(d, Qt::Key_Escape);
        }));
        const ArchivioLetto archivio = ArchivioBlocchetti(banco.cartella.path()).leggi();
        QVERIFY(!archivio.blocchetti.isEmpty());
        const Blocchetto &fatto = archivio.blocchetti.constLast();
        QCOMPARE(fatto.serie, 2);
        const QString pdf = documenti.filePath(QStringLiteral("Documenti/") + nomePdf(fatto));
        QCOMPARE(aperti, QStringList{pdf});
        QVERIFY2(detto.contains(QDir::toNativeSeparators(pdf)) && detto.contains(QStringLiteral("cartelle da 1 a 12.")),
                 qPrintable(detto));
        QVERIFY(QFileInfo(pdf).size() > 0);

        // Documents "folder" that is a file: the PDF cannot go there; told, and no batch kept.
        const QString nonCartella = documenti.filePath(QStringLiteral("file"));
        QFile(nonCartella).open(QIODevice::WriteOnly);
        s.serviziStampa.documenti = nonCartella;
        QVERIFY(allaModale<frmStampa>([&] { QTest::mouseClick(s.CmdStampa, Qt::LeftButton); }, [&](frmStampa *d) {
            QTest::mouseClick(d->cmdCrea, Qt::LeftButton);
            d->reject();
        }));
        QCOMPARE(banco.richieste.chiesto.size(), 1);
        QVERIFY2(banco.richieste.chiesto.constFirst().startsWith(QStringLiteral("Le cartelle non sono state create: ")),
                 qPrintable(banco.richieste.chiesto.constFirst()));
        QCOMPARE(ArchivioBlocchetti(banco.cartella.path()).leggi().blocchetti.size(), archivio.blocchetti.size());
        QCOMPARE(aperti.size(), 1);
    }

    // The information dialog shows its texts whole; Enter presses OK and Esc cancels. System Info
    // starts the tool listed under MSINFO\PATH, else the one in the tools folder; without a registry,
    // a tool, or with one that fails to start, it says the information is not available.
    // With no voice to be had (no speech service here; no Italian voice under Wine), the
    // switch greys out by itself soon after the start screen shows, before anyone touches it,
    // its tooltip saying why; a click then turns nothing on.
    // "Telefoni in sala" sits above the voice switch, touching nothing else, and is off: nothing
    // listens. F8 on the board turns it on and shows the page's address over the board until a
    // key; the switch follows. The page is served; switched off, nothing listens again.
    void telefoniInSala()
    {
        Banco banco;
        frmSplash &s = banco.schermata();
        const QRect posto = s.CmdTelefoni->geometry();
        QCOMPARE(s.CmdTelefoni->parentWidget(), s.Frame1);
        QVERIFY(s.Frame1->rect().contains(posto));
        for (const QWidget *altro : s.Frame1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(altro == s.CmdTelefoni || !altro->geometry().intersects(posto), qPrintable(altro->objectName()));
        QCOMPARE((QStringList{s.CmdTelefoni->toolTip(), s.CmdTelefoni->accessibleName()}),
                 QStringList(2, QStringLiteral("Telefoni in sala")));
        QVERIFY(!s.CmdTelefoni->isChecked());
        QVERIFY(!s.telefoni()->acceso());
        QCOMPARE(s.telefoni()->porta(), 0);

        frmTabellone *t = s.tabellone();
        QTest::keyClick(t, Qt::Key_F8, Qt::ShiftModifier);
        QVERIFY(!s.telefoni()->acceso());
        QTest::keyClick(t, Qt::Key_F8);
        QVERIFY(s.telefoni()->acceso());
        QVERIFY(s.CmdTelefoni->isChecked());
        auto *codice = t->findChild<QWidget *>(QStringLiteral("frmCodiceTelefoni"));
        QVERIFY(codice);
        QCOMPARE(codice->geometry(), t->rect());
        QTest::keyClick(codice, Qt::Key_Space);
        QTRY_VERIFY(!t->findChild<QWidget *>(QStringLiteral("frmCodiceTelefoni")));

        QTcpSocket telefono;
        QByteArray risposta;
        connect(&telefono, &QTcpSocket::readyRead, this, [&] { risposta += telefono.readAll(); });
        telefono.connectToHost(QHostAddress::LocalHost, s.telefoni()->porta());
        QTRY_VERIFY(telefono.state() == QAbstractSocket::ConnectedState);
        telefono.write("GET / HTTP/1.1\r\nHost: tabellone\r\n\r\n");
        QTRY_VERIFY(risposta.contains("La mia cartella"));
        QVERIFY(risposta.startsWith("HTTP/1.1 200"));
        // A change of the game's story reaches a connected phone, newer than what it had.
        QWebSocket ws;
        QList<QJsonObject> istantanee;
        connect(&ws, &QWebSocket::textMessageReceived, this,
                [&](const QString &m) { istantanee.append(QJsonDocument::fromJson(m.toUtf8()).object()); });
        ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(s.telefoni()->porta())));
        QTRY_COMPARE(istantanee.size(), 1);
        t->partita().impostaIntervallo(t->partita().storia().intervallo + 1);
        QTRY_COMPARE(istantanee.size(), 2);
        QVERIFY(istantanee[1][QLatin1String("seq")].toInteger() > istantanee[0][QLatin1String("seq")].toInteger());

        const quint16 porta = s.telefoni()->porta();
        QTest::mouseClick(s.CmdTelefoni, Qt::LeftButton);
        QVERIFY(!s.telefoni()->acceso());
        QTRY_VERIFY(telefono.state() == QAbstractSocket::UnconnectedState);
        QTcpSocket dopo;
        dopo.connectToHost(QHostAddress::LocalHost, porta);
        QVERIFY(!dopo.waitForConnected(2000));
        QCOMPARE(dopo.error(), QAbstractSocket::ConnectionRefusedError);
    }

    // Where the server has a thread of its own, the phones are served while the board's
    // thread is busy and handles no event: their sockets are not the board's to watch.
    void telefoniServitiColTabelloneOccupato_data()
    {
        QTest::addColumn<QByteArray>("richiesta");
        QTest::addColumn<QByteArray>("atteso");
        QTest::newRow("la pagina") << QByteArray("GET / HTTP/1.1\r\nHost: tabellone\r\n\r\n") << QByteArray("La mia cartella");
        QTest::newRow("la partita") << QByteArray("GET /stato HTTP/1.1\r\nHost: tabellone\r\n\r\n") << QByteArray("\"seq\":1");
    }
    void telefoniServitiColTabelloneOccupato()
    {
        if (!serverTelefoniSuFiloProprio())
            QSKIP("here the phones' server runs on the board's thread");
        QFETCH(QByteArray, richiesta);
        QFETCH(QByteArray, atteso);
        Banco banco;
        frmSplash &s = banco.schermata();
        QVERIFY(s.telefoni()->accendi().isEmpty());
        const quint16 porta = s.telefoni()->porta();
        QElapsedTimer tempo;
        tempo.start();
        std::atomic<qint64> servito = -1;
        // A QThread, not a thread Qt would have to adopt: Wine once hung at exit over one.
        std::unique_ptr<QThread> telefono(QThread::create([&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, porta);
            if (!socket.waitForConnected(3000))
                return;
            socket.write(richiesta);
            QByteArray risposta;
            while (!risposta.contains(atteso) && socket.waitForReadyRead(3000))
                risposta += socket.readAll();
            if (risposta.startsWith("HTTP/1.1 200") && risposta.contains(atteso))
                servito = tempo.elapsed();
        }));
        telefono->start();
        QThread::msleep(1500);
        const qint64 occupato = tempo.elapsed();
        telefono->wait();
        QVERIFY2(servito >= 0 && servito < occupato,
                 qPrintable(QStringLiteral("servito a %1 ms, tabellone occupato fino a %2 ms").arg(servito.load()).arg(occupato)));
        s.telefoni()->spegni();
    }

    // A start with the switch off never loads the speech engine; turned on somewhere
    // with no voice, the switch turns itself off for good and its tooltip says why.
    void voceCaricataSoloAccesa()
    {
        // Somewhere no speech service listens, and none may be started for the test.
        qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/tabellone/speechd.sock");
        qputenv("SPEECHD_CMD", "/bin/false");
        qRegisterMetaType<Voce *>();
        Banco banco;
        frmSplash &s = banco.schermata();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QTest::qWait(200);
        QVERIFY(!s.findChild<VoceSintetica *>());
        QVERIFY(s.CmdVoce->isEnabled());
        QSignalSpy cambi(&s, &frmSplash::voceCambiata);
        QTest::mouseClick(s.CmdVoce, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!s.CmdVoce->isEnabled(), 20000);
        QVERIFY2(s.CmdVoce->toolTip().startsWith(QStringLiteral("Annuncio a voce non disponibile")),
                 qPrintable(s.CmdVoce->toolTip()));
        QVERIFY(!s.CmdVoce->isChecked() && !s.voce() && cambi.isEmpty());
    }

    void informazioni_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<QString>("valori"); // those the registry holds; "-": no registry at all
        QTest::addColumn<bool>("riesce");    // the tools folder holds the tool, and the tool starts
        QTest::addColumn<QString>("avviato");
        const int esc = Qt::Key_Escape;
        QTest::newRow("no registry, return") << int(Qt::Key_Return) << "-" << true << "";
        QTest::newRow("PATH first") << esc << "PATH MSINFO" << true << Msinfo;
        QTest::newRow("the tools folder") << esc << "MSINFO" << true << "C:\\Tools\\MSINFO32.EXE";
        QTest::newRow("no tool in the tools folder") << esc << "MSINFO" << false << "";
        QTest::newRow("neither value") << esc << "" << true << "";
        QTest::newRow("the tool fails to start") << esc << "PATH" << false << Msinfo;
    }
    void informazioni()
    {
        QFETCH(int, tasto);
        QFETCH(QString, valori);
        QFETCH(bool, riesce);
        QFETCH(QString, avviato);
        auto registro = std::make_unique<RegistroFinto>();
        if (valori.contains(QLatin1String("PATH")))
            registro->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, Msinfo.toLatin1() + '\0'};
        if (valori.contains(QLatin1String("MSINFO")))
            registro->chiavi["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {TipoTesto, "C:\\Tools"};
        QStringList avviati;
        RichiesteFinte richieste;
        frmAbout d(richieste, {valori == QLatin1String("-") ? nullptr : std::move(registro),
                               [&](const QString &) { return riesce; },
                               [&](const QString &programma) { return avviati.append(programma), riesce; }});
        QCOMPARE((QStringList{d.windowTitle(), d.lblVersion->text(), d.lblTitle->text(), d.lblDescription->text()}),
                 (QStringList{"Informazioni su Tabellone Tombola", "Versione 1.0.4", "Tabellone Tombola",
                              "Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. "}));
        // The legal line, a blank line and twelve key lines, each key line with a leading blank; all show.
        QCOMPARE(d.lblDisclaimer->text().split(QStringLiteral("\r\n")),
                 (QStringList{"Questo programma è distribuito senza alcuna garanzia.", "", " F1 = informazioni",
                              " F2 = nuova partita", " F10 = messaggi nella colonna in basso",
                              " F11 = ingrandire / ridurre il tabellone",
                              " CTRL+ALT+F4 = torna alla schermata iniziale",
                              " Doppio clic = segna il numero estratto", " Tasto destro = cancella il numero",
                              " F5 = controlla una cartella (67, ABC-67, tabellone 3)",
                              " F6 = il computer estrae un numero",
                              " F7 = la partita: estrazioni, impronta, verbale",
                              " F8 = codice QR della pagina per i telefoni in sala",
                              " F9 = estrazioni automatiche sì / no"}));
        QVERIFY(d.lblDisclaimer->sizeHint().boundedTo(d.lblDisclaimer->size()) == d.lblDisclaimer->sizeHint());

        int risultato = -1;
        QVERIFY(allaModale<frmAbout>([&] { risultato = d.exec(); }, [&](frmAbout *m) {
            m->cmdSysInfo->click();
            QTest::keyClick(m, Qt::Key(tasto));
        }));
        QCOMPARE(risultato, int(tasto == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(avviati, avviato.isEmpty() ? QStringList() : QStringList{avviato});
        QCOMPARE(richieste.chiesto, avviato.isEmpty() || !riesce ? QStringList{QStringLiteral(
                     "Le informazioni sul sistema non sono attualmente disponibili.")} : QStringList());
    }

    // Text comes back without its final NUL only, numbers in decimal from all four bytes; a missing
    // value gives false and an emptied result. Keys are opened for reading only (KEY_READ: a standard
    // user may not ask for more) and closed again.
    void valoreLettoSecondoIlTipo()
    {
        RegistroFinto registro;
        registro.chiavi[ChiaveMsinfo] = {{"TESTO", {TipoTesto, QByteArray("A\0B\0", 4)}},
                                         {"NUMERO", {TipoNumero32, QByteArray("\x2a\x01\x00\x00", 4)}}};
        const QString chiave = QString::fromLatin1(ChiaveMsinfo);
        QStringList letti;
        for (const QString &nome : {QStringLiteral("TESTO"), QStringLiteral("NUMERO"), QStringLiteral("ALTRO")}) {
            QString valore = QStringLiteral("prima");
            const bool letto = GetKeyValue(registro, ChiaveLocalMachine, chiave, nome, valore);
            letti << (letto ? valore : QStringLiteral("not read: ") + valore);
        }
        QCOMPARE(letti, (QStringList{QString::fromLatin1("A\0B", 3), "298", "not read: "}));
        QCOMPARE(std::pair(registro.chiuse, registro.accesso), std::pair(3, 0x20019u));
    }

    // Keys that type a character, a press on its surface, a click on the picture and a left click
    // on the comment close the pop-up; keys that type nothing and other buttons on the comment do not.
    void chiusuraDelPopup_data()
    {
        QTest::addColumn<QString>("controllo"); // the one clicked; empty: a key instead
        QTest::addColumn<int>("tasto");         // the key, or the mouse button
        QTest::addColumn<bool>("chiude");
        QTest::newRow("escape closes") << QString() << int(Qt::Key_Escape) << true;
        QTest::newRow("F1 leaves it open") << QString() << int(Qt::Key_F1) << false;
        QTest::newRow("a press on its surface closes") << "frmTip" << int(Qt::LeftButton) << true;
        QTest::newRow("a click on the picture closes") << "ImgNumero" << int(Qt::LeftButton) << true;
        QTest::newRow("a click on the comment closes") << "LblSmorfia" << int(Qt::LeftButton) << true;
        QTest::newRow("a right click on the comment does not") << "LblSmorfia" << int(Qt::RightButton) << false;
    }
    void chiusuraDelPopup()
    {
        QFETCH(QString, controllo);
        QFETCH(int, tasto);
        Banco banco;
        banco.crea().show();
        bool aperto = true;
        QVERIFY(banco.estrai(5, [&](frmTip *tip) {
            if (controllo.isEmpty())
                QTest::keyClick(tip, Qt::Key(tasto));
            else
                QTest::mouseClick(tip->objectName() == controllo ? tip : tip->findChild<QWidget *>(controllo),
                                  Qt::MouseButton(tasto));
            if ((aperto = tip->isVisible()))
                QTest::keyClick(tip, Qt::Key_Space);
        }));
        QTEST(!aperto, "chiude");
    }
};

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
