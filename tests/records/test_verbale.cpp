// SPDX-License-Identifier: MIT
#include "ordine.h"
#include "verbale.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The PDF's text as pdftotext lays it out, one entry a page.
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

// What pdfinfo tells of the file: its information dictionary, then its XMP metadata.
QString metadati(const QString &pdf)
{
    QString testo;
    for (const QStringList &argomenti : {QStringList{pdf}, QStringList{QStringLiteral("-meta"), pdf}}) {
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"), argomenti);
        if (!pdfinfo.waitForFinished(60000))
            return {};
        testo += QString::fromUtf8(pdfinfo.readAllStandardOutput());
    }
    return testo;
}

// The words that are not inside the body of their page, 18 mm off the sides and 15 mm off the top
// and bottom, as "word (x0 y0 x1 y1)" in points (A4 is 595 x 842). A text longer than its box
// would be cut there; the margins keep it clear of what a printer cannot print.
QStringList fuoriDalCorpo(const QString &pdf)
{
    QProcess caselle;
    caselle.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!caselle.waitForFinished(60000))
        return {QStringLiteral("pdftotext did not end")};
    const QString html = QString::fromUtf8(caselle.readAllStandardOutput());
    static const QRegularExpression parola(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const auto punti = [](double mm) { return mm / 25.4 * 72; };
    QStringList fuori;
    int parole = 0;
    for (auto it = parola.globalMatch(html); it.hasNext(); ++parole) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).toDouble() < punti(18) - 0.5 || m.captured(2).toDouble() < punti(15) - 0.5
            || m.captured(3).toDouble() > punti(210 - 18) + 0.5 || m.captured(4).toDouble() > punti(297 - 15) + 0.5)
            fuori.append(QStringLiteral("%1 (%2 %3 %4 %5)")
                             .arg(m.captured(5), m.captured(1), m.captured(2), m.captured(3), m.captured(4)));
    }
    if (parole < 20)
        fuori.append(QStringLiteral("only %1 words").arg(parole));
    return fuori;
}

QString scrivi(const QTemporaryDir &cartella, const StoriaPartita &partita)
{
    const QString pdf = cartella.filePath(QStringLiteral("verbale.pdf"));
    const EsitoScrittura esito = scriviVerbale(partita, pdf);
    return esito.riuscita() ? pdf : QString();
}

QByteArray semeDiProva(char primo)
{
    QByteArray seme(LunghezzaSeme, '\0');
    for (int i = 0; i < LunghezzaSeme; ++i)
        seme[i] = char(primo + 7 * i);
    return seme;
}

const QDateTime Sera(QDate(2026, 12, 7), QTime(21, 5, 33));

Evento chiamata(int k, int numero, int secondi, Fonte fonte)
{
    return {Evento::Tipo::Chiamata, k, numero, secondi < 0 ? QDateTime() : Sera.addSecs(secondi), fonte};
}

Evento ritiro(int numero, int secondi)
{
    return {Evento::Tipo::Ritiro, 0, numero, Sera.addSecs(secondi), Fonte::Ignota};
}

// A whole evening: 90 calls, computer and bag in turn, and three withdrawn and called again.
StoriaPartita partitaIntera(bool chiusa)
{
    StoriaPartita partita;
    partita.inizio = Sera;
    partita.seme = semeDiProva(3);
    int k = 0, secondi = 0;
    for (int numero = 90; numero >= 1; --numero) {
        ++k;
        partita.eventi.append(chiamata(k, numero, secondi += 41, k % 3 == 0 ? Fonte::Sacchetto : Fonte::Computer));
        if (numero % 30 == 0) {
            partita.eventi.append(ritiro(numero, secondi += 20));
            partita.eventi.append(chiamata(++k, numero, secondi += 35, Fonte::Sacchetto));
        }
    }
    if (chiusa)
        partita.fine = Sera.addSecs(secondi + 300);
    return partita;
}

