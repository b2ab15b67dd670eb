// SPDX-License-Identifier: MIT
#include "stampa.h"

#include "archivio.h"
#include "fileproprio.h"
#include "identita.h"

#include <QBuffer>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

// One unit is a tenth of a millimetre: A4 is 2100 x 2970.
constexpr int Risoluzione = 254;
constexpr int LarghezzaPagina = 2100;
constexpr int AltezzaPagina = 2970;
// Nothing is drawn within 8 mm of the paper's edge: many printers cannot print the outer 5 or 6.
constexpr int Margine = 80;
// Six strips of 46.8 mm, cut apart along the dashed lines between them.
constexpr int AltezzaStriscia = (AltezzaPagina - 2 * Margine) / CartellePerSerie;
// Nine columns of 20 mm and three rows of 11 mm, centred across the page.
constexpr int LarghezzaCasella = 200;
constexpr int AltezzaCasella = 110;
constexpr int SinistraGriglia = (LarghezzaPagina - ColonneCartella * LarghezzaCasella) / 2;
constexpr int AltoIntestazione = 35;
constexpr int AltezzaIntestazione = 60;
constexpr int AltoGriglia = AltoIntestazione + AltezzaIntestazione + 10;
static_assert(AltoGriglia + RigheCartella * AltezzaCasella + 20 < AltezzaStriscia, "a card fits its strip");
static_assert(SinistraGriglia >= Margine, "a card keeps the side margins");

QFont carattere(int altezza, bool grassetto)
{
    // Arial where there is one; the sans-serif the system has otherwise.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(altezza);
    font.setBold(grassetto);
    return font;
}

void disegnaCartella(QPainter &p, const Cartella &cartella, int numero, const QString &codice, int alto)
{
    const int destra = SinistraGriglia + ColonneCartella * LarghezzaCasella;
    const QRect intestazione(SinistraGriglia, alto + AltoIntestazione, destra - SinistraGriglia, AltezzaIntestazione);
    const int serie = Blocchetto::serieDellaCartella(numero);
    p.setPen(Qt::black);
    p.setFont(carattere(40, false));
    p.drawText(intestazione, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(Identita::Titolo));
    p.setFont(carattere(50, true));
    // The code names the batch when a claim is checked: as plain as the card number.
    p.drawText(intestazione, Qt::AlignRight | Qt::AlignVCenter, codice);
    p.drawText(intestazione, Qt::AlignCenter, QStringLiteral("Serie %1    Cartella %2").arg(serie).arg(numero));

    const int cima = alto + AltoGriglia;
    p.setFont(carattere(80, true));
    for (int r = 0; r < RigheCartella; ++r) {
        for (int c = 0; c < ColonneCartella; ++c) {
            const int n = cartella.righe[r][c];
            if (n == 0)
                continue;
            const QRect casella(SinistraGriglia + c * LarghezzaCasella, cima + r * AltezzaCasella, LarghezzaCasella,
                                AltezzaCasella);
            p.drawText(casella, Qt::AlignCenter, QString::number(n));
        }
    }
    // Grid lines 0.3 mm, the border 0.8 mm.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3));
    for (int c = 1; c < ColonneCartella; ++c)
        p.drawLine(SinistraGriglia + c * LarghezzaCasella, cima, SinistraGriglia + c * LarghezzaCasella,
                   cima + RigheCartella * AltezzaCasella);
    for (int r = 1; r < RigheCartella; ++r)
        p.drawLine(SinistraGriglia, cima + r * AltezzaCasella, destra, cima + r * AltezzaCasella);
    p.setPen(QPen(Qt::black, 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(SinistraGriglia, cima, destra - SinistraGriglia, RigheCartella * AltezzaCasella);
}

void disegnaTagli(QPainter &p)
{
    p.setPen(QPen(QColor(96, 96, 96), 2, Qt::DashLine, Qt::FlatCap));
    for (int i = 1; i < CartellePerSerie; ++i)
        p.drawLine(Margine, Margine + i * AltezzaStriscia, LarghezzaPagina - Margine, Margine + i * AltezzaStriscia);
}

} // namespace

QString nomePdf(const Blocchetto &blocchetto)
{
    return QStringLiteral("Cartelle tombola %1.pdf").arg(blocchetto.codice);
}

QByteArray pdfBlocchetto(const Blocchetto &blocchetto)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter scrittore(&buffer);
        scrittore.setResolution(Risoluzione);
        scrittore.setPageSize(QPageSize(QPageSize::A4));
        scrittore.setPageMargins(QMarginsF(0, 0, 0, 0));
        scrittore.setTitle(QFileInfo(nomePdf(blocchetto)).completeBaseName());
        scrittore.setCreator(QString::fromUtf8(Identita::Titolo));
        QPainter p(&scrittore);
        for (int s = 1; s <= blocchetto.serie; ++s) {
            if (s > 1)
                scrittore.newPage();
            disegnaTagli(p);
            for (int i = 0; i < CartellePerSerie; ++i) {
                // Numbered on from the batches made before: the number alone names the card.
                const int numero = blocchetto.primaCartella + (s - 1) * CartellePerSerie + i;
                disegnaCartella(p, blocchetto.cartella(numero), numero, blocchetto.codice,
                                Margine + i * AltezzaStriscia);
            }
        }
    }
    return pdf;
}

