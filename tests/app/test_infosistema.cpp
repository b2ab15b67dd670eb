// SPDX-License-Identifier: MIT
#include "infosistema.h"
#include "testi.h"

#include <QMap>
#include <QTest>

namespace {

// A registry held in memory: key path -> value name -> (type, bytes).
class RegistroFinto final : public AccessoRegistro
{
public:
    struct Valore {
        quint32 tipo;
        QByteArray dati;
    };
    QMap<QByteArray, QMap<QByteArray, Valore>> chiavi;
    QList<QByteArray> aperte;
    int chiuse = 0;
    quint32 accessoRichiesto = 0;

    std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32 accesso) override
    {
        accessoRichiesto = accesso;
        if (radice != ChiaveLocalMachine || !chiavi.contains(percorso))
            return std::nullopt;
        aperte.append(percorso);
        return static_cast<Chiave>(aperte.size());
    }

    bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati,
                   quint32 &dimensione) override
    {
        const auto &valori = chiavi[aperte.at(int(chiave) - 1)];
        if (!valori.contains(nome))
            return false;
        const Valore &v = valori[nome];
        if (quint32(v.dati.size()) > dimensione)
            return false;
        std::copy(v.dati.begin(), v.dati.end(), dati.begin());
        tipo = v.tipo;
        dimensione = quint32(v.dati.size());
        return true;
    }

    void chiudi(Chiave) override { ++chiuse; }
};

const QByteArray ChiaveMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray ChiavePosizione = "SOFTWARE\\Microsoft\\Shared Tools Location";

} // namespace

class TestInfoSistema : public QObject
{
    Q_OBJECT

private slots:
    // A text value comes back cut at the size read, without its final NUL.
    void valoreLettoSecondoIlTipo_data();
    void valoreLettoSecondoIlTipo();

    // Missing key or missing value: false, an emptied result, and the key closed.
    void valoreMancanteSvuotaIlRisultato_data();
    void valoreMancanteSvuotaIlRisultato();

    // The tool is looked up first under MSINFO\PATH, then in the tools folder.
    void percorsoDelloStrumento_data();
    void percorsoDelloStrumento();

    // Without a registry (any platform but Windows) the tool is never started.
    void senzaRegistroNonParteNulla();

    // A tool that fails to start counts as not available.
    void avvioFallitoEQuantoNonDisponibile();

    // The legal line, a blank line and seven key lines, each key line with a leading blank.
    void avvertenzeEGuidaAiTasti();
};

void TestInfoSistema::valoreLettoSecondoIlTipo_data()
{
    QTest::addColumn<quint32>("tipo");
    QTest::addColumn<QByteArray>("dati");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("text with NUL") << TipoTesto << QByteArray("C:\\Tools\\msinfo32.exe", 22) << "C:\\Tools\\msinfo32.exe";
    QTest::newRow("text without NUL") << TipoTesto << QByteArray("C:\\X") << "C:\\X";
    QTest::newRow("text with inner NUL keeps it") << TipoTesto << QByteArray("A\0B\0", 4) << QString::fromLatin1("A\0B", 3);
    QTest::newRow("32-bit number") << TipoNumero32 << QByteArray("\x2a\x01\x00\x00", 4) << "298";
    QTest::newRow("other type leaves the result") << quint32(3) << QByteArray("\x01\x02", 2) << "prima";
}

void TestInfoSistema::valoreLettoSecondoIlTipo()
{
    QFETCH(quint32, tipo);
    QFETCH(QByteArray, dati);
    QFETCH(QString, atteso);
    RegistroFinto registro;
    registro.chiavi[ChiaveMsinfo]["PATH"] = {tipo, dati};
    QString risultato = QStringLiteral("prima");
    QVERIFY(GetKeyValue(registro, ChiaveLocalMachine, QString::fromLatin1(ChiaveMsinfo), "PATH", risultato));
    QCOMPARE(risultato, atteso);
    QCOMPARE(registro.chiuse, 1);
    QCOMPARE(registro.accessoRichiesto, quint32(0x2003F));
}

void TestInfoSistema::valoreMancanteSvuotaIlRisultato_data()
{
    QTest::addColumn<bool>("chiavePresente");
    QTest::addColumn<int>("chiuse");
    QTest::newRow("no key") << false << 0;
    QTest::newRow("key without the value") << true << 1;
}

