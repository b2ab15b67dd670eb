// SPDX-License-Identifier: MIT
#include "verbale.h"

#include "identita.h"
#include "ordine.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

// One unit is a tenth of a millimetre, as on the printed cards: A4 is 2100 x 2970.
constexpr int Risoluzione = 254;
constexpr int LarghezzaPagina = 2100;
constexpr int AltezzaPagina = 2970;
// 18 mm at the sides, 15 mm above and below: inside what any printer prints.
constexpr int Sinistra = 180;
constexpr int Destra = LarghezzaPagina - 180;
constexpr int Larghezza = Destra - Sinistra;
constexpr int Alto = 150;
constexpr int AltoPiede = AltezzaPagina - 150 - 40; // the footer's line of text
constexpr int Fondo = AltoPiede - 40;               // where the body must end

constexpr int AltezzaRiga = 50;     // a row of a table
constexpr int CarattereRiga = 34;   // its text: about 9.6 points
constexpr int RigaInformazioni = 56;
constexpr int LarghezzaEtichetta = 440;

// The columns of the calls: k, number, time, source.
constexpr int ColonnaK = 160;
constexpr int ColonnaNumero = 220;
constexpr int ColonnaOra = 470;
constexpr int Rientro = 30; // text off the column's edge

QFont carattere(int altezza, bool grassetto = false, bool corsivo = false)
{
    // Arial where there is one; the sans-serif the system has otherwise.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(altezza);
    font.setBold(grassetto);
    font.setItalic(corsivo);
    return font;
}

// The seed is read and typed by people: every digit the same width.
QFont caratterefisso(int altezza)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(altezza);
    return font;
}

// Dates and times spelled the same on every system, whatever its settings.
const QLocale &italiano()
{
    static const QLocale locale(QLocale::Italian, QLocale::Italy);
    return locale;
}

QString testoMomento(const QDateTime &momento)
{
    if (!momento.isValid())
        return QStringLiteral("non noto");
    return QStringLiteral("%1, ore %2")
        .arg(italiano().toString(momento.date(), QStringLiteral("dddd d MMMM yyyy")),
             momento.time().toString(QStringLiteral("HH:mm:ss")));
}

QString testoOra(const QDateTime &quando, const QDate &giorno)
{
    if (!quando.isValid())
        return QStringLiteral("non nota");
    QString ora = quando.time().toString(QStringLiteral("HH:mm:ss"));
    // A game that runs past midnight: the later calls say which day.
    if (quando.date() != giorno)
        ora += QStringLiteral(" del ") + quando.date().toString(QStringLiteral("dd/MM"));
    return ora;
}

QString testoFonte(Fonte fonte)
{
    switch (fonte) {
    case Fonte::Sacchetto:
        return QStringLiteral("sacchetto");
    case Fonte::Computer:
        return QStringLiteral("computer");
    case Fonte::Ignota:
        break;
    }
    return QStringLiteral("non nota");
}

struct Riga {
    QString k, numero, ora, fonte;
    bool ritiro = false;
};

// The table's rows from the story: a withdrawal names the call it undoes.
QList<Riga> righeChiamate(const StoriaPartita &partita)
{
    QList<Riga> righe;
    QHash<int, int> chiamataDi; // number -> its call still on the board
    const QDate giorno = partita.inizio.date();
    for (const Evento &evento : partita.eventi) {
        Riga riga;
        riga.numero = QString::number(evento.numero);
        riga.ora = testoOra(evento.quando, giorno);
        if (evento.tipo == Evento::Tipo::Chiamata) {
            riga.k = QString::number(evento.chiamata);
            riga.fonte = testoFonte(evento.fonte);
            chiamataDi.insert(evento.numero, evento.chiamata);
        } else {
            riga.ritiro = true;
            riga.k = QStringLiteral("—");
            const int annullata = chiamataDi.take(evento.numero);
            riga.fonte = annullata > 0 ? QStringLiteral("ritirato: annullata la chiamata %1").arg(annullata)
                                       : QStringLiteral("ritirato");
        }
        righe.append(riga);
    }
    return righe;
}

struct Conteggi {
    int chiamate = 0, ritiri = 0, sacchetto = 0, computer = 0, ignote = 0;
    int sulTabellone = 0;
};

