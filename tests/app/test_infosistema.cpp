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
    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> chiavi;
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
        const auto valori = chiavi.value(aperte.at(int(chiave) - 1));
        if (!valori.contains(nome))
            return false;
        const QByteArray valore = valori.value(nome).second;
        std::copy(valore.begin(), valore.end(), dati.begin());
        tipo = valori.value(nome).first;
        dimensione = quint32(valore.size());
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
    void valoreLettoSecondoIlTipo_data()
    {
        QTest::addColumn<QByteArray>("chiave");
        QTest::addColumn<QByteArray>("nome");
        QTest::addColumn<quint32>("tipo");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<bool>("letto");
        QTest::addColumn<QString>("atteso");
        const QByteArray k = ChiaveMsinfo;
        const QByteArray path = "PATH";
        QTest::newRow("text with NUL") << k << path << TipoTesto << QByteArray("C:\\T\\m.exe", 11) << true
                                       << "C:\\T\\m.exe";
        QTest::newRow("text without NUL") << k << path << TipoTesto << QByteArray("C:\\X") << true << "C:\\X";
        QTest::newRow("inner NUL kept") << k << path << TipoTesto << QByteArray("A\0B\0", 4) << true
                                        << QString::fromLatin1("A\0B", 3);
        QTest::newRow("32-bit number") << k << path << TipoNumero32 << QByteArray("\x2a\x01\x00\x00", 4) << true
                                       << "298";
        QTest::newRow("other type") << k << path << quint32(3) << QByteArray("\x01\x02", 2) << true << "prima";
        QTest::newRow("no such value") << k << QByteArray("ALTRO") << TipoTesto << QByteArray("x") << false << "";
        QTest::newRow("no such key") << ChiavePosizione << path << TipoTesto << QByteArray("x") << false << "";
    }
    void valoreLettoSecondoIlTipo()
    {
        QFETCH(QByteArray, chiave);
        QFETCH(QByteArray, nome);
        QFETCH(quint32, tipo);
        QFETCH(QByteArray, dati);
        RegistroFinto registro;
        registro.chiavi[chiave][nome] = {tipo, dati};
        QString risultato = QStringLiteral("prima");
        QTEST(GetKeyValue(registro, ChiaveLocalMachine, QString::fromLatin1(ChiaveMsinfo), "PATH", risultato), "letto");
        QTEST(risultato, "atteso");
        QCOMPARE(registro.chiuse, registro.aperte.size());
        // Opened for reading only (KEY_READ): a standard user may not ask for more on these keys.
        QCOMPARE(registro.accessoRichiesto, 0x20019u);
    }

    // The tool is looked up first under MSINFO\PATH, then in the tools folder; one that is
    // missing or fails to start counts as not available.
    void avvioDelloStrumento_data()
    {
        QTest::addColumn<bool>("conPath");
        QTest::addColumn<bool>("conCartella");
        QTest::addColumn<bool>("eseguibileEsiste");
        QTest::addColumn<bool>("parte");       // what starting the tool gives
        QTest::addColumn<QString>("avviato");  // empty: nothing started
        QTest::addColumn<bool>("disponibile"); // what StartSysInfo answers
        const QString win = QStringLiteral("C:\\Win\\msinfo32.exe");
        QTest::newRow("PATH wins") << true << true << true << true << win << true;
        QTest::newRow("only the folder, tool there") << false << true << true << true << "C:\\Tools\\MSINFO32.EXE"
                                                     << true;
        QTest::newRow("only the folder, tool missing") << false << true << false << true << "" << false;
        QTest::newRow("neither value") << false << false << true << true << "" << false;
        QTest::newRow("the tool fails to start") << true << false << true << false << win << false;
    }
    void avvioDelloStrumento()
    {
        QFETCH(bool, conPath);
        QFETCH(bool, conCartella);
        QFETCH(bool, eseguibileEsiste);
        QFETCH(bool, parte);
        auto registro = std::make_unique<RegistroFinto>();
        if (conPath)
            registro->chiavi[ChiaveMsinfo]["PATH"] = {TipoTesto, QByteArray("C:\\Win\\msinfo32.exe\0", 20)};
        if (conCartella)
            registro->chiavi[ChiavePosizione]["MSINFO"] = {TipoTesto, QByteArray("C:\\Tools\0", 9)};
        QStringList cercati;
        QString avviato;
        ServiziInfoSistema servizi{std::move(registro),
                                   [&](const QString &p) { return cercati.append(p), eseguibileEsiste; },
                                   [&](const QString &p) { return avviato = p, parte; }};
        QTEST(StartSysInfo(servizi), "disponibile");
        QTEST(avviato, "avviato");
        // The tools folder is looked in only when PATH is missing.
        QCOMPARE(cercati, conPath || !conCartella ? QStringList() : QStringList{"C:\\Tools\\MSINFO32.EXE"});
    }

    // The legal line, a blank line and seven key lines, each key line with a leading blank.
    void avvertenzeEGuidaAiTasti()
    {
        QCOMPARE(testoAvvertenze().split(QStringLiteral("\r\n")),
                 (QStringList{"Questo programma è distribuito senza alcuna garanzia.", "", " F1 = informazioni",
                              " F2 = nuova partita", " F10 = messaggi nella colonna in basso",
                              " F11 = ingrandire / ridurre il tabellone",
                              " CTRL+ALT+F4 = torna alla schermata iniziale",
                              " Doppio clic = segna il numero estratto", " Tasto destro = cancella il numero"}));
    }
};

QTEST_GUILESS_MAIN(TestInfoSistema)
#include "test_infosistema.moc"
