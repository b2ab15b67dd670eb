// SPDX-License-Identifier: MIT
#include "frmverifica.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *testo(const QString &contenuto, int punti, bool grassetto, QWidget *parent)
{
    auto *label = new QLabel(contenuto, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSize(punti);
    font.setBold(grassetto);
    label->setFont(font);
    return label;
}

// Drawn numbers white on dark red, the others black on white, empty places grey:
// told apart at a glance from across a hall, and not by colour alone (bold, a frame).
void coloraCasella(QLabel *casella, int numero, bool estratto)
{
    QString stile = QStringLiteral("QLabel { border: 1px solid black; ");
    if (numero == 0)
        stile += QStringLiteral("background: #d8d8d8; }");
    else if (estratto)
        stile += QStringLiteral("background: #b71c1c; color: white; border: 4px solid black; }");
    else
        stile += QStringLiteral("background: white; color: black; }");
    casella->setStyleSheet(stile);
}

} // namespace

QString frmVerifica::testoRiga(const Verifica &v, int riga)
{
    const QString premio = v.premioRiga.at(std::size_t(riga));
    const QString conta = QStringLiteral("%1 su 5").arg(v.estrattiRiga.at(std::size_t(riga)));
    return premio.isEmpty() ? conta : conta + QStringLiteral(": ") + premio;
}

QString frmVerifica::testoEsito(const Verifica &v)
{
    if (v.tombola)
        return QStringLiteral("TOMBOLA!");
    return v.esito.isEmpty() ? QStringLiteral("Nessun premio") : v.esito.toUpper();
}

QString frmVerifica::testoUltimo(const Verifica &v)
{
    if (v.ultimo == 0)
        return QStringLiteral("Ultimo numero estratto: non noto.");
    const QString dove = v.tabellone ? QStringLiteral("nel blocco") : QStringLiteral("sulla cartella");
    return v.ultimoSullaCartella ? QStringLiteral("Ultimo numero estratto: %1, è %2.").arg(v.ultimo).arg(dove)
                                 : QStringLiteral("Ultimo numero estratto: %1, NON è %2.").arg(v.ultimo).arg(dove);
}

frmVerifica::frmVerifica(const Verifica &v, QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmVerifica"));
    setWindowTitle(QStringLiteral("Controllo cartella"));
    auto *colonna = new QVBoxLayout(this);

    lblTitolo = testo(v.titolo, 16, true, this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    colonna->addWidget(lblTitolo);

    auto *griglia = new QGridLayout;
    griglia->setSpacing(0);
    for (int r = 0; r < RigheCartella; ++r) {
        QList<QLabel *> riga;
        for (int c = 0; c < v.colonne; ++c) {
            const int n = v.numeri[r][c];
            const bool estratto = n != 0 && v.estratto[r][c];
            auto *casella = testo(n ? QString::number(n) : QString(), 26, true, this);
            casella->setAlignment(Qt::AlignCenter);
            casella->setFixedSize(72, 60);
            casella->setAccessibleName(n == 0 ? QStringLiteral("vuota")
                                              : estratto ? QStringLiteral("%1, estratto").arg(n) : QString::number(n));
            coloraCasella(casella, n, estratto);
            griglia->addWidget(casella, r, c);
            riga << casella;
        }
        caselle << riga;
        auto *esito = testo(testoRiga(v, r), 14, true, this);
        esito->setObjectName(QStringLiteral("lblRiga%1").arg(r + 1));
        esito->setContentsMargins(12, 0, 0, 0);
        griglia->addWidget(esito, r, v.colonne);
        lblRighe << esito;
    }
    colonna->addLayout(griglia);

    lblEsito = testo(testoEsito(v), 22, true, this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    lblEsito->setAlignment(Qt::AlignCenter);
    colonna->addWidget(lblEsito);
    lblUltimo = testo(testoUltimo(v), 13, false, this);
    lblUltimo->setObjectName(QStringLiteral("lblUltimo"));
    colonna->addWidget(lblUltimo);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    colonna->addWidget(cmdOK, 0, Qt::AlignRight);
    colonna->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}
