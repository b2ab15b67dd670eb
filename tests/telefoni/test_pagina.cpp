// SPDX-License-Identifier: MIT
// The phones' page in a real browser: headless Chromium driven by
// prova_pagina.py (Selenium), against the real server on loopback only.
#include "servertelefoni.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray Cartella = R"({"codice":"K3M9QX-67","numeri":[[7,21,33,50,64],[2,13,35,58,80],[9,19,44,66,88]]})";

std::unique_ptr<ServerTelefoni> nuovoServer(quint16 porta)
{
    QFile pagina(QStringLiteral(":/telefoni/pagina.html"));
    if (!pagina.open(QIODevice::ReadOnly))
        return nullptr;
    auto server = std::make_unique<ServerTelefoni>(pagina.readAll(), [](const QString &codice) -> std::optional<QByteArray> {
        if (codice.compare(QLatin1String("K3M9QX-67"), Qt::CaseInsensitive) == 0)
            return Cartella;
        return std::nullopt;
    });
    if (!server->avvia(QHostAddress::LocalHost, porta))
        return nullptr;
    return server;
}

} // namespace

class TestPagina : public QObject
{
    Q_OBJECT

private slots:
    void nelBrowser()
    {
        for (const char *serve : {"/usr/bin/chromium", "/usr/bin/chromedriver"})
            if (!QFile::exists(QLatin1String(serve)))
                QSKIP("Chromium and its driver are not installed (chromium, chromium-driver)");
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import selenium")}) != 0)
            QSKIP("Selenium for Python is not installed (python3-selenium)");

        auto server = nuovoServer(0);
        QVERIFY(server);
        const quint16 porta = server->porta();
        server->pubblica(R"({"seq":1,"numeri":[7],"ultimo":7,"commento":"commento 7","ultimi":[7],"chiamate":1,)"
                         R"("impronta":"","chiusa":false,"programma":false,"aperte":[],"premi":[]})");
        QTemporaryDir profilo;
        QVERIFY(profilo.isValid());

        QProcess prova;
        prova.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QByteArray uscita;
        QString errore;
        connect(&prova, &QProcess::readyReadStandardOutput, this, [&] {
            uscita += prova.readAllStandardOutput();
            qsizetype fine;
            while ((fine = uscita.indexOf('\n')) >= 0) {
                const QByteArray riga = uscita.left(fine);
                uscita.remove(0, fine + 1);
                if (riga.startsWith("PUBBLICA ")) {
                    server->pubblica(riga.mid(9));
                } else if (riga.startsWith("RIAVVIA ")) {
                    // A server-side disconnection: every phone loses its connection.
                    server.reset();
                    server = nuovoServer(porta);
                    if (!server) {
                        errore = QStringLiteral("the server could not listen again on its port");
                        prova.kill();
                        return;
                    }
                    server->pubblica(riga.mid(8));
                } else {
                    continue;
                }
                prova.write("fatto\n");
            }
        });
        QStringList argomenti{QStringLiteral(SORGENTE_PROVA), QStringLiteral("http://127.0.0.1:%1/").arg(porta),
                              profilo.path()};
        const QByteArray schermata = qgetenv("TABELLONE_SCHERMATA_TELEFONO");
        if (!schermata.isEmpty())
            argomenti.append(QString::fromLocal8Bit(schermata));
        prova.start(QStringLiteral("/usr/bin/python3"), argomenti);
        QVERIFY(prova.waitForStarted());
        const auto fine = qScopeGuard([&] {
            // Whatever happened, the script (and with it its browser) ends here, by its id.
            if (prova.state() != QProcess::NotRunning) {
                prova.kill();
                prova.waitForFinished(5000);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(prova.state() == QProcess::NotRunning, 120000);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
        QCOMPARE(prova.exitStatus(), QProcess::NormalExit);
        QCOMPARE(prova.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPagina)
#include "test_pagina.moc"