EsitoScrittura scriviPdf(const Blocchetto &blocchetto, const QString &percorso,
                         const std::function<EsitoScrittura()> &prima)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    if (QFileInfo(percorso).isDir())
        return {QStringLiteral("%1 è una cartella").arg(nome)};
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return {QStringLiteral("impossibile creare %1: %2").arg(nome, file.errorString())};
    const QByteArray pdf = pdfBlocchetto(blocchetto);
    // Flushed by hand: commit() misses a buffered write that failed, and would put a cut file in place.
    if (pdf.isEmpty() || file.write(pdf) != pdf.size() || !file.flush()) {
        const QString errore = file.errorString();
        file.cancelWriting();
        return {QStringLiteral("la scrittura di %1 non è riuscita: %2").arg(nome, errore)};
    }
    if (prima) {
        if (const EsitoScrittura esito = prima(); !esito.riuscita()) {
            file.cancelWriting();
            return esito;
        }
    }
    if (!file.commit())
        return {QStringLiteral("impossibile salvare %1: %2").arg(nome, file.errorString())};
    return {};
}

StampaFatta stampaCartelle(int serie, const QString &cartellaRegistro, const QString &pdf,
                           const QString &cartellaPdf)
{
    StampaFatta fatta;
    if (serie < 1 || serie > Blocchetto::MassimoSerie) {
        fatta.errore = QStringLiteral("il numero di serie deve essere da 1 a %1").arg(Blocchetto::MassimoSerie);
        return fatta;
    }
    // One batch made at a time, here or in another run: its numbers follow the
    // last ones kept, and it is kept before anyone else reads the file.
    const ArchivioBlocchetti archivio(cartellaRegistro);
    const TurnoArchivio turno = archivio.turno();
    ArchivioBlocchetti::Nuovo nuovo = archivio.prepara(serie, QDate::currentDate(), turno);
    if (!nuovo.errore.isEmpty()) {
        fatta.errore = nuovo.errore;
        return fatta;
    }
    fatta.blocchetto = nuovo.blocchetto;
    fatta.pdf = pdf;
    if (fatta.pdf.isEmpty()) {
        const QString documenti = cartellaPdf.isEmpty() ? cartellaDocumenti() : cartellaPdf;
        QDir().mkpath(documenti);
        fatta.pdf = QDir(documenti).filePath(nomePdf(fatta.blocchetto));
    }
    fatta.pdf = QFileInfo(fatta.pdf).absoluteFilePath();
    fatta.errore = scriviPdf(fatta.blocchetto, fatta.pdf, [&] {
        return EsitoScrittura{archivio.aggiungi(fatta.blocchetto, turno)};
    }).errore;
    return fatta;
}

QString cartellaDocumenti()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool apriConVisore(const QString &percorso)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(percorso));
}
