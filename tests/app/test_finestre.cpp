// SPDX-License-Identifier: MIT
#include "caratteri.h"
#include "dichiarazioni.h"
#include "frmabout.h"
#include "frmsplash.h"
#include "frmtabellone.h"
#include "frmtip.h"
#include "immagine.h"
#include "infosistema.h"
#include "prova_finestre.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

using namespace Dichiarazioni;

namespace {

const QByteArray Intestazione = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n");

QByteArray righe(const QList<int> &numeri)
{
    QByteArray testo;
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

// Once a modal window of class T is up, hand it to azione: how a person
// answers it. Deleting the returned timer stops waiting.
template <typename T>
QPointer<QTimer> allaModale(std::function<void(T *)> azione)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, azione] {
        if (auto *modale = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            azione(modale);
        }
    });
    timer->start();
    return timer;
}

// Closes a modal dialog that is still up after two seconds, so that one that
// ignores what it is told fails the test instead of hanging it.
class Guardia
{
public:
    Guardia()
    {
        m_timer.setInterval(2000);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (QWidget *modale = QApplication::activeModalWidget()) {
                scattata = true;
                modale->close();
            }
        });
        m_timer.start();
    }
    bool scattata = false;

private:
    QTimer m_timer;
};

// What was seen of the board while the start button kept it up.
struct Avvio {
    bool aperto = false;   // the board came up inside the start button
    bool modale = false;
    bool visibile = false;
    bool bloccato = false; // it had to be taken down by force
};

// A start screen on its own program folder holding the real pictures.
class Banco
{
public:
    Banco()
    {
        if (!cartella.isValid()) {
            errore = QStringLiteral("no temporary folder");
            return;
        }
        for (int n = 0; n <= UltimoNumero; ++n) {
            const QString nome = nomeImmagine(n);
            if (!QFile::link(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(nome),
                             QDir(cartella.path()).filePath(nome))) {
                errore = QStringLiteral("cannot link ") + nome;
                return;
            }
        }
    }

    void scriviRegistro(const QByteArray &contenuto) const
    {
        QFile file(QDir(cartella.path()).filePath(QStringLiteral("ultima.par")));
        if (file.open(QIODevice::WriteOnly))
            file.write(contenuto);
    }

    frmSplash &crea()
    {
        s = std::make_unique<frmSplash>(richieste, cartella.path());
        s->tabellone()->impostaOrologio([] { return QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33)); });
        s->show();
        return *s;
    }

    // Presses the start button; mentreAperto runs while the board is up and
    // must take it down. A board still up after three seconds is hidden.
    Avvio avvia(const std::function<void(frmTabellone &)> &mentreAperto)
    {
        frmTabellone *t = s->tabellone();
        Avvio avvio;
        QTimer dentro;
        dentro.setSingleShot(true);
        QObject::connect(&dentro, &QTimer::timeout, t, [&] {
            avvio.aperto = true;
            avvio.modale = t->modale();
            avvio.visibile = t->isVisible();
            mentreAperto(*t);
        });
        dentro.start(0);
        QTimer guardia;
        guardia.setSingleShot(true);
        QObject::connect(&guardia, &QTimer::timeout, t, [&] {
            if (t->modale()) {
                avvio.bloccato = true;
                t->hide();
            }
        });
        guardia.start(3000);
        QTest::mouseClick(s->Command2, Qt::LeftButton);
        return avvio;
    }

    QTemporaryDir cartella;
    QString errore;
    RichiesteFinte richieste;
    std::unique_ptr<frmSplash> s;
};

// How a person leaves the board: Ctrl+F8, one of the keys that hide it.
void lascia(frmTabellone &t)
{
    QTest::keyClick(&t, Qt::Key_F8, Qt::ControlModifier);
}

// Draws n as the caller does: a double click, then a key on the pop-up.
bool estrai(frmTabellone &t, int n)
{
    bool comparsa = false;
    const QPointer<QTimer> attesa = allaModale<frmTip>([&](frmTip *tip) {
        comparsa = true;
        QTest::keyClick(tip, Qt::Key_Space);
    });
    Guardia guardia;
    QTest::mouseDClick(t.Img[n], Qt::LeftButton);
    QTest::mouseRelease(t.Img[n], Qt::LeftButton);
    delete attesa.data();
    return comparsa && !guardia.scattata;
}

