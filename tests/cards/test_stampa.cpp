// SPDX-License-Identifier: MIT
#include "blocchetto.h"
#include "stampa.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The PDF's text as pdftotext lays it out, one entry a page; empty when the tool is missing.
QStringList pagine(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QStringList testo = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!testo.isEmpty() && testo.constLast().trimmed().isEmpty())
        testo.removeLast();
    return testo;
}

QByteArray contenuto(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

class TestStampa : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: the printed text cannot be read back");
    }

    // One page a series, six cards a page in order: on each, the title, "Serie s", "Cartella k" and
    // the batch code on one line, then its three rows with exactly the card's numbers, each
    // under its column.
    void ogniCartellaAlSuoPosto_data()
    {
        QTest::addColumn<int>("serie");
        QTest::addColumn<int>("prima"); // the batch's first card
        QTest::newRow("one series") << 1 << 1;
        QTest::newRow("three series") << 3 << 1;
        QTest::newRow("two series after a batch of ten") << 2 << 61;
    }
    void ogniCartellaAlSuoPosto()
    {
        QFETCH(int, serie);
        QFETCH(int, prima);
        QTemporaryDir cartella;
        const Blocchetto blocchetto = blocchettoDaSeme(0x5eed0000u + serie, serie, QDate(2026, 12, 24), prima);
        const QString pdf = cartella.filePath(nomePdf(blocchetto));
        QCOMPARE(QFileInfo(pdf).fileName(), QStringLiteral("Cartelle tombola %1.pdf").arg(blocchetto.codice));
        QVERIFY(scriviPdf(blocchetto, pdf).riuscita());
        const QStringList testo = pagine(pdf);
        QCOMPARE(testo.size(), serie);
        const int primaSerie = (prima - 1) / CartellePerSerie;
        for (int s = 1; s <= serie; ++s) {
            const QStringList righe = testo.at(s - 1).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            int riga = 0;
            for (int k = prima + (s - 1) * CartellePerSerie; k < prima + s * CartellePerSerie; ++k) {
                const QRegularExpression intestazione(
                    QStringLiteral("^\\s*Tabellone Tombola\\s+Serie %1\\s+Cartella %2\\s+%3\\s*$")
                        .arg(primaSerie + s)
                        .arg(k)
                        .arg(blocchetto.codice));
                while (riga < righe.size() && !intestazione.match(righe.at(riga)).hasMatch())
                    ++riga;
                QVERIFY2(riga + RigheCartella < righe.size(), qPrintable(QStringLiteral("card %1 not found").arg(k)));
                const Cartella cartellaAttesa = blocchetto.cartella(k);
                for (int r = 0; r < RigheCartella; ++r) {
                    const QString linea = righe.at(riga + 1 + r);
                    QList<int> letti, attesi;
                    for (const QString &parola : linea.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                        letti << parola.toInt();
                    for (const auto n : cartellaAttesa.righe[r])
                        if (n)
                            attesi << n;
                    QCOMPARE(letti, attesi);
                }
                // Columns: numbers of one column stand one above the other, and a column further right
                // stands further right on every row.
                QList<std::pair<int, double>> posti; // column, centre in characters
                for (int r = 0; r < RigheCartella; ++r) {
                    const QString linea = righe.at(riga + 1 + r);
                    for (int c = 0; c < ColonneCartella; ++c) {
                        if (const int n = cartellaAttesa.righe[r][c]) {
                            const QRegularExpressionMatch trovato =
                                QRegularExpression(QStringLiteral("\\b%1\\b").arg(n)).match(linea);
                            posti.append({c, trovato.capturedStart() + trovato.capturedLength() / 2.0});
                        }
                    }
                }
                for (const auto &[c1, x1] : posti)
                    for (const auto &[c2, x2] : posti)
                        QVERIFY2(c1 == c2 ? std::abs(x1 - x2) <= 1 : (c1 < c2) == (x1 < x2),
                                 qPrintable(QStringLiteral("card %1: columns %2 and %3 at %4 and %5")
                                                .arg(k).arg(c1).arg(c2).arg(x1).arg(x2)));
                riga += 1 + RigheCartella;
            }
        }
    }

    // Nothing is drawn within 6 mm of the paper's edge, cutting lines included, on the first
    // page and the last: read back as the page prints, every pixel of that band is white.
    void margineStampabile()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed: the page cannot be drawn back");
        QTemporaryDir cartella;
        const QString pdf = cartella.filePath(QStringLiteral("margini.pdf"));
        QVERIFY(scriviPdf(blocchettoDaSeme(0x3a26, 3, QDate(2026, 12, 24), 2989), pdf).riuscita());
        constexpr int Punti = 100; // per inch
        constexpr double Banda = 6.0 / 25.4 * Punti;
        for (const int pagina : {1, 3}) {
            QProcess pdftoppm;
            const QString radice = cartella.filePath(QStringLiteral("pagina%1").arg(pagina));
            pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-r"),
                                                        QString::number(Punti), QStringLiteral("-f"), QString::number(pagina),
                                                        QStringLiteral("-singlefile"), QStringLiteral("-l"),
                                                        QString::number(pagina), pdf, radice});
            QVERIFY(pdftoppm.waitForFinished(60000) && pdftoppm.exitCode() == 0);
            const QImage immagine(radice + QStringLiteral(".png"));
            // A4 at that resolution.
            QVERIFY(qAbs(immagine.width() - 827) <= 1 && qAbs(immagine.height() - 1169) <= 1);
            int neri = 0, fuori = 0;
            QString primo;
            for (int y = 0; y < immagine.height(); ++y) {
                for (int x = 0; x < immagine.width(); ++x) {
                    if (qGray(immagine.pixel(x, y)) > 250)
                        continue;
                    ++neri;
                    const bool nellaBanda = x < Banda || y < Banda || x >= immagine.width() - Banda
                                            || y >= immagine.height() - Banda;
                    if (nellaBanda && fuori++ == 0)
                        primo = QStringLiteral("%1,%2").arg(x).arg(y);
                }
            }
            QVERIFY(neri > 10000); // the cards are there
            QVERIFY2(fuori == 0, qPrintable(QStringLiteral("page %1: %2 pixels drawn in the margin, the first at %3")
                                                .arg(pagina).arg(fuori).arg(primo)));
        }
    }

    // Batches made one after another are numbered on: the second starts after the first's last
    // card, and its PDF prints those numbers. A batch file that is something else is left alone,
    // and the message says once that the batch was not kept.
    void stampeInFila()
    {
        QTemporaryDir cartella;
        const StampaFatta prima = stampaCartelle(2, cartella.path(), cartella.filePath(QStringLiteral("a.pdf")));
        QCOMPARE(prima.errore, QString());
        QCOMPARE(prima.blocchetto.primaCartella, 1);
        const StampaFatta seconda = stampaCartelle(1, cartella.path(), cartella.filePath(QStringLiteral("b.pdf")));
        QCOMPARE(seconda.errore, QString());
        QCOMPARE(seconda.blocchetto.primaCartella, 13);
        const QStringList testo = pagine(seconda.pdf);
        QCOMPARE(testo.size(), 1);
        QVERIFY2(testo.constFirst().contains(QRegularExpression(QStringLiteral("Serie 3\\s+Cartella 13\\s")))
                     && testo.constFirst().contains(QRegularExpression(QStringLiteral("Serie 3\\s+Cartella 18\\s"))),
                 qPrintable(testo.constFirst()));

        const QString archivio = cartella.filePath(QStringLiteral("blocchetti.dat"));
        QVERIFY(QFile::remove(archivio));
        QFile appunti(archivio);
        QVERIFY(appunti.open(QIODevice::WriteOnly) && appunti.write("appunti\r\n") == 9);
        appunti.close();
        const QString pdf = cartella.filePath(QStringLiteral("c.pdf"));
        const StampaFatta rifiutata = stampaCartelle(1, cartella.path(), pdf);
        QCOMPARE(rifiutata.errore, QStringLiteral("il file %1 non è un elenco di blocchetti di questo programma: il "
                                                  "blocchetto non è stato registrato. Spostalo o rinominalo e riprova")
                                       .arg(QDir::toNativeSeparators(archivio)));
        QVERIFY(!QFileInfo::exists(pdf));
        QCOMPARE(contenuto(archivio), QByteArray("appunti\r\n"));
    }

    // A PDF that cannot be written, or whose batch cannot be kept, leaves no file, or the one that
    // was there, untouched.
    void nessunFileSeNonRiesce_data()
    {
        QTest::addColumn<QString>("nome");     // inside the test folder
        QTest::addColumn<QString>("errore");   // what the batch's write says; empty: it succeeds
        QTest::addColumn<QString>("messaggio"); // part of the error
        QTest::newRow("no such folder") << "manca/cartelle.pdf" << "" << "impossibile creare";
        QTest::newRow("a folder by that name") << "cartella" << "" << "è una cartella";
        QTest::newRow("the batch not kept, an old file there") << "vecchio.pdf" << "disco pieno" << "disco pieno";
    }
    void nessunFileSeNonRiesce()
    {
        QFETCH(QString, nome);
        QFETCH(QString, errore);
        QFETCH(QString, messaggio);
        QTemporaryDir cartella;
        QVERIFY(QDir(cartella.path()).mkdir(QStringLiteral("cartella")));
        const QString percorso = cartella.filePath(nome);
        QFile vecchio(cartella.filePath(QStringLiteral("vecchio.pdf")));
        QVERIFY(vecchio.open(QIODevice::WriteOnly) && vecchio.write("vecchio") == 7);
        vecchio.close();
        const QStringList prima = QDir(cartella.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const EsitoScrittura esito = scriviPdf(blocchettoDaSeme(7, 1, QDate(2026, 12, 24)), percorso,
                                               [&] { return EsitoScrittura{errore}; });
        QVERIFY(!esito.riuscita());
        QVERIFY2(esito.errore.contains(messaggio), qPrintable(esito.errore));
        QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), prima);
        QCOMPARE(contenuto(vecchio.fileName()), QByteArray("vecchio"));
    }
};

QTEST_MAIN(TestStampa)
#include "test_stampa.moc"
