// SPDX-License-Identifier: MIT
#include "cartelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

enum class Registro { Nessuno, Scrivibile, SolaLettura };
enum class Utente { Esiste, Manca, NonCreabile };

const QByteArray Lasciata = QByteArrayLiteral("Partita : 01/01/2020 10:00:00\r\n 7 \r\n");
const QByteArray Continuata = QByteArrayLiteral("Partita : 02/01/2020 10:00:00\r\n 7 \r\n 8 \r\n");
const QByteArray Nessuno = QByteArrayLiteral("<none>");

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : Nessuno;
}

bool scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size();
}

bool solaLettura(const QString &percorso, bool cartella)
{
    return QFile::setPermissions(percorso, cartella ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
}

} // namespace

Q_DECLARE_METATYPE(Registro)
Q_DECLARE_METATYPE(Utente)

// An installed prefix under a temporary folder: bin/ for the executable,
// share/tabellone/ for installed pictures, and a home with its data folder.
class TestCartelle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // The record stays in the program folder only where it can be replaced there; otherwise it
    // moves to the per-user folder (created if missing) carrying the program folder's game with
    // it, unless a game was already continued there; with nowhere to write, it says where it tried.
    void sceltaDelleCartelle_data();
    void sceltaDelleCartelle();
    // The per-user data folder is ~/.local/share/tabellone.
    void cartellaUtenteSottoLaHome();
};

void TestCartelle::initTestCase()
{
    // Permissions mean nothing to root, and CI runs as root: run as nobody, as a player would.
    if (geteuid() == 0) {
        QVERIFY2(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0,
                 "cannot leave root, so read-only folders cannot be tried");
        // Changing user makes the process undumpable, which the leak checker needs.
        prctl(PR_SET_DUMPABLE, 1);
    }
}

void TestCartelle::sceltaDelleCartelle_data()
{
    QTest::addColumn<bool>("accanto");       // pictures beside the executable
    QTest::addColumn<bool>("installate");    // pictures in ../share/tabellone
    QTest::addColumn<bool>("programmaChiuso"); // program folder read-only
    QTest::addColumn<Registro>("registro");  // a record in the program folder (Lasciata)
    QTest::addColumn<Utente>("utente");
    QTest::addColumn<bool>("continuata");    // the per-user folder already holds Continuata
    QTest::addColumn<QString>("immagini");   // "bin" or "share"
    QTest::addColumn<QString>("cartella");   // "bin", "utente" or "" (not saved)
    QTest::addColumn<QByteArray>("contenuto"); // the record there once carried over

    using R = Registro;
    using U = Utente;
    QTest::newRow("writable program folder keeps the record")
        << true << false << false << R::Nessuno << U::Esiste << false << "bin" << "bin" << Nessuno;
    QTest::newRow("writable program folder keeps its own record")
        << true << false << false << R::Scrivibile << U::Esiste << true << "bin" << "bin" << Lasciata;
    QTest::newRow("read-only program folder moves the game to the user")
        << true << false << true << R::Scrivibile << U::Esiste << false << "bin" << "utente" << Lasciata;
    QTest::newRow("read-only record in a writable folder moves to the user")
        << true << false << false << R::SolaLettura << U::Esiste << false << "bin" << "utente" << Lasciata;
    QTest::newRow("a game already continued by the user is not overwritten")
        << true << false << true << R::SolaLettura << U::Esiste << true << "bin" << "utente" << Continuata;
    QTest::newRow("read-only program folder and missing user folder: created")
        << true << false << true << R::Nessuno << U::Manca << false << "bin" << "utente" << Nessuno;
    QTest::newRow("installed: pictures from share, a stray record in bin ignored")
        << false << true << false << R::Scrivibile << U::Esiste << false << "share" << "utente" << Nessuno;
    QTest::newRow("installed: missing per-user folder is created")
        << false << true << true << R::Nessuno << U::Manca << false << "share" << "utente" << Nessuno;
    QTest::newRow("installed: per-user folder cannot be created, not saved")
        << false << true << true << R::Nessuno << U::NonCreabile << false << "share" << "" << Nessuno;
    QTest::newRow("nothing writable beside the pictures: not saved, both tried")
        << true << false << true << R::SolaLettura << U::NonCreabile << false << "bin" << "" << Nessuno;
    QTest::newRow("no pictures anywhere: looked for beside the executable")
        << false << false << false << R::Nessuno << U::Esiste << false << "bin" << "utente" << Nessuno;
}

