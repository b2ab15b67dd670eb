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
    // Text comes back cut at the size read, without its final NUL; numbers in
    // decimal; other types leave the result. A missing key or value gives false
    // and an emptied result, and every opened key is closed again.
    void valoreLettoSecondoIlTipo_data();
    void valoreLettoSecondoIlTipo();

    // The tool is looked up first under MSINFO\PATH, then in the tools folder.
    void percorsoDelloStrumento_data();
    void percorsoDelloStrumento();

    // Without a registry (any platform but Windows) nothing starts; a tool
    // that fails to start counts as not available.
    void avvioSoloConRegistroEStrumentoFunzionante();

    // The legal line, a blank line and seven key lines, each key line with a leading blank.
    void avvertenzeEGuidaAiTasti();
};

void TestInfoSistema::valoreLettoSecondoIlTipo_data()
{
    QTest::addColumn<QByteArray>("chiave");
    QTest::addColumn<QByteArray>("nome");
    QTest::addColumn<quint32>("tipo");
    QTest::addColumn<QByteArray>("dati");
    QTest::addColumn<bool>("letto");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<int>("chiuse");
    const QByteArray k = ChiaveMsinfo;
    QTest::newRow("text with NUL") << k << QByteArray("PATH") << TipoTesto << QByteArray("C:\\T\\m.exe", 11) << true << "C:\\T\\m.exe" << 1;
    QTest::newRow("text without NUL") << k << QByteArray("PATH") << TipoTesto << QByteArray("C:\\X") << true << "C:\\X" << 1;
    QTest::newRow("inner NUL kept") << k << QByteArray("PATH") << TipoTesto << QByteArray("A\0B\0", 4) << true << QString::fromLatin1("A\0B", 3) << 1;
    QTest::newRow("32-bit number") << k << QByteArray("PATH") << TipoNumero32 << QByteArray("\x2a\x01\x00\x00", 4) << true << "298" << 1;
    QTest::newRow("other type") << k << QByteArray("PATH") << quint32(3) << QByteArray("\x01\x02", 2) << true << "prima" << 1;
    QTest::newRow("no such value") << k << QByteArray("ALTRO") << TipoTesto << QByteArray("x") << false << "" << 1;
    QTest::newRow("no such key") << ChiavePosizione << QByteArray("PATH") << TipoTesto << QByteArray("x") << false << "" << 0;
}

void TestInfoSistema::valoreLettoSecondoIlTipo()
{
    QFETCH(QByteArray, chiave);
    QFETCH(QByteArray, nome);
    QFETCH(quint32, tipo);
    QFETCH(QByteArray, dati);
    QFETCH(QString, atteso);
    RegistroFinto registro;
    registro.chiavi[chiave][nome] = {tipo, dati};
    QString risultato = QStringLiteral("prima");
    QTEST(GetKeyValue(registro, ChiaveLocalMachine, QString::fromLatin1(ChiaveMsinfo), "PATH", risultato), "letto");
    QCOMPARE(risultato, atteso);
    QTEST(registro.chiuse, "chiuse");
    // Opened for reading only (KEY_READ): a standard user may not ask for more on these keys.
    QVERIFY(registro.chiuse == 0 || registro.accessoRichiesto == 0x20019);
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

void TestInfoSistema::avvioSoloConRegistroEStrumentoFunzionante()
{
    QString avviato;
    bool riesce = false;
    auto avvia = [&](const QString &p) {
        avviato = p;
        return riesce;
    };
    ServiziInfoSistema senzaRegistro{nullptr, [](const QString &) { return true; }, avvia};
    QVERIFY(!StartSysInfo(senzaRegistro));
    QVERIFY(avviato.isEmpty());

    auto registro = std::make_unique<RegistroFinto>();
    registro->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, "C:\\Win\\msinfo32.exe"};
    ServiziInfoSistema servizi{std::move(registro), [](const QString &) { return true; }, avvia};
    QVERIFY(!StartSysInfo(servizi));
    QCOMPARE(avviato, QStringLiteral("C:\\Win\\msinfo32.exe"));
    riesce = true;
    QVERIFY(StartSysInfo(servizi));
}

void TestInfoSistema::avvertenzeEGuidaAiTasti()
{
    const QStringList righe = testoAvvertenze().split(QStringLiteral("\r\n"));
    QCOMPARE(righe.size(), 9);
    QCOMPARE(righe, (QStringList{"Questo programma è distribuito senza alcuna garanzia.", "",
                                 " F1 = informazioni", " F2 = nuova partita",
                                 " F10 = messaggi nella colonna in basso",
                                 " F11 = ingrandire / ridurre il tabellone",
                                 " CTRL+ALT+F4 = torna alla schermata iniziale",
                                 " Doppio clic = segna il numero estratto", " Tasto destro = cancella il numero"}));
    QCOMPARE(testoAvvertenze().count(QLatin1Char('\n')), 8); // no lone line feeds
}

QTEST_GUILESS_MAIN(TestInfoSistema)
#include "test_infosistema.moc"