Conteggi conta(const StoriaPartita &partita)
{
    Conteggi conti;
    conti.chiamate = partita.chiamate();
    conti.sulTabellone = int(partita.sulTabellone().size());
    for (const Evento &evento : partita.eventi) {
        if (evento.tipo == Evento::Tipo::Ritiro)
            ++conti.ritiri;
        else
            ++(evento.fonte == Fonte::Sacchetto  ? conti.sacchetto
               : evento.fonte == Fonte::Computer ? conti.computer
                                                 : conti.ignote);
    }
    return conti;
}

QString testoChiamate(const Conteggi &conti)
{
    QStringList fonti;
    if (conti.sacchetto > 0)
        fonti.append(QStringLiteral("%1 dal sacchetto").arg(conti.sacchetto));
    if (conti.computer > 0)
        fonti.append(QStringLiteral("%1 dal computer").arg(conti.computer));
    if (conti.ignote > 0)
        fonti.append(QStringLiteral("%1 di fonte non nota").arg(conti.ignote));
    QString testo = QString::number(conti.chiamate);
    if (!fonti.isEmpty())
        testo += QStringLiteral(": ") + fonti.join(QStringLiteral(", "));
    return testo;
}

// Lays the minutes out page by page. Run once without a painter to count the
// pages (each footer says "Pagina n di m"), then again to draw them.
class Impaginatore
{
public:
    Impaginatore(const StoriaPartita &partita, QPdfWriter *scrittore, int pagine)
        : m_partita(partita), m_scrittore(scrittore), m_pagine(pagine)
    {
        if (m_scrittore)
            m_p.begin(m_scrittore);
    }

    int impagina()
    {
        intestazione();
        informazioni();
        chiamate();
        premi();
        firme();
        piede();
        return m_pagina;
    }

private:
    bool disegna() const { return m_scrittore != nullptr; }

    void testo(const QRect &dove, int allineamento, const QString &cosa, const QFont &font)
    {
        if (!disegna())
            return;
        m_p.setFont(font);
        m_p.setPen(Qt::black);
        m_p.drawText(dove, allineamento | Qt::AlignVCenter, cosa);
    }

    void linea(int y, int spessore = 3, int da = Sinistra, int a = Destra)
    {
        if (!disegna())
            return;
        m_p.setPen(QPen(Qt::black, spessore));
        m_p.drawLine(da, y, a, y);
    }

    // Room for altezza more units on this page, or a new page.
    bool spazio(int altezza)
    {
        if (m_y + altezza <= Fondo)
            return false;
        piede();
        if (disegna())
            m_scrittore->newPage();
        ++m_pagina;
        m_y = Alto;
        return true;
    }

    void piede()
    {
        const QRect riga(Sinistra, AltoPiede, Larghezza, 40);
        linea(AltoPiede - 8, 2);
        QString sinistra = QStringLiteral("Verbale di estrazione – %1").arg(QString::fromUtf8(Identita::Titolo));
        if (!m_partita.seme.isEmpty())
            sinistra += QStringLiteral(" – impronta del seme %1").arg(improntaSeme(m_partita.seme));
        testo(riga, Qt::AlignLeft, sinistra, carattere(26));
        testo(riga, Qt::AlignRight, QStringLiteral("Pagina %1 di %2").arg(m_pagina).arg(m_pagine), carattere(26));
    }

    void intestazione()
    {
        testo(QRect(Sinistra, m_y, Larghezza, 110), Qt::AlignLeft, QStringLiteral("Verbale di estrazione"),
              carattere(85, true));
        m_y += 115;
        testo(QRect(Sinistra, m_y, Larghezza, 60), Qt::AlignLeft,
              QStringLiteral("%1 – %2").arg(QString::fromUtf8(Identita::Titolo), Identita::testoVersione()),
              carattere(42));
        m_y += 75;
        linea(m_y, 6);
        m_y += 30;
    }

    void informazione(const QString &etichetta, const QString &valore, const QFont &font = carattere(36))
    {
        testo(QRect(Sinistra, m_y, LarghezzaEtichetta, RigaInformazioni), Qt::AlignLeft, etichetta,
              carattere(36, true));
        testo(QRect(Sinistra + LarghezzaEtichetta, m_y, Larghezza - LarghezzaEtichetta, RigaInformazioni),
              Qt::AlignLeft, valore, font);
        m_y += RigaInformazioni;
    }

    void nota(const QString &cosa)
    {
        testo(QRect(Sinistra, m_y, Larghezza, RigaInformazioni), Qt::AlignLeft, cosa, carattere(32, false, true));
        m_y += RigaInformazioni;
    }