// A registry held in memory: key path -> value name -> text.
class RegistroFinto final : public AccessoRegistro
{
public:
    QMap<QByteArray, QMap<QByteArray, QByteArray>> chiavi;

    std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32) override
    {
        if (radice != ChiaveLocalMachine || !chiavi.contains(percorso))
            return std::nullopt;
        m_aperte.append(percorso);
        return static_cast<Chiave>(m_aperte.size());
    }

    bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati,
                   quint32 &dimensione) override
    {
        const auto &valori = chiavi[m_aperte.value(static_cast<qsizetype>(chiave) - 1)];
        if (!valori.contains(nome))
            return false;
        const QByteArray valore = valori[nome] + '\0';
        tipo = TipoTesto;
        dati.replace(0, valore.size(), valore);
        dimensione = static_cast<quint32>(valore.size());
        return true;
    }

    void chiudi(Chiave) override {}

private:
    QList<QByteArray> m_aperte;
};

const QByteArray ChiaveMsinfo = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QByteArray ChiaveStrumenti = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)

class TestFinestre : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The start screen shows its fixed texts, each whole and inside the window.
    void schermataInizialeTestiInteri();
    // The start screen names the last game when the record has a header, and resumes it into the board.
    void schermataInizialeUltimaPartita_data();
    void schermataInizialeUltimaPartita();
    // The start button stores the checked level, fills the comments and keeps the board up until it is left.
    void avvioConLivello_data();
    void avvioConLivello();
    // While the start button keeps the board up, the start screen takes no input.
    void schermataFermaMentreIlTabelloneESu();
    // Starting again after leaving shows the same board, with its numbers and where the user left it.
    void riavvioMostraLoStessoTabellone();
    // After F11 the board is an ordinary window; the start button then applies the level and returns at once.
    void avvioDopoF11NonRiapre();
    // Only F1 alone opens the information from the start screen.
    void tastiSchermataIniziale_data();
    void tastiSchermataIniziale();
    // The stop button, closing the start screen and closing the board each end the program once.
    void fineProgramma_data();
    void fineProgramma();
    // Closing the board while the start button keeps it up ends that showing as well.
    void chiusuraTabelloneTerminaLAvvio();

    // The information dialog's texts, the same every time it opens.
    void informazioniTesti();
    // Enter presses OK and Esc cancels; both close it.
    void informazioniTastiChiudono_data();
    void informazioniTastiChiudono();
    // System Info starts the tool the registry names, or says it is not available.
    void informazioniSistema_data();
    void informazioniSistema();
};

void TestFinestre::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // The faces the program itself asks for in place of missing ones.
    registraSostituti();
}

void TestFinestre::init()
{
    azzera();
}

void TestFinestre::cleanup()
{
    // No pop-up or dialog may outlive its test.
    QTRY_COMPARE(frmTip::caricato(), nullptr);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestFinestre::schermataInizialeTestiInteri()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    const frmSplash &s = banco.crea();

    QCOMPARE(s.lblVersion->text(), QStringLiteral("Versione 1.0.4"));
    QCOMPARE(s.lblProductName->text(), QStringLiteral("Tabellone Tombola"));
    QCOMPARE(s.LblCommento->text(), QStringLiteral("Benvenuti al Tabellone Tombola"));
    QCOMPARE(s.lblCompany->text(), QStringLiteral("Software libero, licenza MIT"));

    for (const QLabel *label : {s.lblVersion, s.lblProductName, s.LblCommento, s.lblCompany}) {
        const QString nome = label->objectName();
        QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(nome + " cut"));
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(nome + " outside"));
    }
    for (const QRadioButton *opzione : {s.Option1, s.Option2, s.Option3})
        QVERIFY2(opzione->width() >= opzione->sizeHint().width(), qPrintable(opzione->objectName() + " cut"));
    QVERIFY(s.tabellone());
    QVERIFY(s.tabellone()->isHidden());
}