void TestCartelle::sceltaDelleCartelle()
{
    QFETCH(bool, accanto);
    QFETCH(bool, installate);
    QFETCH(bool, programmaChiuso);
    QFETCH(Registro, registro);
    QFETCH(Utente, utente);
    QFETCH(bool, continuata);
    QFETCH(QString, immagini);
    QFETCH(QString, cartella);
    QFETCH(QByteArray, contenuto);

    QTemporaryDir radice;
    QVERIFY(radice.isValid());
    const QDir r(radice.path());
    const QString bin = r.filePath(QStringLiteral("usr/bin"));
    const QString share = r.filePath(QStringLiteral("usr/share/tabellone"));
    const QString casa = r.filePath(QStringLiteral("casa/.local/share"));
    const QString dati = casa + QStringLiteral("/tabellone");
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share) && QDir().mkpath(casa));
    if (accanto)
        QVERIFY(scriviFile(bin + QStringLiteral("/img00.gif"), "GIF89a"));
    if (installate)
        QVERIFY(scriviFile(share + QStringLiteral("/img00.gif"), "GIF89a"));
    const QString lasciata = bin + QStringLiteral("/ultima.par");
    if (registro != Registro::Nessuno)
        QVERIFY(scriviFile(lasciata, Lasciata));
    if (registro == Registro::SolaLettura)
        QVERIFY(solaLettura(lasciata, false));
    if (utente == Utente::Esiste)
        QVERIFY(QDir().mkpath(dati));
    if (continuata)
        QVERIFY(scriviFile(dati + QStringLiteral("/ultima.par"), Continuata));
    if (programmaChiuso)
        QVERIFY(solaLettura(bin, true));
    if (utente == Utente::NonCreabile)
        QVERIFY(solaLettura(casa, true));

    const Cartelle scelta = scegliCartelle(bin, dati);
    QCOMPARE(scelta.immagini, immagini == QLatin1String("bin") ? bin : share);
    const QString attesa = cartella.isEmpty() ? QString() : (cartella == QLatin1String("bin") ? bin : dati);
    QCOMPARE(scelta.registro, attesa);
    QCOMPARE(scelta.salvata(), !cartella.isEmpty());

    QVERIFY(riportaPartita(scelta).riuscita());
    if (scelta.salvata()) {
        QCOMPARE(contenutoDi(attesa + QStringLiteral("/ultima.par")), contenuto);
        // The place chosen really takes the game's writes.
        const EsitoScrittura esito = RegistroPartita(scelta.registro).aggiungi(9, QDateTime::currentDateTime());
        QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
    } else {
        // Told where it tried: the program folder only where the pictures made it one.
        const QStringList tentate = accanto ? QStringList{bin, dati} : QStringList{dati};
        QCOMPARE(scelta.tentate, tentate);
        const QString avviso = avvisoNonSalvata(scelta);
        QVERIFY(avviso.contains(QStringLiteral("NON viene salvata")));
        for (const QString &c : tentate)
            QVERIFY2(avviso.contains(QDir::toNativeSeparators(c)), qPrintable(avviso));
    }
    // The program folder's own record is never changed by the choice.
    if (registro != Registro::Nessuno)
        QCOMPARE(contenutoDi(lasciata), cartella == QLatin1String("bin") ? Lasciata + " 9 \r\n" : Lasciata);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(casa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestCartelle::cartellaUtenteSottoLaHome()
{
    QTemporaryDir casa;
    qputenv("HOME", casa.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QString::fromLatin1(NomeApplicazione));
    QCOMPARE(cartellaUtente(), casa.path() + QStringLiteral("/.local/share/tabellone"));
}

QTEST_GUILESS_MAIN(TestCartelle)
#include "test_cartelle.moc"
