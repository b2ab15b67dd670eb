// SPDX-License-Identifier: MIT
#include "cartelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    void initTestCase()
    {
        // Permissions mean nothing to root, and CI runs as root: run as nobody, as a player would.
        if (geteuid() == 0) {
            QVERIFY2(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0,
                     "cannot leave root, so read-only folders cannot be tried");
            // Changing user makes the process undumpable, which the leak checker needs.
            prctl(PR_SET_DUMPABLE, 1);
        }
    }

    // The record stays in the program folder only where it can be replaced there; otherwise it
    // moves to the per-user folder (created if missing) carrying the program folder's game with
    // it, unless a game was already continued there; with nowhere to write, it says where it tried.
    void sceltaDelleCartelle_data()
    {
        QTest::addColumn<QString>("poste");        // pictures in "bin", in "share" (../share/tabellone) or nowhere
        QTest::addColumn<bool>("programmaChiuso"); // program folder read-only
        QTest::addColumn<Registro>("registro");    // a record in the program folder (Lasciata)
        QTest::addColumn<Utente>("utente");
        QTest::addColumn<bool>("continuata");      // the per-user folder already holds Continuata
        QTest::addColumn<QString>("immagini");     // "bin" or "share"
        QTest::addColumn<QString>("cartella");     // "bin", "utente" or "" (not saved)
        QTest::addColumn<QByteArray>("contenuto"); // the record there once carried over

        using R = Registro;
        using U = Utente;
        QTest::newRow("writable program folder keeps its own record")
            << "bin" << false << R::Scrivibile << U::Esiste << true << "bin" << "bin" << Lasciata;
        QTest::newRow("read-only program folder moves the game to the user")
            << "bin" << true << R::Scrivibile << U::Esiste << false << "bin" << "utente" << Lasciata;
        QTest::newRow("read-only record in a writable folder moves to the user")
            << "bin" << false << R::SolaLettura << U::Esiste << false << "bin" << "utente" << Lasciata;
        QTest::newRow("a game already continued by the user is not overwritten")
            << "bin" << true << R::SolaLettura << U::Esiste << true << "bin" << "utente" << Continuata;
        QTest::newRow("installed: pictures from share, a stray record in bin ignored")
            << "share" << false << R::Scrivibile << U::Esiste << false << "share" << "utente" << Nessuno;
        QTest::newRow("installed: missing per-user folder is created")
            << "share" << true << R::Nessuno << U::Manca << false << "share" << "utente" << Nessuno;
        QTest::newRow("installed: per-user folder cannot be created, not saved")
            << "share" << true << R::Nessuno << U::NonCreabile << false << "share" << "" << Nessuno;
        QTest::newRow("nothing writable beside the pictures: not saved, both tried")
            << "bin" << true << R::SolaLettura << U::NonCreabile << false << "bin" << "" << Nessuno;
        QTest::newRow("no pictures anywhere: looked for beside the executable")
            << "" << false << R::Nessuno << U::Esiste << false << "bin" << "utente" << Nessuno;
    }
    void sceltaDelleCartelle()
    {
        QFETCH(QString, poste);
        QFETCH(bool, programmaChiuso);
        QFETCH(Registro, registro);
        QFETCH(Utente, utente);
        QFETCH(bool, continuata);
        QFETCH(QString, immagini);
        QFETCH(QString, cartella);
        QTemporaryDir radice;
        const QDir r(radice.path());
        const QString bin = r.filePath(QStringLiteral("usr/bin"));
        const QString share = r.filePath(QStringLiteral("usr/share/tabellone"));
        const QString casa = r.filePath(QStringLiteral("casa/.local/share"));
        const QString dati = casa + QStringLiteral("/tabellone");
        const QString lasciata = bin + QStringLiteral("/ultima.par");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share) && QDir().mkpath(casa));
        if (!poste.isEmpty())
            QVERIFY(scriviFile((poste == QLatin1String("bin") ? bin : share) + QStringLiteral("/img00.gif"), "GIF89a"));
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
            QTEST(contenutoDi(attesa + QStringLiteral("/ultima.par")), "contenuto");
            // The place chosen really takes the game's writes.
            const EsitoScrittura esito = RegistroPartita(scelta.registro).aggiungi(9, QDateTime::currentDateTime());
            QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        } else {
            // Told where it tried: the program folder only where the pictures made it one.
            const QStringList tentate = poste == QLatin1String("bin") ? QStringList{bin, dati} : QStringList{dati};
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

    // The per-user data folder is ~/.local/share/tabellone.
    void cartellaUtenteSottoLaHome()
    {
        QTemporaryDir casa;
        qputenv("HOME", casa.path().toUtf8());
        qunsetenv("XDG_DATA_HOME");
        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QString::fromLatin1(NomeApplicazione));
        QCOMPARE(cartellaUtente(), casa.path() + QStringLiteral("/.local/share/tabellone"));
    }
};

QTEST_GUILESS_MAIN(TestCartelle)
#include "test_cartelle.moc"
