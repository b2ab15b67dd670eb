// SPDX-License-Identifier: MIT
#include "frmvincita.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

// The largest bold font, in pixels, at which `testo` fits the box.
QFont carattereCheEntra(const QString &testo, const QSize &spazio)
{
    QFont font(QStringLiteral("Arial Rounded MT Bold"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    int lato = std::max(8, spazio.height());
    for (; lato > 8; lato = lato * 9 / 10) {
        font.setPixelSize(lato);
        const QFontMetrics misure(font);
        if (misure.horizontalAdvance(testo) <= spazio.width() && misure.height() <= spazio.height())
            break;
    }
    font.setPixelSize(lato);
    return font;
}

QString elenco(const QStringList &nomi)
{
    if (nomi.size() < 2)
        return nomi.join(QString());
    return nomi.mid(0, nomi.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ") + nomi.constLast();
}

} // namespace

QStringList frmVincita::righe(const Assegnazione &a, int premiDellaCategoria)
{
    QString titolo = nomeCategoria(a.categoria).toUpper() + QLatin1Char('!');
    if (premiDellaCategoria > 1)
        titolo += QStringLiteral("  (premio %1 di %2)").arg(a.numero + 1).arg(premiDellaCategoria);
    QStringList nomi;
    for (const Vincitore &v : a.vincitori)
        nomi.append(v.cartella.nome());
    QString quota;
    const QList<qint64> quote = a.quote();
    if (quote.size() > 1 && std::all_of(quote.begin(), quote.end(), [&](qint64 q) { return q == quote.first(); }))
        quota = testoEuro(quote.first()) + QStringLiteral(" ciascuno");
    else if (quote.size() > 1) {
        QStringList parti;
        for (const qint64 q : quote)
            parti.append(testoEuro(q));
        quota = parti.join(QStringLiteral(" / "));
    } else {
        quota = testoPremio(a.premio);
        if (a.vincitori.size() > 1)
            quota += QStringLiteral(", a pari merito");
    }
    QString chi = elenco(nomi);
    if (!chi.isEmpty())
        chi[0] = chi[0].toUpper();
    return {titolo, chi, quota};
}

frmVincita::frmVincita(const Assegnazione &assegnazione, int premiDellaCategoria, QWidget *tabellone, int durataMs)
    : QWidget(tabellone), m_righe(righe(assegnazione, premiDellaCategoria))
{
    setObjectName(QStringLiteral("frmVincita"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(m_righe.join(QLatin1Char(' ')));
    m_fuocoPrima = QApplication::focusWidget();
    m_durata = new QTimer(this);
    m_durata->setSingleShot(true);
    connect(m_durata, &QTimer::timeout, this, &QWidget::close);
    m_durata->start(durataMs);
    colloca();
    if (tabellone)
        tabellone->installEventFilter(this);
    qApp->installEventFilter(this);
}

frmVincita::~frmVincita()
{
    qApp->removeEventFilter(this);
}

void frmVincita::colloca()
{
    const QWidget *tabellone = parentWidget();
    if (!tabellone)
        return;
    // A banner across the board's middle: wide, and tall enough to read from afar.
    const QRect area = tabellone->rect();
    const int margine = area.width() / 20;
    const int altezza = std::max(60, area.height() * 45 / 100);
    setGeometry(area.x() + margine, area.y() + (area.height() - altezza) / 2, area.width() - 2 * margine, altezza);
}

bool frmVincita::eventFilter(QObject *oggetto, QEvent *evento)
{
    switch (evento->type()) {
    case QEvent::Resize:
        if (oggetto == parentWidget())
            colloca();
        break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Only what is meant for the board's window: a message box of another part stays usable.
        if (auto *w = qobject_cast<QWidget *>(oggetto); w && parentWidget() && w->window() == parentWidget()->window()) {
            close();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(oggetto, evento);
}

void frmVincita::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    qApp->removeEventFilter(this);
    if (m_fuocoPrima)
        m_fuocoPrima->setFocus();
}

void frmVincita::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect();
    const int bordo = std::max(4, r.height() / 40);
    p.fillRect(r, QColor(0x1b, 0x5e, 0x20));
    p.setPen(QPen(QColor(0xff, 0xd6, 0x00), bordo));
    p.drawRect(r.adjusted(bordo / 2, bordo / 2, -bordo / 2, -bordo / 2));
    // The category the largest, then who won, then what.
    const QRect dentro = r.adjusted(3 * bordo, 2 * bordo, -3 * bordo, -2 * bordo);
    const std::array<int, 3> pesi = {5, 4, 3};
    const int totale = 12;
    int y = dentro.top();
    for (int i = 0; i < int(m_righe.size()) && i < 3; ++i) {
        const int alto = dentro.height() * pesi[std::size_t(i)] / totale;
        const QRect riga(dentro.left(), y, dentro.width(), alto);
        p.setFont(carattereCheEntra(m_righe.at(i), riga.size()));
        p.setPen(i == 0 ? QColor(0xff, 0xd6, 0x00) : Qt::white);
        p.drawText(riga, Qt::AlignCenter, m_righe.at(i));
        y += alto;
    }
}

frmVincita *mostraVincita(const Assegnazione &assegnazione, int premiDellaCategoria, QWidget *tabellone)
{
    auto *vincita = new frmVincita(assegnazione, premiDellaCategoria, tabellone);
    vincita->show();
    vincita->raise();
    vincita->setFocus();
    return vincita;
}