    void informazioni()
    {
        informazione(QStringLiteral("Inizio della partita:"), testoMomento(m_partita.inizio));
        informazione(QStringLiteral("Fine della partita:"),
                     m_partita.chiusa() ? testoMomento(m_partita.fine) : QStringLiteral("partita in corso"));
        const Conteggi conti = conta(m_partita);
        informazione(QStringLiteral("Chiamate:"), testoChiamate(conti));
        informazione(QStringLiteral("Ritiri:"), QString::number(conti.ritiri));
        informazione(QStringLiteral("Sul tabellone:"), QStringLiteral("%1 numeri").arg(conti.sulTabellone));
        if (m_partita.seme.isEmpty()) {
            informazione(QStringLiteral("Impronta del seme:"), QStringLiteral("nessuna: partita senza seme"));
        } else {
            informazione(QStringLiteral("Impronta del seme:"), improntaSeme(m_partita.seme), caratterefisso(38));
            if (m_partita.chiusa()) {
                informazione(QStringLiteral("Seme:"), QString::fromLatin1(m_partita.seme.toHex()), caratterefisso(30));
                nota(QStringLiteral("Per verificare l'ordine del computer: python3 tools/ordine_estrazione.py <seme>"));
                nota(QStringLiteral("(la procedura è spiegata nel README del programma)."));
            } else {
                nota(QStringLiteral("Il seme sarà rivelato alla chiusura della partita; la sua impronta, qui sopra,"));
                nota(QStringLiteral("permetterà allora di controllarlo."));
            }
        }
        m_y += 40;
    }

    void titolo(const QString &cosa)
    {
        testo(QRect(Sinistra, m_y, Larghezza, 70), Qt::AlignLeft, cosa, carattere(46, true));
        m_y += 80;
    }

    void intestazioneChiamate()
    {
        int x = Sinistra;
        const QFont font = carattere(CarattereRiga, true);
        testo(QRect(x, m_y, ColonnaK - Rientro, AltezzaRiga), Qt::AlignRight, QStringLiteral("N."), font);
        x += ColonnaK;
        testo(QRect(x, m_y, ColonnaNumero - Rientro, AltezzaRiga), Qt::AlignRight, QStringLiteral("Numero"), font);
        x += ColonnaNumero;
        testo(QRect(x + Rientro, m_y, ColonnaOra, AltezzaRiga), Qt::AlignLeft, QStringLiteral("Ora"), font);
        x += ColonnaOra;
        testo(QRect(x, m_y, Destra - x, AltezzaRiga), Qt::AlignLeft, QStringLiteral("Fonte"), font);
        m_y += AltezzaRiga;
        linea(m_y, 4);
    }

    void chiamate()
    {
        titolo(QStringLiteral("Chiamate"));
        intestazioneChiamate();
        const QList<Riga> righe = righeChiamate(m_partita);
        if (righe.isEmpty()) {
            testo(QRect(Sinistra + Rientro, m_y, Larghezza, AltezzaRiga), Qt::AlignLeft,
                  QStringLiteral("Nessuna chiamata"), carattere(CarattereRiga, false, true));
            m_y += AltezzaRiga;
        }
        for (qsizetype i = 0; i < righe.size(); ++i) {
            if (spazio(AltezzaRiga)) {
                titolo(QStringLiteral("Chiamate (segue)"));
                intestazioneChiamate();
            }
            const Riga &riga = righe.at(i);
            // Every other row shaded, so a finger can follow a line across.
            if (disegna() && i % 2 == 1)
                m_p.fillRect(QRect(Sinistra, m_y, Larghezza, AltezzaRiga), QColor(235, 235, 235));
            const QFont font = carattere(CarattereRiga, false, riga.ritiro);
            int x = Sinistra;
            testo(QRect(x, m_y, ColonnaK - Rientro, AltezzaRiga), Qt::AlignRight, riga.k, font);
            x += ColonnaK;
            testo(QRect(x, m_y, ColonnaNumero - Rientro, AltezzaRiga), Qt::AlignRight, riga.numero,
                  carattere(CarattereRiga, true, riga.ritiro));
            x += ColonnaNumero;
            testo(QRect(x + Rientro, m_y, ColonnaOra, AltezzaRiga), Qt::AlignLeft, riga.ora, font);
            x += ColonnaOra;
            testo(QRect(x, m_y, Destra - x, AltezzaRiga), Qt::AlignLeft, riga.fonte, font);
            m_y += AltezzaRiga;
        }
        linea(m_y, 2);
        m_y += 60;
    }

