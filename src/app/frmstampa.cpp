// SPDX-License-Identifier: MIT
#include "frmstampa.h"

#include "blocchetto.h"
#include "richieste.h"
#include "stampa.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ServiziStampa serviziStampaDiSistema()
{
    return {cartellaDocumenti(), apriConVisore};
}

frmStampa::frmStampa(Richieste &richieste, QString cartellaRegistro, ServiziStampa servizi, QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                                | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_richieste(richieste)
    , m_cartellaRegistro(std::move(cartellaRegistro))
    , m_servizi(std::move(servizi))
{
    setObjectName(QStringLiteral("frmStampa"));
    setWindowTitle(QStringLiteral("Stampa cartelle"));

    auto *domanda = new QLabel(QStringLiteral("Quante serie di 6 cartelle (da 1 a %1)?").arg(Blocchetto::MassimoSerie),
                               this);
    txtSerie = new QSpinBox(this);
    txtSerie->setObjectName(QStringLiteral("txtSerie"));
    txtSerie->setRange(1, Blocchetto::MassimoSerie);
    txtSerie->setValue(10);
    txtSerie->setAccessibleName(QStringLiteral("Numero di serie"));
    domanda->setBuddy(txtSerie);

    cmdCrea = new QPushButton(QStringLiteral("Crea il PDF delle cartelle"), this);
    cmdCrea->setObjectName(QStringLiteral("cmdCrea"));
    cmdCrea->setDefault(true);
    connect(cmdCrea, &QPushButton::clicked, this, &frmStampa::crea);

    lblPercorso = new QLabel(this);
    lblPercorso->setObjectName(QStringLiteral("lblPercorso"));
    lblPercorso->setTextFormat(Qt::PlainText);
    lblPercorso->setWordWrap(true);
    lblPercorso->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblPercorso->setText(QStringLiteral("Le cartelle continuano la numerazione dei blocchetti già creati; "
                                        "il PDF va nella cartella Documenti."));

    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);

    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(domanda);
    colonna->addWidget(txtSerie);
    colonna->addWidget(cmdCrea);
    colonna->addWidget(lblPercorso);
    colonna->addWidget(cmdChiudi, 0, Qt::AlignRight);
    setMinimumWidth(420);
    colonna->setSizeConstraint(QLayout::SetFixedSize);
    txtSerie->setFocus();
}

void frmStampa::crea()
{
    txtSerie->interpretText();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const StampaFatta fatta = stampaCartelle(txtSerie->value(), m_cartellaRegistro, {}, m_servizi.documenti);
    QApplication::restoreOverrideCursor();
    if (!fatta.errore.isEmpty()) {
        lblPercorso->setText(QStringLiteral("Nessun PDF creato."));
        m_richieste.messaggio(this, QStringLiteral("Le cartelle non sono state create: %1.").arg(fatta.errore),
                              Richieste::Pulsanti::Ok, windowTitle());
        return;
    }
    const Blocchetto &b = fatta.blocchetto;
    QString testo = QStringLiteral("Blocchetto %1: %2 serie, cartelle da %3 a %4.\nSalvato in:\n%5")
                        .arg(b.codice)
                        .arg(b.serie)
                        .arg(b.primaCartella)
                        .arg(b.ultimaCartella())
                        .arg(QDir::toNativeSeparators(fatta.pdf));
    if (!m_servizi.apri || !m_servizi.apri(fatta.pdf))
        testo += QStringLiteral("\nNon si è aperto: aprilo con un lettore di PDF per stamparlo.");
    lblPercorso->setText(testo);
}