void TestInfoSistema::valoreMancanteSvuotaIlRisultato()
{
    QFETCH(bool, chiavePresente);
    RegistroFinto registro;
    if (chiavePresente)
        registro.chiavi[ChiaveMsinfo]["ALTRO"] = {TipoTesto, "x"};
    QString risultato = QStringLiteral("prima");
    QVERIFY(!GetKeyValue(registro, ChiaveLocalMachine, QString::fromLatin1(ChiaveMsinfo), "PATH", risultato));
    QVERIFY(risultato.isEmpty());
    QTEST(registro.chiuse, "chiuse");
}

void TestInfoSistema::percorsoDelloStrumento_data()
{
    QTest::addColumn<bool>("conPath");
    QTest::addColumn<bool>("conCartella");
    QTest::addColumn<bool>("eseguibileEsiste");
    QTest::addColumn<QString>("atteso"); // empty: not available
    QTest::newRow("PATH wins") << true << true << true << "C:\\Win\\msinfo32.exe";
    QTest::newRow("only the folder, tool there") << false << true << true << "C:\\Tools\\MSINFO32.EXE";
    QTest::newRow("only the folder, tool missing") << false << true << false << "";
    QTest::newRow("neither value") << false << false << true << "";
}

void TestInfoSistema::percorsoDelloStrumento()
{
    QFETCH(bool, conPath);
    QFETCH(bool, conCartella);
    QFETCH(bool, eseguibileEsiste);
    QFETCH(QString, atteso);
    RegistroFinto registro;
    if (conPath)
        registro.chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, QByteArray("C:\\Win\\msinfo32.exe\0", 20)};
    if (conCartella)
        registro.chiavi[ChiavePosizione]["MSINFO"] = {TipoTesto, QByteArray("C:\\Tools\0", 9)};
    QStringList cercati;
    const auto percorso = percorsoInfoSistema(registro, [&](const QString &p) {
        cercati.append(p);
        return eseguibileEsiste;
    });
    QCOMPARE(percorso.value_or(QString()), atteso);
    // The folder is consulted only when PATH is missing.
    QCOMPARE(registro.aperte.contains(ChiavePosizione), !conPath && conCartella);
    QCOMPARE(cercati, conPath || !conCartella ? QStringList() : QStringList{"C:\\Tools\\MSINFO32.EXE"});
}

void TestInfoSistema::senzaRegistroNonParteNulla()
{
    bool avviato = false;
    ServiziInfoSistema servizi{nullptr, [](const QString &) { return true; },
                               [&](const QString &) { return avviato = true; }};
    QVERIFY(!StartSysInfo(servizi));
    QVERIFY(!avviato);
}

void TestInfoSistema::avvioFallitoEQuantoNonDisponibile()
{
    auto registro = std::make_unique<RegistroFinto>();
    registro->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, "C:\\Win\\msinfo32.exe"};
    QString avviato;
    bool riesce = false;
    ServiziInfoSistema servizi{std::move(registro), [](const QString &) { return true; },
                               [&](const QString &p) {
                                   avviato = p;
                                   return riesce;
                               }};
    QVERIFY(!StartSysInfo(servizi));
    QCOMPARE(avviato, QStringLiteral("C:\\Win\\msinfo32.exe"));
    riesce = true;
    QVERIFY(StartSysInfo(servizi));
}

void TestInfoSistema::avvertenzeEGuidaAiTasti()
{
    const QStringList righe = testoAvvertenze().split(QStringLiteral("\r\n"));
    QCOMPARE(righe.size(), 9);
    QCOMPARE(righe[0], QStringLiteral("Questo programma è distribuito senza alcuna garanzia."));
    QCOMPARE(righe[1], QString());
    QCOMPARE(righe[2], QStringLiteral(" F1 = informazioni"));
    QCOMPARE(righe[6], QStringLiteral(" CTRL+ALT+F4 = torna alla schermata iniziale"));
    QCOMPARE(righe[8], QStringLiteral(" Tasto destro = cancella il numero"));
    for (int i = 2; i < righe.size(); ++i)
        QVERIFY(righe[i].startsWith(QLatin1Char(' ')) && !righe[i].startsWith(QStringLiteral("  ")));
    QVERIFY(!testoAvvertenze().contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));
}

QTEST_GUILESS_MAIN(TestInfoSistema)
#include "test_infosistema.moc"