void TestFinestre::schermataInizialeUltimaPartita_data()
{
    QTest::addColumn<QByteArray>("registro"); // empty: no record
    QTest::addColumn<QString>("ultima");
    QTest::addColumn<QList<int>>("estratti");

    QTest::newRow("no record names nothing") << QByteArray() << QString() << QList<int>{};
    QTest::newRow("a record names its game")
        << QByteArray(Intestazione + righe({4, 44})) << QStringLiteral("Ultima partita :Partita : 06/12/2026 21:05:33")
        << QList<int>{4, 44};
    QTest::newRow("a blank header names nothing") << QByteArray("  \r\n 9 \r\n") << QString() << QList<int>{9};
}

void TestFinestre::schermataInizialeUltimaPartita()
{
    QFETCH(QByteArray, registro);
    QFETCH(QString, ultima);
    QFETCH(QList<int>, estratti);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    if (!registro.isEmpty())
        banco.scriviRegistro(registro);
    const frmSplash &s = banco.crea();

    QCOMPARE(s.Lblultima->text(), ultima);
    for (int n = PrimoNumero; n <= UltimoNumero; ++n) {
        const bool atteso = estratti.contains(n);
        QCOMPARE(Estratti[n] == Estratto, atteso);
        QCOMPARE(s.tabellone()->Img[n]->nomeCaricato(), atteso ? nomeImmagine(n) : QStringLiteral("img00.gif"));
    }
}

void TestFinestre::avvioConLivello_data()
{
    QTest::addColumn<int>("opzione"); // 0: none checked
    QTest::addColumn<std::optional<int>>("livello");
    QTest::addColumn<QString>("commento1");
    QTest::addColumn<QString>("commento33");

    QTest::newRow("option 1 gives level 1") << 1 << std::optional<int>(1) << QStringLiteral("IL MASCHIO") << QString();
    QTest::newRow("option 2 gives level 2")
        << 2 << std::optional<int>(2) << QStringLiteral("L' ITALIA") << QStringLiteral("GLI ANNI DI  CRISTO");
    QTest::newRow("option 3 keeps the comments there were")
        << 3 << std::optional<int>(3) << QStringLiteral("PRIMA") << QStringLiteral("TRENTATRE");
    QTest::newRow("no option leaves the level empty")
        << 0 << std::optional<int>() << QStringLiteral("PRIMA") << QStringLiteral("TRENTATRE");
}

void TestFinestre::avvioConLivello()
{
    QFETCH(int, opzione);
    QFETCH(std::optional<int>, livello);
    QFETCH(QString, commento1);
    QFETCH(QString, commento33);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    Commenti[1] = QStringLiteral("PRIMA");
    Commenti[33] = QStringLiteral("TRENTATRE");
    if (opzione > 0)
        QTest::mouseClick(QList<QRadioButton *>{s.Option1, s.Option2, s.Option3}[opzione - 1], Qt::LeftButton);

    std::optional<int> livelloVisto;
    QString commentoVisto;
    const Avvio avvio = banco.avvia([&](frmTabellone &t) {
        livelloVisto = Livello;
        commentoVisto = Commenti[1];
        lascia(t);
    });

    QVERIFY2(avvio.aperto, "the start button returned before the board was left");
    QVERIFY(avvio.visibile);
    QVERIFY(avvio.modale);
    QVERIFY(!avvio.bloccato);
    // Level and comments are in place before the board is up.
    QCOMPARE(livelloVisto, livello);
    QCOMPARE(commentoVisto, commento1);
    QCOMPARE(Livello, livello);
    QCOMPARE(Commenti[1], commento1);
    if (!commento33.isEmpty())
        QCOMPARE(Commenti[33], commento33);
    QVERIFY(s.tabellone()->isHidden());
    QVERIFY(!s.tabellone()->modale());
}

