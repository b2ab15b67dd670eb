// SPDX-License-Identifier: MIT
#include "dichiarazioni.h"
#include "ordine.h"
#include "registro.h"
#include "storia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QDateTime Sera(QDate(2026, 12, 7), QTime(21, 5, 33));

QByteArray semeDiProva(char primo)
{
    QByteArray seme(LunghezzaSeme, '\0');
    for (int i = 0; i < LunghezzaSeme; ++i)
        seme[i] = char(primo + 11 * i);
    return seme;
}

StoriaPartita partitaDiProva(char seme, bool chiusa)
{
    StoriaPartita partita;
    partita.inizio = Sera;
    partita.seme = semeDiProva(seme);
    partita.eventi = {{Evento::Tipo::Chiamata, 1, 45, Sera, Fonte::Computer},
                      {Evento::Tipo::Chiamata, 2, 12, Sera.addSecs(20), Fonte::Sacchetto},
                      {Evento::Tipo::Ritiro, 0, 12, Sera.addSecs(31), Fonte::Ignota},
                      {Evento::Tipo::Chiamata, 3, 7, Sera.addSecs(50), Fonte::Computer}};
    if (chiusa)
        partita.fine = Sera.addSecs(600);
    return partita;
}

// Every file under the folder with a digest of its bytes: what a refused run must leave as it was.
QStringList fotografia(const QString &cartella)
{
    QStringList voci;
    QDirIterator giro(cartella, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                      QDirIterator::Subdirectories);
    while (giro.hasNext()) {
        const QString percorso = giro.next();
        QFile file(percorso);
        QByteArray impronta;
        if (giro.fileInfo().isFile() && file.open(QIODevice::ReadOnly))
            impronta = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        voci.append(QDir(cartella).relativeFilePath(percorso) + QLatin1Char(' ') + QString::fromLatin1(impronta));
    }
    voci.sort();
    return voci;
}

