// SPDX-License-Identifier: MIT
#include "prova_finestre.h"

#include <QLabel>

// Installed, the pictures and the record live in different folders.
class TestInstallato : public QObject
{
    Q_OBJECT

private slots:
    // The start screen's label, the resume, a draw and a withdrawal all use the record folder
    // chosen at start; nothing is written beside the pictures.
    void ilRegistroStaDoveScelto();
};

void TestInstallato::ilRegistroStaDoveScelto()
{
    Banco banco;
    QTemporaryDir cartellaRegistro;
    const QString registro = QDir(cartellaRegistro.path()).filePath(QStringLiteral("ultima.par"));
    QFile file(registro);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(IntestazioneVecchia + righe({42, 7})) > 0);
    file.close();

    banco.s = std::make_unique<frmSplash>(banco.richieste, banco.cartella.path(), cartellaRegistro.path());
    frmSplash &s = *banco.s;
    s.tabellone()->impostaOrologio(Banco::adesso);
    s.show();
    QCOMPARE(s.Lblultima->text(), QStringLiteral("Ultima partita :") + QString::fromLatin1(IntestazioneVecchia.chopped(2)));
    QCOMPARE(differenze(*s.tabellone(), {7, 42}), QString());

    bool estratto = false;
    QVERIFY(banco.avvia([&](frmTabellone *t) {
        estratto = banco.estrai(5);
        QTest::mouseClick(t->Img[42], Qt::RightButton);
        lascia(t);
    }));
    QVERIFY(estratto);
    QCOMPARE(differenze(*s.tabellone(), {5, 7}), QString());
    QFile scritto(registro);
    QVERIFY(scritto.open(QIODevice::ReadOnly));
    QCOMPARE(scritto.readAll(), Intestazione + righe({5, 7}));
    QVERIFY(!QFile::exists(banco.percorso(QStringLiteral("ultima.par"))));
    // Only the withdrawal's question: no write failed.
    QCOMPARE(banco.richieste.chiesto.size(), 1);
}

QTEST_MAIN(TestInstallato)
#include "test_installato.moc"