void TestFinestre::schermataFermaMentreIlTabelloneESu()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    QSignalSpy fine(&s, &frmSplash::fineProgramma);
    bool informazioni = false;
    bool opzioneCambiata = false;

    const Avvio avvio = banco.avvia([&](frmTabellone &t) {
        QTest::mouseClick(s.Command1, Qt::LeftButton);
        QTest::mouseClick(s.Option2, Qt::LeftButton);
        opzioneCambiata = s.Option2->isChecked();
        const QPointer<QTimer> attesa = allaModale<frmAbout>([&](frmAbout *dialogo) {
            informazioni = true;
            QTest::keyClick(dialogo, Qt::Key_Escape);
        });
        Guardia guardia;
        QTest::keyClick(&s, Qt::Key_F1);
        delete attesa.data();
        lascia(t);
    });

    QVERIFY(avvio.aperto);
    QVERIFY(!avvio.bloccato);
    QCOMPARE(fine.count(), 0);
    QVERIFY(!opzioneCambiata);
    QVERIFY(!informazioni);
    // Once the board is left, the start screen answers again.
    QTest::mouseClick(s.Option2, Qt::LeftButton);
    QVERIFY(s.Option2->isChecked());
}

void TestFinestre::riavvioMostraLoStessoTabellone()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    frmTabellone *primo = s.tabellone();
    bool estratto = false;
    QPoint lasciato;

    Avvio avvio = banco.avvia([&](frmTabellone &t) {
        estratto = estrai(t, 42);
        t.move(t.pos() + QPoint(30, 20));
        lasciato = t.pos();
        lascia(t);
    });
    QVERIFY(avvio.aperto && !avvio.bloccato);
    QVERIFY(estratto);

    frmTabellone *visto = nullptr;
    QString immagine;
    QPoint posizione;
    avvio = banco.avvia([&](frmTabellone &t) {
        visto = &t;
        immagine = t.Img[42]->nomeCaricato();
        posizione = t.pos();
        lascia(t);
    });
    QVERIFY(avvio.aperto && avvio.visibile && avvio.modale && !avvio.bloccato);
    QCOMPARE(visto, primo);
    QCOMPARE(s.tabellone(), primo);
    QCOMPARE(immagine, QStringLiteral("img42.gif"));
    QCOMPARE(Estratti[42], Estratto);
    QCOMPARE(posizione, lasciato);
}

void TestFinestre::avvioDopoF11NonRiapre()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    frmTabellone *t = s.tabellone();
    QTest::mouseClick(s.Option2, Qt::LeftButton);

    const Avvio avvio = banco.avvia([](frmTabellone &tabellone) { QTest::keyClick(&tabellone, Qt::Key_F11); });

    QVERIFY2(avvio.aperto && avvio.modale, "the board was not up by the start button");
    QVERIFY2(!avvio.bloccato, "F11 did not end the board's modal showing");
    QVERIFY(t->isVisible());
    QVERIFY(t->isMaximized());
    QVERIFY(!t->modale());
    QCOMPARE(Livello, std::optional<int>(2));

    // The start screen takes input again, and its start button only applies the level.
    QTest::mouseClick(s.Option1, Qt::LeftButton);
    QVERIFY(s.Option1->isChecked());
    bool ancoraDentro = false;
    QTimer guardia;
    guardia.setSingleShot(true);
    QObject::connect(&guardia, &QTimer::timeout, t, [&] {
        ancoraDentro = true;
        t->hide();
    });
    guardia.start(2000);
    QTest::mouseClick(s.Command2, Qt::LeftButton);
    guardia.stop();

    QVERIFY2(!ancoraDentro, "the start button opened the board a second time");
    QCOMPARE(s.tabellone(), t);
    QCOMPARE(Livello, std::optional<int>(1));
    QCOMPARE(Commenti[1], QStringLiteral("IL MASCHIO"));
    QVERIFY(t->isVisible());
    QVERIFY(t->isMaximized());
    QVERIFY(!t->modale());
}

void TestFinestre::tastiSchermataIniziale_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
    QTest::addColumn<bool>("informazioni");

    QTest::newRow("F1 opens the information") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+F1 does nothing") << int(Qt::Key_F1) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+F1 does nothing") << int(Qt::Key_F1) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("Alt+F1 does nothing") << int(Qt::Key_F1) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::newRow("F2 does nothing") << int(Qt::Key_F2) << Qt::KeyboardModifiers() << false;
}

