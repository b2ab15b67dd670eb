// SPDX-License-Identifier: MIT
#pragma once

#include "premi.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QTimer;

// A prize given, announced over the board: a banner across its middle with the
// category, the card(s) and the share, large enough for the back of the room.
// It goes by itself after a few seconds, or at the first key or click, which
// it takes (the space that closes it draws nothing). The board underneath is
// left as it was: the banner is a child that only covers it, then goes away.
class frmVincita : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DurataMs = 6000;

    frmVincita(const Assegnazione &assegnazione, int premiDellaCategoria, QWidget *tabellone,
               int durataMs = DurataMs);
    ~frmVincita() override;

    // The three lines shown: "CINQUINA!", "cartella 67 e tabellone 3", "12,50 € ciascuno".
    static QStringList righe(const Assegnazione &assegnazione, int premiDellaCategoria);
    const QStringList &righe() const { return m_righe; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *oggetto, QEvent *evento) override;
    void hideEvent(QHideEvent *event) override;

private:
    void colloca();

    QStringList m_righe;
    QTimer *m_durata = nullptr;
    QPointer<QWidget> m_fuocoPrima; // the keys go back where they went

};

// Shows the banner over the board and returns it; it deletes itself once gone.
frmVincita *mostraVincita(const Assegnazione &assegnazione, int premiDellaCategoria, QWidget *tabellone);
