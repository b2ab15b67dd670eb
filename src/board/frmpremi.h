// SPDX-License-Identifier: MIT
#pragma once

#include "premi.h"

#include <QDialog>

#include <array>
#include <optional>

class Partita;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class Richieste;

// The prizes the game plays for: how many of each category (0: not played)
// and what each is, a text or an amount ("un prosciutto; 50 €": one per
// prize, the last one for the prizes left), or a pot split by a percentage
// per category, its amounts shown as they will be given. OK keeps it as this
// game's programme and the next games' default; a refusal is told and the
// window stays.
class frmPremi : public QDialog
{
    Q_OBJECT

public:
    frmPremi(Partita &partita, Richieste &richieste, QWidget *proprietario = nullptr);

    // The programme as written so far; nothing while the pot cannot be read.
    std::optional<Programma> programma() const;
    // A category's prizes as the field shows them, and back.
    static QString testoPremi(const QList<Premio> &premi);
    static QList<Premio> leggiPremi(const QString &testo, int quanti);

    std::array<QSpinBox *, NumeroCategorie> spnQuanti{};
    std::array<QLineEdit *, NumeroCategorie> txtPremi{};
    std::array<QDoubleSpinBox *, NumeroCategorie> spnQuota{};
    std::array<QLabel *, NumeroCategorie> lblImporti{};
    QLineEdit *txtMontepremi = nullptr;
    QCheckBox *chkTabellone = nullptr;
    QLabel *lblTotale = nullptr;
    QLabel *lblErrore = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnulla = nullptr;

private:
    void aggiorna();
    void conferma();

    Partita &m_partita;
    Richieste &m_richieste;
};

// Opens the programme window over `proprietario`; true when a programme was kept.
bool apriProgrammaPremi(Partita &partita, Richieste &richieste, QWidget *proprietario);
