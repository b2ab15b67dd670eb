// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryFile>

#include <map>
#include <memory>
#include <unistd.h>

namespace {

const QString Cartella = QStringLiteral(CARTELLA_IMMAGINI);

// One step on a set of controls: {control, number, width, height}.
using Passi = QList<QList<int>>;

// Cells da..a at one width loading one number or, numero < 0, their own.
Passi celle(int da, int a, int numero, int larghezza = 100)
{
    Passi passi;
    for (int n = da; n <= a; ++n)
        passi << QList<int>{n, numero < 0 ? n : numero, larghezza, 80};
    return passi;
}

// Everything written to stderr while it runs.
QByteArray erroriDi(const std::function<void()> &azione)
{
    QTemporaryFile file;
    if (!file.open())
        return "<no temporary file>";
    std::fflush(stderr);
    const int salvato = dup(2);
    dup2(file.handle(), 2);
    azione();
    std::fflush(stderr);
    dup2(salvato, 2);
    close(salvato);
    file.seek(0);
    return file.readAll();
}

} // namespace

class TestImmagine : public QObject
{
    Q_OBJECT

private slots:
    // Controls showing one file at one size share one scaled picture, decoded
    // once, shown stretched and smooth; a picture no control shows any longer
    // is freed, and so is every picture once its controls are gone.
    void immaginiDecodificateUnaVoltaECondivise_data()
    {
        QTest::addColumn<Passi>("passi");
        QTest::addColumn<int>("decodificheMassime");
        QTest::addColumn<int>("inUso"); // scaled pictures held at the end
        QTest::newRow("ninety cells of two sizes loading the blank picture")
            << celle(1, 45, 0) + celle(46, 90, 0, 101) << 1 << 2;
        QTest::newRow("a full board holds one picture per number; blanking it gives them back")
            << celle(1, 90, -1) + celle(1, 90, 0) << 91 << 1;
        QTest::newRow("a resized control scales again and lets the old size go")
            << Passi{{1, 5, 100, 80}, {2, 5, 100, 80}, {1, 5, 120, 90}, {2, 5, 120, 90}} << 1 << 1;
    }
    void immaginiDecodificateUnaVoltaECondivise()
    {
        QFETCH(Passi, passi);
        QFETCH(int, decodificheMassime);
        QFETCH(int, inUso);
        std::map<int, std::unique_ptr<Immagine>> controlli;
        const int prima = decodificheImmagini();
        QCOMPARE(immaginiScalateInUso(), 0);
        for (const QList<int> &passo : passi) {
            auto &controllo = controlli[passo[0]];
            if (!controllo)
                controllo = std::make_unique<Immagine>(passo[0]);
            controllo->resize(passo[2], passo[3]);
            controllo->carica(Cartella, passo[1]);
            QImage atteso(passo[2], passo[3], QImage::Format_RGB32);
            QPainter p(&atteso);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(atteso.rect(), QImage(QDir(Cartella).filePath(nomeImmagine(passo[1]))));
            p.end();
            QVERIFY2(controllo->grab().toImage().convertToFormat(QImage::Format_RGB32) == atteso,
                     qPrintable(nomeImmagine(passo[1])));
        }
        QVERIFY2(decodificheImmagini() - prima <= decodificheMassime,
                 qPrintable(QString::number(decodificheImmagini() - prima)));
        QCOMPARE(immaginiScalateInUso(), inUso);
        controlli.clear();
        QCOMPARE(immaginiScalateInUso(), 0);
    }

    // A missing picture still shows a drawn tile of its number, and is told
    // on stderr once however many controls load it.
    void immagineMancanteDaTesseraEUnaRiga()
    {
        QTemporaryDir vuota;
        QList<QImage> mostrate;
        const QByteArray errori = erroriDi([&] {
            for (const int larghezza : {90, 300}) {
                Immagine controllo(1);
                controllo.resize(larghezza, 80);
                controllo.carica(vuota.path(), 33);
                mostrate << controllo.grab().toImage();
            }
        });
        QCOMPARE(errori.count('\n'), 1);
        QVERIFY2(errori.contains("img33.gif"), errori.constData());
        for (const QImage &immagine : mostrate) {
            // The tile: a light ground with a red frame and the number.
            QVERIFY(immagine.pixelColor(immagine.width() / 2, 2) != immagine.pixelColor(immagine.width() / 2, 10)
                    || immagine.pixelColor(2, 2) != immagine.pixelColor(immagine.width() / 2, immagine.height() / 2));
        }
    }

    // The input box takes at most 1,000 characters, however many are typed.
    void immissioneAlPiuMilleCaratteri()
    {
        RichiesteQt richieste;
        QString risposta;
        QVERIFY(allaModale<QInputDialog>(
            [&] { risposta = richieste.immissione(nullptr, QStringLiteral("Domanda"), QStringLiteral("Messaggi"), {}); },
            [&](QInputDialog *box) {
                QCOMPARE(box->windowTitle(), QStringLiteral("Messaggi"));
                QTest::keyClicks(box->findChild<QLineEdit *>(), QString(1200, u'a'));
                box->accept();
            }));
        QCOMPARE(risposta, QString(1000, u'a'));
    }
};

QTEST_MAIN(TestImmagine)
#include "test_immagine.moc"
