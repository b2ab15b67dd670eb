// SPDX-License-Identifier: MIT
#include "registro.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

namespace {

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contenuto), contenuto.size());
}

// Why the bytes are not a complete record, or an empty string when they are.
// The numbers it holds go to `numeri`.
QString difettoDelRegistro(const QByteArray &contenuto, QList<int> &numeri)
{
    static const QRegularExpression intestazione(
        QStringLiteral("^Partita : \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    static const QRegularExpression riga(QStringLiteral("^ ([1-9]|[1-8][0-9]|90) $"));
    if (!contenuto.startsWith("Partita : "))
        return QStringLiteral("does not start with the header");
    if (!contenuto.endsWith("\r\n"))
        return QStringLiteral("last line without CR LF");
    QList<QByteArray> righe = contenuto.split('\n');
    righe.removeLast(); // empty, after the final LF
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (!righe[i].endsWith('\r'))
            return QStringLiteral("line %1 ends in a lone LF").arg(i + 1);
        const QString testo = QString::fromLatin1(righe[i].chopped(1));
        if (testo.contains(QLatin1Char('\r')))
            return QStringLiteral("line %1 holds a lone CR").arg(i + 1);
        if (i == 0) {
            if (!intestazione.match(testo).hasMatch())
                return QStringLiteral("header \"%1\"").arg(testo);
        } else {
            const QRegularExpressionMatch trovato = riga.match(testo);
            if (!trovato.hasMatch())
                return QStringLiteral("line %1 is \"%2\"").arg(i + 1).arg(testo);
            numeri << trovato.captured(1).toInt();
        }
    }
    return QString();
}

} // namespace

class TestInterruzione : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // A kill at any instant of a write leaves the previous or the new record,
    // whole: header, then " n " lines, each with CR LF, nothing else.
    void uccisioneLasciaUnRegistroCompleto_data();
    void uccisioneLasciaUnRegistroCompleto();

    // Files beside the record, such as what a killed write leaves, are never read as it.
    void fileTemporaneiNonSonoIlRegistro_data();
    void fileTemporaneiNonSonoIlRegistro();

private:
    QTemporaryDir m_cartella;
};

void TestInterruzione::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QVERIFY(QFile::exists(QStringLiteral(PERCORSO_SCRITTORE)));
    QVERIFY(m_cartella.isValid());
    // Every round starts from a record, so each check sees a write that was cut or done.
    const RegistroPartita registro(m_cartella.path());
    QVERIFY(registro.nuovaPartita(QDateTime::currentDateTime()).riuscita());
}

void TestInterruzione::uccisioneLasciaUnRegistroCompleto_data()
{
    QTest::addColumn<int>("pausa"); // microseconds between the first write and the kill
    for (int giro = 1; giro <= 40; ++giro)
        QTest::addRow("round %d", giro) << static_cast<int>(QRandomGenerator::global()->bounded(100, 25000));
}

void TestInterruzione::uccisioneLasciaUnRegistroCompleto()
{
    QFETCH(int, pausa);
    QProcess scrittore;
    scrittore.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    scrittore.start(QStringLiteral(PERCORSO_SCRITTORE), {m_cartella.path()});
    QVERIFY2(scrittore.waitForStarted(5000), qPrintable(scrittore.errorString()));
    QVERIFY2(scrittore.waitForReadyRead(10000), "the writer never finished a first write");
    std::this_thread::sleep_for(std::chrono::microseconds(pausa));
    QCOMPARE(scrittore.state(), QProcess::Running); // it stopped on its own: a write failed
    scrittore.kill();
    QVERIFY(scrittore.waitForFinished(5000));
    QCOMPARE(scrittore.exitStatus(), QProcess::CrashExit);

    const RegistroPartita registro(m_cartella.path());
    const QByteArray contenuto = contenutoDi(registro.percorso());
    QList<int> numeri;
    const QString difetto = difettoDelRegistro(contenuto, numeri);
    QVERIFY2(difetto.isEmpty(), qPrintable(QStringLiteral("killed after %1 us: %2\n%3")
                                               .arg(pausa)
                                               .arg(difetto, QString::fromLatin1(contenuto.toPercentEncoding(" /:")))));
    // Whatever else lies in the folder, only the record is read.
    QCOMPARE(registro.leggi().numeri, numeri);
}

void TestInterruzione::fileTemporaneiNonSonoIlRegistro_data()
{
    QTest::addColumn<QByteArray>("registro"); // null: no record
    QTest::addColumn<QString>("nomeAltro");
    QTest::addColumn<QByteArray>("altro");
    QTest::addColumn<QList<int>>("letti");
    QTest::addColumn<QByteArray>("dopoAggiunta");
    const QByteArray h = "Partita : 06/12/2026 21:05:33\r\n";
    const QByteArray completo = h + " 4 \r\n 5 \r\n 6 \r\n";
    const QByteArray nessuno;
    QTest::newRow("a save file's leftover alone is no record")
        << nessuno << "ultima.par.AbC123" << completo << QList<int>{} << h + " 7 \r\n";
    QTest::newRow("a save file's leftover beside the record is ignored")
        << h + " 3 \r\n" << "ultima.par.AbC123" << completo << QList<int>{3} << h + " 3 \r\n 7 \r\n";
    QTest::newRow("a leftover cut mid-line is ignored")
        << h + " 3 \r\n" << "ultima.par.x9Yz0Q" << h + " 4 \r\n 8" << QList<int>{3} << h + " 3 \r\n 7 \r\n";
    QTest::newRow("a backup copy is ignored")
        << h + " 3 \r\n" << "ultima.par~" << completo << QList<int>{3} << h + " 3 \r\n 7 \r\n";
    QTest::newRow("a differently capitalised name is another file")
        << nessuno << "ULTIMA.PAR" << completo << QList<int>{} << h + " 7 \r\n";
}

void TestInterruzione::fileTemporaneiNonSonoIlRegistro()
{
    QFETCH(QByteArray, registro);
    QFETCH(QString, nomeAltro);
    QFETCH(QByteArray, altro);
    QFETCH(QList<int>, letti);
    QFETCH(QByteArray, dopoAggiunta);

    QTemporaryDir cartella;
    QVERIFY(cartella.isValid());
    const RegistroPartita partita(cartella.path());
    if (!registro.isNull())
        scriviFile(partita.percorso(), registro);
    scriviFile(cartella.filePath(nomeAltro), altro);

    QCOMPARE(partita.esiste(), !registro.isNull());
    QCOMPARE(partita.leggi().numeri, letti);
    QVERIFY(partita.aggiungi(7, QDateTime(QDate(2026, 12, 6), QTime(21, 5, 33))).riuscita());
    QCOMPARE(contenutoDi(partita.percorso()), dopoAggiunta);
    QCOMPARE(contenutoDi(cartella.filePath(nomeAltro)), altro);
}

QTEST_GUILESS_MAIN(TestInterruzione)
#include "test_interruzione.moc"
