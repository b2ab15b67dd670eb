// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

// The QR code of a text, one pixel a module, with the four-module margin
// readers need; a null image when the text does not fit.
QImage immagineQr(const QString &testo);

// Over the whole board: the page's address as a large QR code with the
// address written under it. Tab shows the next address when there are
// several; any other key or a click closes it.
class frmCodiceTelefoni : public QWidget
{
    Q_OBJECT

public:
    frmCodiceTelefoni(QStringList indirizzi, QWidget *tabellone);

    QString indirizzo() const { return m_indirizzi.value(m_scelto); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    void chiudi();

    QStringList m_indirizzi;
    int m_scelto = 0;
    QImage m_qr;
};