// The rows of the calls table as the reader sees them: "k|number|time|source", withdrawals with "—".
QStringList righeTabella(const QStringList &testo)
{
    static const QRegularExpression riga(QStringLiteral(
        "^\\s*(\\d+|—)\\s+(\\d+)\\s+(\\d\\d:\\d\\d:\\d\\d(?: del \\d\\d/\\d\\d)?|non nota)\\s+(sacchetto|computer|non nota|ritirato.*?)\\s*$"));
    QStringList righe;
    for (const QString &pagina : testo) {
        for (const QString &linea : pagina.split(QLatin1Char('\n'))) {
            if (const QRegularExpressionMatch trovata = riga.match(linea); trovata.hasMatch())
                righe.append(QStringList{trovata.captured(1), trovata.captured(2), trovata.captured(3),
                                         trovata.captured(4)}.join(QLatin1Char('|')));
        }
    }
    return righe;
}

} // namespace

class TestVerbale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: the minutes cannot be read back");
    }

    // Every call in the order it was made, with its k, number, time and source; a withdrawal
    // as such, naming the call it undid; times past midnight say their day.
    void ogniChiamataInOrdine_data()
    {
        QTest::addColumn<StoriaPartita>("partita");
        QTest::addColumn<QStringList>("attese");
        StoriaPartita sacchetto;
        sacchetto.inizio = Sera;
        sacchetto.seme = semeDiProva(1);
        sacchetto.eventi = {chiamata(1, 7, 0, Fonte::Sacchetto), chiamata(2, 90, 47, Fonte::Sacchetto),
                            chiamata(3, 1, 3600, Fonte::Sacchetto)};
        QTest::newRow("three from the bag") << sacchetto
                                            << QStringList{"1|7|21:05:33|sacchetto", "2|90|21:06:20|sacchetto",
                                                           "3|1|22:05:33|sacchetto"};
        StoriaPartita misto = sacchetto;
        misto.eventi = {chiamata(1, 45, 0, Fonte::Computer), chiamata(2, 12, 20, Fonte::Sacchetto),
                        ritiro(45, 31), chiamata(3, 45, 50, Fonte::Computer), ritiro(12, 62),
                        chiamata(4, 33, 80, Fonte::Computer)};
        QTest::newRow("computer and bag, two withdrawals")
            << misto
            << QStringList{"1|45|21:05:33|computer",    "2|12|21:05:53|sacchetto",
                           "—|45|21:06:04|ritirato: annullata la chiamata 1", "3|45|21:06:23|computer",
                           "—|12|21:06:35|ritirato: annullata la chiamata 2", "4|33|21:06:53|computer"};
        StoriaPartita vecchia;
        vecchia.eventi = {chiamata(1, 18, -1, Fonte::Ignota), chiamata(2, 4, -1, Fonte::Ignota)};
        QTest::newRow("a record without story") << vecchia
                                                << QStringList{"1|18|non nota|non nota", "2|4|non nota|non nota"};
        StoriaPartita mezzanotte = sacchetto;
        mezzanotte.inizio = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0));
        mezzanotte.eventi = {{Evento::Tipo::Chiamata, 1, 8, mezzanotte.inizio, Fonte::Computer},
                             {Evento::Tipo::Chiamata, 2, 9, mezzanotte.inizio.addSecs(75), Fonte::Computer}};
        QTest::newRow("past midnight") << mezzanotte
                                       << QStringList{"1|8|23:59:00|computer", "2|9|00:00:15 del 01/01|computer"};
    }
    void ogniChiamataInOrdine()
    {
        QFETCH(StoriaPartita, partita);
        QFETCH(QStringList, attese);
        QTemporaryDir cartella;
        const QString pdf = scrivi(cartella, partita);
        QVERIFY(!pdf.isEmpty());
        const QStringList testo = pagine(pdf);
        QCOMPARE(righeTabella(testo), attese);
        QCOMPARE(fuoriDalCorpo(pdf), QStringList());
        const QString tutto = testo.join(QLatin1Char('\n'));
        QVERIFY(tutto.contains(QLatin1String("Verbale di estrazione")));
        QVERIFY(tutto.contains(QLatin1String("Tabellone Tombola")));
    }

    // The header: the game's start and end, the fingerprint always; the seed only once the game
    // is closed, with how to check it; before that, nowhere in the file: not in its text, not in
    // its metadata, not in its bytes.
    void semeSoloAPartitaChiusa_data()
    {
        QTest::addColumn<bool>("chiusa");
        QTest::newRow("open") << false;
        QTest::newRow("closed") << true;
    }
    void semeSoloAPartitaChiusa()
    {
        QFETCH(bool, chiusa);
        QTemporaryDir cartella;
        StoriaPartita partita;
        partita.inizio = Sera;
        partita.seme = semeDiProva(chiusa ? 5 : 9);
        partita.eventi = {chiamata(1, 45, 0, Fonte::Computer)};
        if (chiusa)
            partita.fine = QDateTime(QDate(2026, 12, 7), QTime(23, 10, 2));
        const QString pdf = scrivi(cartella, partita);
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(fuoriDalCorpo(pdf), QStringList());
        const QString testo = pagine(pdf).join(QLatin1Char('\n'));
        const QString esadecimale = QString::fromLatin1(partita.seme.toHex());
        QCOMPARE(esadecimale.size(), 64);

        QVERIFY2(QRegularExpression(QStringLiteral("Inizio della partita:\\s+lunedì 7 dicembre 2026, ore 21:05:33"))
                     .match(testo).hasMatch(), qPrintable(testo));
        QVERIFY2(testo.contains(QStringLiteral("Impronta del seme:")) && testo.contains(improntaSeme(partita.seme)),
                 qPrintable(testo));
        if (chiusa) {
            QVERIFY2(QRegularExpression(QStringLiteral("Fine della partita:\\s+lunedì 7 dicembre 2026, ore 23:10:02"))
                         .match(testo).hasMatch(), qPrintable(testo));
            QCOMPARE(testo.count(esadecimale), 1);
            QVERIFY(QRegularExpression(QStringLiteral("Seme:\\s+") + esadecimale).match(testo).hasMatch());
            QVERIFY2(testo.contains(QStringLiteral("python3 tools/ordine_estrazione.py")), qPrintable(testo));
            return;
        }
        QVERIFY(QRegularExpression(QStringLiteral("Fine della partita:\\s+partita in corso")).match(testo).hasMatch());
        QVERIFY2(testo.contains(QStringLiteral("sarà rivelato alla chiusura")), qPrintable(testo));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray byte = file.readAll();
        const QString informazioni = metadati(pdf);
        QVERIFY(informazioni.contains(QStringLiteral("Verbale di estrazione")));
        // Any eight digits of it in a row would give a part away.
        for (qsizetype da = 0; da + 8 <= esadecimale.size(); da += 4) {
            const QString pezzo = esadecimale.mid(da, 8);
            QVERIFY2(!testo.contains(pezzo, Qt::CaseInsensitive), qPrintable(pezzo));
            QVERIFY2(!informazioni.contains(pezzo, Qt::CaseInsensitive), qPrintable(pezzo));
            QVERIFY(!byte.contains(pezzo.toLatin1()) && !byte.contains(pezzo.toUpper().toLatin1()));
        }
        QVERIFY(!byte.contains(partita.seme.left(8)));
        QVERIFY(!byte.contains(partita.seme.toBase64().left(12)));
    }

    // A whole evening flows onto more pages: the calls go on under a repeated heading, every page
    // says "Pagina n di m", the prizes and the signatures come once, after the last call, and all
    // text keeps inside the margins (6 mm at least on every side).
    void piuPagine()
    {
        QTemporaryDir cartella;
        const StoriaPartita partita = partitaIntera(true);
        const QString pdf = scrivi(cartella, partita);
        QVERIFY(!pdf.isEmpty());
        const QStringList testo = pagine(pdf);
        QVERIFY2(testo.size() >= 2, qPrintable(QString::number(testo.size())));
        const QStringList righe = righeTabella(testo);
        QCOMPARE(righe.size(), partita.eventi.size());
        for (qsizetype i = 0; i < righe.size(); ++i) {
            const Evento &evento = partita.eventi.at(i);
            const QStringList campi = righe.at(i).split(QLatin1Char('|'));
            QCOMPARE(campi.at(1).toInt(), evento.numero);
            QCOMPARE(campi.at(2), evento.quando.time().toString(QStringLiteral("HH:mm:ss")));
            if (evento.tipo == Evento::Tipo::Chiamata) {
                QCOMPARE(campi.at(0).toInt(), evento.chiamata);
                QCOMPARE(campi.at(3), evento.fonte == Fonte::Sacchetto ? QStringLiteral("sacchetto") : QStringLiteral("computer"));
            } else {
                QVERIFY(campi.at(3).startsWith(QLatin1String("ritirato")));
            }
        }
        for (qsizetype p = 0; p < testo.size(); ++p) {
            QVERIFY2(testo.at(p).contains(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(testo.size())),
                     qPrintable(testo.at(p)));
            if (p > 0)
                QVERIFY(testo.at(p).contains(QLatin1String("Chiamate (segue)")) || righeTabella({testo.at(p)}).isEmpty());
        }
        // The header's counts: calls by source, withdrawals, numbers left on the board.
        int sacchetto = 0, computer = 0, ritiri = 0;
        for (const Evento &evento : partita.eventi)
            ++(evento.tipo == Evento::Tipo::Ritiro ? ritiri : evento.fonte == Fonte::Sacchetto ? sacchetto : computer);
        QCOMPARE(ritiri, 3);
        const QString prima = testo.constFirst();
        QVERIFY2(QRegularExpression(QStringLiteral("Chiamate:\\s+%1: %2 dal sacchetto, %3 dal computer\\s*\n\\s*Ritiri:\\s+3\\s*\n"
                                                   "\\s*Sul tabellone:\\s+90 numeri")
                                        .arg(sacchetto + computer)
                                        .arg(sacchetto)
                                        .arg(computer))
                     .match(prima)
                     .hasMatch(),
                 qPrintable(prima));
        const QString ultima = testo.constLast();
        for (const char *unaVolta : {"Nessun premio assegnato", "Il responsabile dell'estrazione", "Il delegato del sindaco"}) {
            QCOMPARE(testo.join(QLatin1Char('\n')).count(QString::fromUtf8(unaVolta)), 1);
            QVERIFY2(ultima.contains(QString::fromUtf8(unaVolta)), unaVolta);
        }
        QVERIFY(ultima.indexOf(QLatin1String("Premi")) > ultima.lastIndexOf(QLatin1String("90")));
        QVERIFY(ultima.indexOf(QLatin1String("Il delegato")) > ultima.indexOf(QLatin1String("Nessun premio")));

        QCOMPARE(fuoriDalCorpo(pdf), QStringList());
    }

    // What the closed minutes print is enough to check the computer: the seed read back from
    // them gives, with the README's script, the fingerprint they print, and the calls and
    // withdrawals of their table, replayed by it, follow the seed's order.
    void verificabileDalVerbale()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed: the script cannot be run");
        // A game played as the board plays it: the computer's next number each time, a few by
        // hand, one of the computer's withdrawn and drawn again.
        StoriaPartita partita;
        partita.inizio = Sera;
        partita.seme = semeDiProva(11);
        std::array<std::int16_t, 101> estratti{};
        int k = 0, secondi = 0;
        const auto chiama = [&](int numero, Fonte fonte) {
            partita.eventi.append(chiamata(++k, numero, secondi += 30, fonte));
            estratti[std::size_t(numero)] = -1;
        };
        for (int giro = 0; giro < 40; ++giro) {
            if (giro % 7 == 3) {
                int aMano = 90;
                while (estratti[std::size_t(aMano)] != 0)
                    --aMano;
                chiama(aMano, Fonte::Sacchetto);
                continue;
            }
            chiama(prossimoDelComputer(partita.seme, estratti), Fonte::Computer);
            if (giro == 11) {
                const int tolto = partita.eventi.constLast().numero;
                partita.eventi.append(ritiro(tolto, secondi += 10));
                estratti[std::size_t(tolto)] = 0;
            }
        }
        partita.fine = Sera.addSecs(secondi + 60);
        QTemporaryDir cartella;
        const QString pdf = scrivi(cartella, partita);
        QVERIFY(!pdf.isEmpty());
        const QStringList testo = pagine(pdf);
        const QString tutto = testo.join(QLatin1Char('\n'));

        const QRegularExpressionMatch seme =
            QRegularExpression(QStringLiteral("Seme:\\s+([0-9a-f]{64})\\s*$"), QRegularExpression::MultilineOption)
                .match(tutto);
        QVERIFY2(seme.hasMatch(), qPrintable(tutto));
        const QRegularExpressionMatch impronta =
            QRegularExpression(QStringLiteral("Impronta del seme:\\s+([0-9A-F]{4}(?: [0-9A-F]{4}){3})")).match(tutto);
        QVERIFY2(impronta.hasMatch(), qPrintable(tutto));
        QStringList argomenti{QStringLiteral(SCRIPT_ORDINE), seme.captured(1)};
        for (const QString &riga : righeTabella(testo)) {
            const QStringList campi = riga.split(QLatin1Char('|'));
            argomenti.append(campi.at(3).startsWith(QLatin1String("ritirato")) ? QLatin1Char('-') + campi.at(1)
                             : campi.at(3) == QLatin1String("computer")         ? QLatin1Char('c') + campi.at(1)
                                                                                : campi.at(1));
        }
        QCOMPARE(argomenti.size(), 2 + partita.eventi.size());
        QProcess script;
        script.start(python, argomenti);
        QVERIFY(script.waitForFinished(60000));
        const QString risposta = QString::fromUtf8(script.readAllStandardOutput() + script.readAllStandardError());
        QVERIFY2(script.exitCode() == 0, qPrintable(risposta));
        QVERIFY2(risposta.contains(QStringLiteral("Impronta: ") + impronta.captured(1)), qPrintable(risposta));
        const auto computer = std::count_if(partita.eventi.cbegin(), partita.eventi.cend(),
                                            [](const Evento &e) { return e.fonte == Fonte::Computer; });
        QVERIFY2(risposta.contains(QStringLiteral("SÌ: le %1 estrazioni del computer").arg(computer)), qPrintable(risposta));
    }

    // No calls yet: the table says so, and the prizes table is there, empty.
    void senzaChiamate()
    {
        QTemporaryDir cartella;
        const QString pdf = scrivi(cartella, StoriaPartita{});
        QVERIFY(!pdf.isEmpty());
        const QStringList testo = pagine(pdf);
        QCOMPARE(testo.size(), 1);
        for (const char *atteso : {"Nessuna chiamata", "Nessun premio assegnato", "Fine della partita:", "Pagina 1 di 1"})
            QVERIFY2(testo.constFirst().contains(QString::fromUtf8(atteso)), atteso);
    }

    // The file's name: date and time that Windows accepts in a name.
    void nome_data()
    {
        QTest::addColumn<QDateTime>("momento");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("an evening") << Sera << "Verbale tombola 2026-12-07 21.05.pdf";
        QTest::newRow("just after midnight") << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 59))
                                             << "Verbale tombola 2027-01-01 00.00.pdf";
    }
    void nome()
    {
        QFETCH(QDateTime, momento);
        QFETCH(QString, atteso);
        const QString nome = nomeVerbale(momento);
        QCOMPARE(nome, atteso);
        QVERIFY(!nome.contains(QRegularExpression(QStringLiteral("[<>:\"/\\\\|?*]"))));
    }

    // A file that cannot be written leaves no file, or the one that was there, untouched.
    void nessunFileSeNonRiesce_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("no such folder") << "manca/verbale.pdf" << "impossibile creare";
        QTest::newRow("a folder by that name") << "cartella" << "è una cartella";
    }
    void nessunFileSeNonRiesce()
    {
        QFETCH(QString, nome);
        QFETCH(QString, messaggio);
        QTemporaryDir cartella;
        QVERIFY(QDir(cartella.path()).mkdir(QStringLiteral("cartella")));
        const QStringList prima = QDir(cartella.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const EsitoScrittura esito = scriviVerbale(partitaIntera(false), cartella.filePath(nome));
        QVERIFY2(esito.errore.contains(messaggio), qPrintable(esito.errore));
        QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), prima);
    }

    // The minutes asked for right after a new game are those of the game it closed.
    void partitaChiesta()
    {
        Storia storia;
        QCOMPARE(&partitaDelVerbale(storia), &storia.corrente);
        storia.precedente = partitaIntera(true);
        QCOMPARE(&partitaDelVerbale(storia), &*storia.precedente);
        storia.corrente.eventi.append(chiamata(1, 5, 0, Fonte::Computer));
        QCOMPARE(&partitaDelVerbale(storia), &storia.corrente);
    }
};

QTEST_MAIN(TestVerbale)
#include "test_verbale.moc"