    void premi()
    {
        // The heading, the columns and the one line below stay together.
        spazio(80 + 2 * AltezzaRiga);
        titolo(QStringLiteral("Premi"));
        const QFont font = carattere(CarattereRiga, true);
        const int colonna = Larghezza / 4;
        const QStringList intestazioni{QStringLiteral("Premio"), QStringLiteral("Cartella"),
                                       QStringLiteral("Chiamata"), QStringLiteral("Ora")};
        for (int c = 0; c < intestazioni.size(); ++c)
            testo(QRect(Sinistra + c * colonna + Rientro, m_y, colonna - Rientro, AltezzaRiga), Qt::AlignLeft,
                  intestazioni.at(c), font);
        m_y += AltezzaRiga;
        linea(m_y, 4);
        testo(QRect(Sinistra + Rientro, m_y, Larghezza, AltezzaRiga), Qt::AlignLeft,
              QStringLiteral("Nessun premio assegnato"), carattere(CarattereRiga, false, true));
        m_y += AltezzaRiga;
        linea(m_y, 2);
        m_y += 60;
    }

    void firme()
    {
        // Both signatures on the page that has room for them, side by side.
        constexpr int SpazioFirma = 170;
        spazio(SpazioFirma + 60);
        m_y += SpazioFirma;
        const int meta = Larghezza / 2;
        const QStringList chi{QStringLiteral("Il responsabile dell'estrazione"),
                              QStringLiteral("Il delegato del sindaco")};
        for (int i = 0; i < chi.size(); ++i) {
            const int da = Sinistra + i * meta + 40, a = Sinistra + (i + 1) * meta - 40;
            linea(m_y, 3, da, a);
            testo(QRect(da, m_y + 8, a - da, 50), Qt::AlignHCenter, chi.at(i), carattere(32));
        }
        m_y += 60;
    }

    const StoriaPartita &m_partita;
    QPdfWriter *m_scrittore;
    QPainter m_p;
    int m_pagine;
    int m_pagina = 1;
    int m_y = Alto;
};

} // namespace

QString nomeVerbale(const QDateTime &momento)
{
    return QStringLiteral("Verbale tombola %1.pdf").arg(momento.toString(QStringLiteral("yyyy-MM-dd HH.mm")));
}

const StoriaPartita &partitaDelVerbale(const Storia &storia)
{
    if (storia.corrente.vuota() && storia.precedente)
        return *storia.precedente;
    return storia.corrente;
}

QByteArray pdfVerbale(const StoriaPartita &partita)
{
    const int pagine = Impaginatore(partita, nullptr, 0).impagina();
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter scrittore(&buffer);
        scrittore.setResolution(Risoluzione);
        scrittore.setPageSize(QPageSize(QPageSize::A4));
        scrittore.setPageMargins(QMarginsF(0, 0, 0, 0));
        // What a viewer shows as the document's name: never the seed.
        QString titolo = QStringLiteral("Verbale di estrazione");
        if (partita.inizio.isValid())
            titolo += QStringLiteral(" del ") + partita.inizio.date().toString(QStringLiteral("dd/MM/yyyy"));
        scrittore.setTitle(titolo);
        scrittore.setCreator(QString::fromUtf8(Identita::Titolo));
        Impaginatore(partita, &scrittore, pagine).impagina();
    }
    return pdf;
}

EsitoScrittura scriviVerbale(const StoriaPartita &partita, const QString &percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    if (QFileInfo(percorso).isDir())
        return {QStringLiteral("%1 è una cartella").arg(nome)};
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return {QStringLiteral("impossibile creare %1: %2").arg(nome, file.errorString())};
    const QByteArray pdf = pdfVerbale(partita);
    // Flushed by hand: commit() misses a buffered write that failed, and would put a cut file in place.
    if (pdf.isEmpty() || file.write(pdf) != pdf.size() || !file.flush()) {
        const QString errore = file.errorString();
        file.cancelWriting();
        return {QStringLiteral("la scrittura di %1 non è riuscita: %2").arg(nome, errore)};
    }
    if (!file.commit())
        return {QStringLiteral("impossibile salvare %1: %2").arg(nome, file.errorString())};
    return {};
}
