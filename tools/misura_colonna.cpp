// SPDX-License-Identifier: MIT
// Benchmark, not a test: the cost of one timer tick of the board's right-hand
// strip (the clock column, the title, and the message column: rotate the
// text, give it to the label, paint both labels) for a short message and for
// long ones, with the whole text and with testoColonnaVisibile; and the
// message column alone. Times are the fastest of several rounds, since the
// machine is shared.
// Built and run by tools/misura_colonna.sh.
#include "orologio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QSet>
#include <QTime>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The column's text for a message, as F10 makes it.
QString colonna(const QString &messaggio)
{
    return messaggio + QStringLiteral("   \n") + messaggio + QStringLiteral("   \n");
}

// The two bounds the board would compute when the font, the size or the
// message change: lines that can show (one more, partly shown), and the most
// characters a line can hold, from the narrowest character of the message,
// with room for kerning.
std::pair<int, int> limiti(const QLabel &label, const QString &testo)
{
    const QFontMetricsF metriche(label.font());
    qreal minima = 1e9;
    for (const QChar c : QSet<QChar>(testo.begin(), testo.end())) {
        if (!c.isSpace())
            minima = std::min(minima, metriche.horizontalAdvance(c));
    }
    if (minima <= 0.5)
        return {0, 0}; // zero-width characters: no safe bound, the whole text
    const QRect spazio = label.contentsRect();
    const int caratteri = int(spazio.width() / minima * 1.25) + 2;
    const int righe = int(spazio.height() / metriche.lineSpacing()) + 2;
    return {caratteri, righe};
}

QLabel *colonnaDellaStriscia(QWidget *finestra, QRect dove, double punti)
{
    auto *label = new QLabel(finestra);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QFont font(QStringLiteral("Arial Rounded MT Bold"));
    font.setBold(true);
    font.setItalic(true);
    font.setPointSizeF(punti);
    label->setFont(font);
    label->setGeometry(dove);
    return label;
}

// Microseconds per tick; the clock label is null for the message column alone.
double microsecondiPerPasso(QWidget &finestra, QLabel *orologio, QLabel &messaggi, const QString &messaggio,
                            bool soloVisibile)
{
    QString testo = colonna(messaggio);
    const auto [caratteri, righe] = limiti(messaggi, testo);
    double migliore = 1e18;
    for (int giro = 0; giro < 9; ++giro) {
        QElapsedTimer tempo;
        tempo.start();
        constexpr int Passi = 200;
        for (int passo = 0; passo < Passi; ++passo) {
            if (orologio) {
                orologio->setText(testoOrologio(QTime::currentTime()));
                finestra.setWindowTitle(ruota(finestra.windowTitle()));
            }
            testo = ruota(testo);
            messaggi.setText(soloVisibile ? testoColonnaVisibile(testo, caratteri, righe) : testo);
            if (orologio)
                orologio->repaint();
            messaggi.repaint();
        }
        migliore = std::min(migliore, double(tempo.nsecsElapsed()) / 1000.0 / Passi);
    }
    return migliore;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("Arial Rounded MT Bold"), {QStringLiteral("Quicksand")});
    // The strip of a board maximised at 1920x1080: columns of 154 x 525
    // pixels, Spessore 41 (the clock's own size is fitted to its column).
    const double punti = argc > 1 ? std::atof(argv[1]) : 41;
    const int larghezza = argc > 2 ? std::atoi(argv[2]) : 154;
    const int altezza = argc > 3 ? std::atoi(argv[3]) : 525;
    QWidget finestra;
    finestra.resize(larghezza, 2 * altezza);
    finestra.setWindowTitle(QStringLiteral("Tabellone tombola  [CTRL+ALT+F4 per finire]   $    ").repeated(4));
    QLabel *orologio = colonnaDellaStriscia(&finestra, {0, 0, larghezza, altezza}, punti * 0.6);
    QLabel &label = *colonnaDellaStriscia(&finestra, {0, altezza, larghezza, altezza}, punti);
    finestra.show();
    QApplication::processEvents();

    const QList<std::pair<const char *, QString>> messaggi = {
        {"short: CIAO", QStringLiteral("CIAO")},
        {"8 words of 4 letters (fills it)", QStringLiteral("CIAO ").repeated(8).chopped(1)},
        {"1000 characters in 4-letter words", QStringLiteral("CIAO ").repeated(200).chopped(1)},
        {"one word of 1000 characters", QString(1000, u'X')},
    };
    for (QLabel *conOrologio : {orologio, static_cast<QLabel *>(nullptr)}) {
        std::printf("\n%s\n%-36s %10s %10s %8s %8s\n",
                    conOrologio ? "Whole tick (clock, title, message column)" : "Message column alone", "message",
                    "whole us", "visible us", "whole/x", "visib/x");
        double breve = 0;
        for (const auto &[nome, messaggio] : messaggi) {
            const double intero = microsecondiPerPasso(finestra, conOrologio, label, messaggio, false);
            const double visibile = microsecondiPerPasso(finestra, conOrologio, label, messaggio, true);
            if (breve == 0)
                breve = intero;
            std::printf("%-36s %10.1f %10.1f %8.2f %8.2f\n", nome, intero, visibile, intero / breve, visibile / breve);
        }
    }
    std::printf("(x = the short message with the whole text, as the board does today)\n");
    return 0;
}