void TestFinestre::tastiSchermataIniziale()
{
    QFETCH(int, tasto);
    QFETCH(Qt::KeyboardModifiers, modificatori);
    QFETCH(bool, informazioni);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    QString titolo;
    const QPointer<QTimer> attesa = allaModale<frmAbout>([&](frmAbout *dialogo) {
        titolo = dialogo->windowTitle();
        QTest::keyClick(dialogo, Qt::Key_Escape);
    });
    Guardia guardia;
    QTest::keyClick(&s, static_cast<Qt::Key>(tasto), modificatori);
    delete attesa.data();

    QVERIFY(!guardia.scattata);
    QCOMPARE(titolo, informazioni ? QStringLiteral("Informazioni su Tabellone Tombola") : QString());
    QVERIFY(banco.richieste.domande.isEmpty());
    QVERIFY(s.tabellone()->isHidden());
}

void TestFinestre::fineProgramma_data()
{
    QTest::addColumn<QString>("come");

    QTest::newRow("the stop button") << QStringLiteral("stop");
    QTest::newRow("closing the start screen") << QStringLiteral("schermata");
    QTest::newRow("closing the board") << QStringLiteral("tabellone");
}

void TestFinestre::fineProgramma()
{
    QFETCH(QString, come);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    QSignalSpy fine(&s, &frmSplash::fineProgramma);
    if (come == QLatin1String("stop")) {
        QTest::mouseClick(s.Command1, Qt::LeftButton);
    } else if (come == QLatin1String("schermata")) {
        s.close();
    } else {
        s.tabellone()->show();
        s.tabellone()->close();
    }
    QCOMPARE(fine.count(), 1);
}

void TestFinestre::chiusuraTabelloneTerminaLAvvio()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmSplash &s = banco.crea();
    QSignalSpy fine(&s, &frmSplash::fineProgramma);

    const Avvio avvio = banco.avvia([](frmTabellone &t) { t.close(); });

    QVERIFY(avvio.aperto);
    QVERIFY2(!avvio.bloccato, "closing the board did not end its showing");
    QCOMPARE(fine.count(), 1);
    QVERIFY(!s.tabellone()->modale());
}

void TestFinestre::informazioniTesti()
{
    RichiesteFinte richieste;
    QStringList primaVolta;
    for (int volta = 0; volta < 2; ++volta) {
        frmAbout dialogo(richieste, ServiziInfoSistema{});
        QCOMPARE(dialogo.windowTitle(), QStringLiteral("Informazioni su Tabellone Tombola"));
        QCOMPARE(dialogo.lblVersion->text(), QStringLiteral("Versione 1.0.4"));
        QCOMPARE(dialogo.lblTitle->text(), QStringLiteral("Tabellone Tombola"));
        QCOMPARE(dialogo.lblDescription->text(),
                 QStringLiteral("Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. "));

        // A legal line, a blank line, then one line for each of seven keys.
        const QString avvertenze = dialogo.lblDisclaimer->text();
        const QStringList parti = avvertenze.split(QStringLiteral("\r\n"));
        QCOMPARE(parti.size(), 9);
        QVERIFY(!parti[0].trimmed().isEmpty());
        QVERIFY(parti[1].isEmpty());
        for (int riga = 2; riga < parti.size(); ++riga)
            QVERIFY2(!parti[riga].trimmed().isEmpty(), qPrintable(QString::number(riga)));
        QCOMPARE(avvertenze.count(QLatin1Char('\n')), avvertenze.count(QStringLiteral("\r\n")));
        for (const char *tasto : {"F1", "F2", "F10", "F11", "CTRL+ALT+F4"})
            QVERIFY2(avvertenze.contains(QLatin1String(tasto)), tasto);

        // Every line is whole on the dialog.
        QVERIFY2(dialogo.lblDisclaimer->sizeHint().height() <= dialogo.lblDisclaimer->height(),
                 "the key help is cut at the bottom");
        QVERIFY2(dialogo.lblDisclaimer->sizeHint().width() <= dialogo.lblDisclaimer->width(),
                 "the key help is cut at the side");
        QVERIFY(dialogo.rect().contains(dialogo.lblDisclaimer->geometry()));

        const QStringList testi{dialogo.windowTitle(), dialogo.lblVersion->text(), dialogo.lblTitle->text(),
                                dialogo.lblDescription->text(), avvertenze};
        if (volta == 0)
            primaVolta = testi;
        else
            QCOMPARE(testi, primaVolta);
    }
}

