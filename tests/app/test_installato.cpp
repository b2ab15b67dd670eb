// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

#include <QLabel>

// Installed, the pictures and the record live in different folders.
class TestInstallato : public QObject
{
    Q_OBJECT

private slots:
    // The start screen's label, the resume, a draw and a withdrawal all use the record folder
    // chosen at start; resuming only reads, and nothing is written beside the pictures.
    void ilRegistroStaDoveScelto()
    {
        Banco banco;
        QTemporaryDir cartellaRegistro;
        const auto registro = [&] {
            QFile file(QDir(cartellaRegistro.path()).filePath(QStringLiteral("ultima.par")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<no record>");
        };
        const QByteArray ripresa = IntestazioneVecchia + righe({42, 7});
        QFile file(QDir(cartellaRegistro.path()).filePath(QStringLiteral("ultima.par")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ripresa) == ripresa.size());
        file.close();

        banco.s = std::make_unique<frmSplash>(banco.richieste, banco.cartella.path(), cartellaRegistro.path());
        frmSplash &s = *banco.s;
        s.tabellone()->impostaOrologio(Banco::adesso);
        s.show();
        QCOMPARE(s.Lblultima->text(), QStringLiteral("Ultima partita :Partita : 01/01/2020 10:00:00"));
        QCOMPARE(differenze(*s.tabellone(), {7, 42}), QString());
        QCOMPARE(registro(), ripresa);

        bool estratto = false;
        QVERIFY(banco.avvia([&](frmTabellone *t) {
            estratto = banco.estrai(5);
            QTest::mouseClick(t->Img[42], Qt::RightButton);
            lascia(t);
        }));
        QVERIFY(estratto);
        QCOMPARE(differenze(*s.tabellone(), {5, 7}), QString());
        QCOMPARE(registro(), Intestazione + righe({5, 7}));
        QVERIFY(!QFile::exists(banco.percorso(QStringLiteral("ultima.par"))));
        // Only the withdrawal's question: no write failed.
        QCOMPARE(banco.richieste.chiesto.size(), 1);
    }
};

QTEST_MAIN(TestInstallato)
#include "test_installato.moc"