QString testoPdf(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// The real program copied into a folder of its own with a picture beside it, so that folder
// keeps its record: a game of a record and a story (no story when storia is empty).
struct Banco {
    QTemporaryDir cartella;
    QString programma;

    bool prepara(const std::optional<Storia> &storia, const QList<int> &numeri)
    {
        const QDir dir(cartella.path());
        programma = dir.filePath(QFileInfo(QStringLiteral(PERCORSO_TABELLONE)).fileName());
        if (!QFile::copy(QStringLiteral(PERCORSO_TABELLONE), programma))
            return false;
        QFile immagine(dir.filePath(Dichiarazioni::nomeImmagine(0)));
        if (!immagine.open(QIODevice::WriteOnly) || immagine.write("GIF89a") != 6)
            return false;
        QByteArray registro = rigaIntestazione(Sera);
        for (const int n : numeri)
            registro += rigaNumero(n);
        if (!RegistroPartita(cartella.path()).sostituisci(registro).riuscita())
            return false;
        return !storia || ArchivioStoria(cartella.path()).scrivi(*storia).riuscita();
    }

    // Runs it with no display; returns its exit status, or -1 when it did not end normally.
    int esegui(const QStringList &argomenti, QString *uscita, QString *errori)
    {
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        for (const char *variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ambiente.remove(QString::fromLatin1(variabile));
        ambiente.insert(QStringLiteral("XDG_DATA_HOME"), QDir(cartella.path()).filePath(QStringLiteral("dati")));
        ambiente.insert(QStringLiteral("HOME"), cartella.path());
        QProcess processo;
        processo.setProcessEnvironment(ambiente);
        // Relative names are taken from where the program is started.
        processo.setWorkingDirectory(cartella.path());
        processo.start(programma, argomenti);
        if (!processo.waitForFinished(60000)) {
            processo.kill();
            processo.waitForFinished();
            return -1;
        }
        *uscita = QString::fromUtf8(processo.readAllStandardOutput());
        *errori = QString::fromUtf8(processo.readAllStandardError());
        return processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
    }
};

} // namespace

class TestComandoVerbale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: the minutes cannot be read back");
    }

    // `tabellone --verbale FILE` with no display: the minutes of the game in the record, read
    // from its story; the seed only once that game is closed; right after a new game, those
    // of the game it closed; a record with no story gives its numbers of unknown source.
    void scriveIlVerbale_data()
    {
        QTest::addColumn<bool>("conStoria");
        QTest::addColumn<Storia>("storia");
        QTest::addColumn<QList<int>>("numeri");     // in the record
        QTest::addColumn<QStringList>("righe");     // expected in the text, in this order
        QTest::addColumn<QByteArray>("semeVisto");  // expected in the text
        QTest::addColumn<QByteArray>("semeNascosto"); // nowhere in the text or the bytes
        Storia aperta;
        aperta.corrente = partitaDiProva(1, false);
        QTest::newRow("an open game")
            << true << aperta << QList<int>{45, 7}
            << QStringList{"Fine della partita: +partita in corso", "sarà rivelato alla chiusura",
                           "1 +45 +21:05:33 +computer", "2 +12 +21:05:53 +sacchetto",
                           "— +12 +21:06:04 +ritirato: annullata la chiamata 2", "3 +7 +21:06:23 +computer"}
            << QByteArray() << aperta.corrente.seme.toHex();
        Storia chiusa;
        chiusa.corrente = partitaDiProva(2, true);
        QTest::newRow("a closed game") << true << chiusa << QList<int>{45, 7}
                                       << QStringList{"ore 21:15:33", "python3 tools/ordine_estrazione.py",
                                                      "1 +45 +21:05:33 +computer", "3 +7 +21:06:23 +computer"}
                                       << chiusa.corrente.seme.toHex() << QByteArray();
        Storia nuova;
        nuova.precedente = partitaDiProva(3, true);
        QTest::newRow("a new game after a closed one")
            << true << nuova << QList<int>{} << QStringList{"1 +45 +21:05:33 +computer", "3 +7 +21:06:23 +computer"}
            << nuova.precedente->seme.toHex() << QByteArray();
        QTest::newRow("a record without story") << false << Storia{} << QList<int>{18, 4}
                                                << QStringList{"1 +18 +non nota +non nota", "2 +4 +non nota +non nota"}
                                                << QByteArray() << QByteArray();
    }
    void scriveIlVerbale()
    {
        QFETCH(bool, conStoria);
        QFETCH(Storia, storia);
        QFETCH(QList<int>, numeri);
        QFETCH(QStringList, righe);
        QFETCH(QByteArray, semeVisto);
        QFETCH(QByteArray, semeNascosto);
        Banco banco;
        QVERIFY(banco.prepara(conStoria ? std::optional<Storia>(storia) : std::nullopt, numeri));
        const QString pdf = QDir(banco.cartella.path()).filePath(QStringLiteral("serata/verbale.pdf"));
        QVERIFY(QDir(banco.cartella.path()).mkdir(QStringLiteral("serata")));
        QString uscita, errori;
        QCOMPARE(banco.esegui({QStringLiteral("--verbale"), pdf}, &uscita, &errori), 0);
        QVERIFY2(uscita.contains(QDir::toNativeSeparators(pdf)), qPrintable(uscita + errori));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray byte = file.readAll();
        QVERIFY(byte.startsWith("%PDF-"));
        const QString testo = testoPdf(pdf);
        qsizetype da = 0;
        for (const QString &riga : std::as_const(righe)) {
            const QRegularExpressionMatch trovata = QRegularExpression(riga).match(testo, da);
            QVERIFY2(trovata.hasMatch(), qPrintable(riga + QLatin1Char('\n') + testo));
            da = trovata.capturedEnd();
        }
        if (!semeVisto.isEmpty())
            QVERIFY2(testo.contains(QString::fromLatin1(semeVisto)), qPrintable(testo));
        if (!semeNascosto.isEmpty()) {
            QVERIFY(!testo.contains(QString::fromLatin1(semeNascosto.left(16)), Qt::CaseInsensitive));
            QVERIFY(!byte.contains(semeNascosto.left(16)) && !byte.contains(semeNascosto.left(16).toUpper()));
        }
    }

    // Bad arguments, one of the program's own files, or a file that cannot be written: an Italian
    // line on stderr, exit 2 (bad arguments) or 1, and every file as it was.
    void rifiuta_data()
    {
        QTest::addColumn<QStringList>("argomenti"); // "@" stands for the test folder
        QTest::addColumn<int>("uscita");
        QTest::addColumn<QString>("errore");
        QTest::newRow("no value") << QStringList{"--verbale"} << 2 << "dopo --verbale manca il valore.";
        QTest::newRow("an empty name") << QStringList{"--verbale="} << 2 << "il nome del file PDF è vuoto.";
        QTest::newRow("twice") << QStringList{"--verbale", "@/a.pdf", "--verbale=@/b.pdf"} << 2 << "--verbale è ripetuto.";
        QTest::newRow("another argument") << QStringList{"--verbale", "@/a.pdf", "-v"} << 2
                                          << "argomento non riconosciuto: «-v».";
        QTest::newRow("the record") << QStringList{"--verbale", "@/ultima.par"} << 2 << "(la partita registrata)";
        QTest::newRow("the record, relative") << QStringList{"--verbale=ultima.par"} << 2 << "(la partita registrata)";
        QTest::newRow("the story") << QStringList{"--verbale", "@/storia.dat"} << 2 << "(la storia della partita)";
        QTest::newRow("the lock") << QStringList{"--verbale", "@/ultima.par.lock"} << 2 << "(il blocco della partita)";
        QTest::newRow("the batch file") << QStringList{"--verbale", "@/blocchetti.dat"} << 2
                                        << "(l'archivio dei blocchetti di cartelle)";
        QTest::newRow("the executable") << QStringList{"--verbale", "@/" + QFileInfo(QStringLiteral(PERCORSO_TABELLONE)).fileName()}
                                        << 2 << "(il programma)";
        QTest::newRow("a picture") << QStringList{"--verbale", "@/img00.gif"} << 2 << "(un'immagine del tabellone)";
#ifndef Q_OS_WIN
        QTest::newRow("a link to the record") << QStringList{"--verbale", "@/collegamento.pdf"} << 2
                                              << "(la partita registrata)";
#endif
        QTest::newRow("a folder") << QStringList{"--verbale", "@"} << 1 << "è una cartella";
        QTest::newRow("no such folder") << QStringList{"--verbale", "@/manca/v.pdf"} << 1 << "impossibile creare";
    }
    void rifiuta()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, uscita);
        QFETCH(QString, errore);
        Banco banco;
        Storia storia;
        storia.corrente = partitaDiProva(4, false);
        QVERIFY(banco.prepara(storia, {45, 7}));
        const QDir dir(banco.cartella.path());
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(QStringLiteral("ultima.par"), dir.filePath(QStringLiteral("collegamento.pdf"))));
#endif
        for (QString &argomento : argomenti)
            argomento.replace(QLatin1Char('@'), banco.cartella.path());
        const QStringList prima = fotografia(banco.cartella.path());

        QString testoUscita, testoErrore;
        QCOMPARE(banco.esegui(argomenti, &testoUscita, &testoErrore), uscita);
        // Qt may warn first; the program's own line says what went wrong.
        const QStringList proprie = testoErrore.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^tabellone: ")));
        QVERIFY2(proprie.size() == 1 && proprie.constFirst().contains(errore), qPrintable(testoErrore));
        QVERIFY2(testoUscita.isEmpty(), qPrintable(testoUscita));
        // The per-user folder is made when the record's place is chosen; nothing else is new or changed.
        QCOMPARE(fotografia(banco.cartella.path()).filter(QRegularExpression(QStringLiteral("^(?!dati)"))), prima);
    }