void TestFinestre::informazioniTastiChiudono_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<int>("esito");

    QTest::newRow("return presses OK") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad enter presses OK") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("escape cancels") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestFinestre::informazioniTastiChiudono()
{
    QFETCH(int, tasto);
    QFETCH(int, esito);

    RichiesteFinte richieste;
    frmAbout dialogo(richieste, ServiziInfoSistema{});
    allaModale<frmAbout>([tasto](frmAbout *modale) { QTest::keyClick(modale, static_cast<Qt::Key>(tasto)); });
    Guardia guardia;
    const int risultato = dialogo.exec();

    QVERIFY2(!guardia.scattata, "the key did not close the dialog");
    QCOMPARE(risultato, esito);
    QVERIFY(richieste.domande.isEmpty());
}

void TestFinestre::informazioniSistema_data()
{
    QTest::addColumn<QString>("registro"); // none, vuoto, percorso, cartella
    QTest::addColumn<bool>("esiste");      // whether the file found by folder exists
    QTest::addColumn<bool>("parte");       // whether starting it succeeds
    QTest::addColumn<QString>("avviato");  // what was started; empty: nothing
    QTest::addColumn<bool>("avviso");

    const QString percorso = QStringLiteral("C:\\Programmi\\Common Files\\msinfo32.exe");
    const QString cartella = QStringLiteral("C:\\WINDOWS\\SYSTEM");
    const QString daCartella = cartella + QStringLiteral("\\MSINFO32.EXE");
    QTest::newRow("no registry says it is not available") << QStringLiteral("nessuno") << false << true << QString() << true;
    QTest::newRow("a registry without the values says so")
        << QStringLiteral("vuoto") << false << true << QString() << true;
    QTest::newRow("the registered path is started") << QStringLiteral("percorso") << false << true << percorso << false;
    QTest::newRow("a path that fails to start says so")
        << QStringLiteral("percorso") << false << false << percorso << true;
    QTest::newRow("the tools folder is used when its program exists")
        << QStringLiteral("cartella") << true << true << daCartella << false;
    QTest::newRow("the tools folder without its program says so")
        << QStringLiteral("cartella") << false << true << QString() << true;
}

void TestFinestre::informazioniSistema()
{
    QFETCH(QString, registro);
    QFETCH(bool, esiste);
    QFETCH(bool, parte);
    QFETCH(QString, avviato);
    QFETCH(bool, avviso);

    ServiziInfoSistema servizi;
    if (registro != QLatin1String("nessuno")) {
        auto finto = std::make_unique<RegistroFinto>();
        if (registro == QLatin1String("percorso"))
            finto->chiavi[ChiaveMsinfo]["PATH"] = "C:\\Programmi\\Common Files\\msinfo32.exe";
        else if (registro == QLatin1String("cartella"))
            finto->chiavi[ChiaveStrumenti]["MSINFO"] = "C:\\WINDOWS\\SYSTEM";
        servizi.registro = std::move(finto);
    }
    servizi.fileEsiste = [esiste](const QString &) { return esiste; };
    QStringList avviati;
    servizi.avvia = [&](const QString &programma) {
        avviati.append(programma);
        return parte;
    };

    RichiesteFinte richieste;
    frmAbout dialogo(richieste, std::move(servizi));
    dialogo.show();
    QTest::mouseClick(dialogo.cmdSysInfo, Qt::LeftButton);

    QCOMPARE(avviati, avviato.isEmpty() ? QStringList() : QStringList{avviato});
    QCOMPARE(richieste.domande.size(), avviso ? 1 : 0);
    if (avviso) {
        QCOMPARE(richieste.domande.first().testo,
                 QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili."));
        QCOMPARE(richieste.domande.first().pulsanti, Richieste::Pulsanti::Ok);
    }
    QVERIFY(dialogo.isVisible());
}

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
