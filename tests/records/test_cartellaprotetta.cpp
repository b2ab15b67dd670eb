// SPDX-License-Identifier: MIT
#include "cartellaprotetta.h"
#include "registro.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <thread>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray Segreto = QByteArrayLiteral("chiave privata\n");
const QByteArray Partita = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n 7 \r\n");

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<illeggibile>");
}

bool scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size();
}

QStringList voci(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

#ifdef Q_OS_UNIX
int permessi(const QString &percorso)
{
    struct stat info{};
    return lstat(QFile::encodeName(percorso).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}
#endif

} // namespace

class TestCartellaProtetta : public QObject
{
    Q_OBJECT

private slots:
    // What may stand at the name of one of our files: only our own regular file,
    // with no other name, is read or replaced; anything else is told and left as it was.
    void soloIlFileProprio_data()
    {
        QTest::addColumn<QString>("cosa");
        QTest::addColumn<QString>("motivo"); // part of the refusal; empty: written
        QTest::newRow("nothing yet") << "manca" << "";
        QTest::newRow("our record") << "proprio" << "";
        QTest::newRow("a second name of a private file") << "fisico" << "più di un nome";
#ifdef Q_OS_UNIX
        QTest::newRow("a link to a private file") << "link" << "collegamento";
        QTest::newRow("a pipe") << "fifo" << "non è un file ordinario";
        QTest::newRow("a folder") << "dir" << "non è un file ordinario";
#endif
    }
    void soloIlFileProprio()
    {
        QFETCH(QString, cosa);
        QFETCH(QString, motivo);
        QTemporaryDir base, altrove;
        const QString nome = base.filePath(QStringLiteral("ultima.par"));
        const QString privato = altrove.filePath(QStringLiteral("privato"));
        QVERIFY(scriviFile(privato, Segreto));
        if (cosa == QLatin1String("proprio"))
            QVERIFY(scriviFile(nome, Partita));
        else if (cosa == QLatin1String("fisico"))
            std::filesystem::create_hard_link(privato.toStdWString(), nome.toStdWString());
#ifdef Q_OS_UNIX
        else if (cosa == QLatin1String("link"))
            QVERIFY(QFile::link(privato, nome));
        else if (cosa == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(nome).constData(), 0666), 0);
        else if (cosa == QLatin1String("dir"))
            QVERIFY(QDir().mkdir(nome));
#endif
        const CartellaProtetta cartella(base.path());
        QElapsedTimer tempo;
        tempo.start();
        const Apertura letta = cartella.apriFile(QStringLiteral("ultima.par"), false);
        chiudi(letta.descrittore);
        const EsitoScrittura esito = cartella.sostituisci(QStringLiteral("ultima.par"), "nuovo\r\n");
        QVERIFY2(tempo.elapsed() < 2000, "something waited on the pipe");
        QCOMPARE(contenutoDi(privato), Segreto);
        if (motivo.isEmpty()) {
            QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
            QCOMPARE(contenutoDi(nome), QByteArray("nuovo\r\n"));
        } else {
            QVERIFY2(!esito.riuscita() && esito.errore.contains(motivo), qPrintable(esito.errore));
            QCOMPARE(letta.descrittore, -1);
            QVERIFY(estranea(letta.natura));
        }
        // Nothing left behind, whatever happened.
        QCOMPARE(voci(base.path()), QStringList{QStringLiteral("ultima.par")});
    }

#ifdef Q_OS_UNIX
    // A new file is its owner's alone; an existing one of ours keeps the permissions it was given.
    void permessiDelFile()
    {
        QTemporaryDir base;
        const CartellaProtetta cartella(base.path());
        QVERIFY(cartella.sostituisci(QStringLiteral("nuovo"), "x").riuscita());
        QCOMPARE(permessi(base.filePath(QStringLiteral("nuovo"))), 0600);
        QVERIFY(scriviFile(base.filePath(QStringLiteral("vecchio")), "x")
                && chmod(QFile::encodeName(base.filePath(QStringLiteral("vecchio"))).constData(), 0640) == 0);
        QVERIFY(cartella.sostituisci(QStringLiteral("vecchio"), "y").riuscita());
        QCOMPARE(permessi(base.filePath(QStringLiteral("vecchio"))), 0640);
    }

    // Someone swaps the record with a link to a private file, over and over, while
    // the board draws: no draw may ever land in the private file.
    void scambioConUnCollegamentoDuranteLeScritture()
    {
        QTemporaryDir base, altrove;
        const QString nome = base.filePath(QStringLiteral("ultima.par"));
        const QString esca = base.filePath(QStringLiteral("esca"));
        const QString privato = altrove.filePath(QStringLiteral("privato"));
        QVERIFY(scriviFile(privato, Segreto) && chmod(QFile::encodeName(privato).constData(), 0600) == 0);
        QVERIFY(scriviFile(nome, Partita) && QFile::link(privato, esca));
        const RegistroPartita registro(base.path());
        std::atomic<bool> fine{false};
        std::atomic<int> scambi{0};
        std::thread avversario([&] {
            const QByteArray a = QFile::encodeName(nome), b = QFile::encodeName(esca);
            while (!fine) {
                if (renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0)
                    ++scambi;
            }
        });
        TabellaEstratti estratti{};
        int salvate = 0;
        for (int giro = 0; giro < 400; ++giro) {
            const int n = giro % 90 + 1;
            estratti[std::size_t(n)] = -1;
            salvate += registro.aggiungi(n, estratti, QDateTime(QDate(2026, 12, 6), QTime(21, 5))).riuscita();
        }
        fine = true;
        avversario.join();
        qInfo("%d swaps, %d of 400 writes saved", scambi.load(), salvate);
        QVERIFY(scambi > 100);
        QVERIFY(salvate > 0);
        QCOMPARE(contenutoDi(privato), Segreto);
        QCOMPARE(permessi(privato), 0600);
    }
#endif

    // A folder pulled out from under the board (a stick, its mount point left
    // empty) is never written in its place: the write is refused with the reason.
    void cartellaCambiataNonSiScrive()
    {
        QTemporaryDir base;
        const QString cartella = base.filePath(QStringLiteral("chiavetta"));
        QVERIFY(QDir().mkpath(cartella));
        const RegistroPartita registro(cartella);
        TabellaEstratti estratti{};
        estratti[7] = -1;
        QVERIFY(registro.aggiungi(7, estratti, QDateTime::currentDateTime()).riuscita());
        QVERIFY(QDir(base.path()).rename(QStringLiteral("chiavetta"), QStringLiteral("tolta")));
        QVERIFY(QDir().mkpath(cartella));
        estratti[8] = -1;
        const EsitoScrittura esito = registro.aggiungi(8, estratti, QDateTime::currentDateTime());
        QVERIFY2(!esito.riuscita() && esito.errore.contains(u"non è più quella aperta"), qPrintable(esito.errore));
        QCOMPARE(voci(cartella), QStringList());
        // Back in place, the same folder takes the writes again.
        QVERIFY(QDir(cartella).removeRecursively() && QDir(base.path()).rename(QStringLiteral("tolta"), QStringLiteral("chiavetta")));
        QVERIFY(registro.riscrivi(estratti, QDateTime::currentDateTime()).riuscita());
        QCOMPARE(registro.leggi().numeri, (QList<int>{7, 8}));
    }
};

QTEST_GUILESS_MAIN(TestCartellaProtetta)
#include "test_cartellaprotetta.moc"