#ifdef Q_OS_UNIX
    // In a program folder others can write to, another user's story or record is never the
    // owner's minutes: a story planted beside the owner's record is not read (its calls are of
    // unknown source, its "seed" nowhere); a planted record and story send the game to the
    // owner's own folder, whose game the minutes show; the planted record is refused as FILE.
    void fileAltruiIgnorati_data()
    {
        QTest::addColumn<bool>("registroAltrui");
        QTest::addColumn<QStringList>("righe");
        QTest::newRow("another user's story beside the owner's record")
            << false << QStringList{"1 +45 +non nota +non nota", "2 +7 +non nota +non nota"};
        QTest::newRow("another user's record and story")
            << true << QStringList{"1 +45 +21:05:33 +computer", "3 +7 +21:06:23 +computer"};
    }
    void fileAltruiIgnorati()
    {
        QFETCH(bool, registroAltrui);
        QFETCH(QStringList, righe);
        if (geteuid() != 0)
            QSKIP("needs root, to leave files of another user (nobody) in the folder");
        Banco banco;
        QVERIFY(banco.prepara(std::nullopt, {45, 7}));
        const QDir dir(banco.cartella.path());
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        Storia finta;
        finta.corrente = partitaDiProva(6, true);
        finta.corrente.eventi = {{Evento::Tipo::Chiamata, 1, 45, Sera, Fonte::Computer},
                                 {Evento::Tipo::Chiamata, 2, 7, Sera.addSecs(9), Fonte::Computer}};
        QVERIFY(ArchivioStoria(dir.path()).scrivi(finta).riuscita());
        QVERIFY(lchown(QFile::encodeName(dir.filePath(QStringLiteral("storia.dat"))).constData(), 65534, 65534) == 0);
        if (registroAltrui) {
            QVERIFY(lchown(QFile::encodeName(dir.filePath(QStringLiteral("ultima.par"))).constData(), 65534, 65534) == 0);
            const QString propria = dir.filePath(QStringLiteral("dati/tabellone"));
            QVERIFY(QDir().mkpath(propria));
            QVERIFY(QFile::setPermissions(propria, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
            Storia vera;
            vera.corrente = partitaDiProva(7, false);
            QVERIFY(ArchivioStoria(propria).scrivi(vera).riuscita());
            QVERIFY(RegistroPartita(propria).sostituisci(rigaIntestazione(Sera) + rigaNumero(45) + rigaNumero(7)).riuscita());
        }
        const QString pdf = dir.filePath(QStringLiteral("verbale.pdf"));
        QString uscita, errori;
        QCOMPARE(banco.esegui({QStringLiteral("--verbale"), pdf}, &uscita, &errori), 0);
        const QString testo = testoPdf(pdf);
        qsizetype da = 0;
        for (const QString &riga : std::as_const(righe)) {
            const QRegularExpressionMatch trovata = QRegularExpression(riga).match(testo, da);
            QVERIFY2(trovata.hasMatch(), qPrintable(riga + QLatin1Char('\n') + testo));
            da = trovata.capturedEnd();
        }
        QVERIFY2(!testo.contains(QString::fromLatin1(finta.corrente.seme.toHex().left(16))), qPrintable(testo));
        QVERIFY(!testo.contains(improntaSeme(finta.corrente.seme)));

        const QStringList prima = fotografia(dir.path());
        QCOMPARE(banco.esegui({QStringLiteral("--verbale"), dir.filePath(QStringLiteral("ultima.par"))}, &uscita, &errori), 2);
        QVERIFY2(errori.contains(QStringLiteral("(la partita registrata)")), qPrintable(errori));
        QCOMPARE(fotografia(dir.path()), prima);
    }
#endif
};

QTEST_GUILESS_MAIN(TestComandoVerbale)
#include "test_comandoverbale.moc"
