// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryFile>

#include <map>
#include <memory>
#include <unistd.h>

class TestImmagine : public QObject
{
    Q_OBJECT

private slots:
    // Controls showing one file at one size share one scaled picture, decoded once, shown stretched
    // and smooth; a picture no control shows any longer is freed, and so is every picture once its
    // controls are gone.
    void immaginiDecodificateUnaVoltaECondivise()
    {
        const QString cartella = QStringLiteral(CARTELLA_IMMAGINI);
        std::map<int, std::unique_ptr<Immagine>> controlli;
        const int prima = decodificheImmagini();
        // {control, number, width, scaled pictures held after it}
        const QList<QList<int>> passi = {{1, 5, 100, 1}, {2, 5, 100, 1}, {3, 5, 120, 2}, {3, 5, 100, 1},
                                         {1, 0, 100, 2}, {2, 0, 100, 2}, {3, 0, 100, 1}};
        for (const QList<int> &passo : passi) {
            auto &controllo = controlli[passo[0]];
            if (!controllo)
                controllo = std::make_unique<Immagine>(passo[0]);
            controllo->resize(passo[2], 80);
            controllo->carica(cartella, passo[1]);
            QImage atteso(passo[2], 80, QImage::Format_RGB32);
            QPainter p(&atteso);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(atteso.rect(), QImage(QDir(cartella).filePath(nomeImmagine(passo[1]))));
            p.end();
            QVERIFY(controllo->grab().toImage().convertToFormat(QImage::Format_RGB32) == atteso);
            QCOMPARE(immaginiScalateInUso(), passo[3]);
        }
        QCOMPARE(decodificheImmagini() - prima, 2);
        controlli.clear();
        QCOMPARE(immaginiScalateInUso(), 0);
    }

    // A missing picture still shows a drawn tile of its number, and is told on stderr once, even
    // when it is decoded again after others pushed it out of the recent ones.
    void immagineMancanteDaTesseraEUnaRiga()
    {
        QTemporaryDir vuota;
        QTemporaryFile errori;
        QVERIFY(errori.open());
        QList<QImage> mostrate;
        std::fflush(stderr);
        const int salvato = dup(2);
        dup2(errori.handle(), 2);
        for (const int numero : {33, 34, 35, 33}) {
            Immagine controllo(1);
            controllo.resize(90, 80);
            controllo.carica(vuota.path(), numero);
            mostrate << controllo.grab().toImage();
        }
        std::fflush(stderr);
        dup2(salvato, 2);
        close(salvato);
        errori.seek(0);
        const QByteArray righe = errori.readAll();
        QVERIFY2(righe.count('\n') == 3 && righe.count("img33.gif") == 1, righe.constData());
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
