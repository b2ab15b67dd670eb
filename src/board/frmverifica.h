// SPDX-License-Identifier: MIT
#pragma once

#include "premi.h"
#include "verifica.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// The check on the board: a card (or a block of the board) as printed, its
// numbers drawn so far marked, what each row makes, and whether the last
// number drawn is on it. Shown modally over the board, changes nothing; OK,
// Enter or Esc close it.
class frmVerifica : public QDialog
{
    Q_OBJECT

public:
    explicit frmVerifica(const Verifica &verifica, QWidget *proprietario = nullptr);

    // The texts it shows, by row and below the card.
    static QString testoRiga(const Verifica &verifica, int riga);
    static QString testoEsito(const Verifica &verifica);
    static QString testoUltimo(const Verifica &verifica);

    QLabel *lblTitolo = nullptr;
    QList<QList<QLabel *>> caselle; // by row and column, as on the card
    QList<QLabel *> lblRighe;
    QLabel *lblEsito = nullptr;
    QLabel *lblUltimo = nullptr;
    QPushButton *cmdOK = nullptr;

    // With a prize programme, below the card: for each open category it
    // completed, when; the wrong claim told plainly; "Assegna" with the tied
    // cards to tick. `calcola` settles the claim for what the player called
    // (nothing: the lowest open category the card holds).
    using CalcoloReclamo = std::function<Reclamo(std::optional<Categoria> dichiarata)>;
    void mostraReclamo(CalcoloReclamo calcola);
    // The claim as last settled, and the tied cards ticked when "Assegna"
    // closed the window; nothing when it was closed otherwise.
    const Reclamo &reclamo() const { return m_reclamo; }
    std::optional<QList<IdCartella>> assegnazioneScelta() const { return m_scelta; }

    QComboBox *cboDichiarata = nullptr;
    QLabel *lblReclamo = nullptr;
    QLabel *lblErroreReclamo = nullptr;
    QLabel *lblAssegna = nullptr;
    QListWidget *lstPariMerito = nullptr;
    QPushButton *cmdAssegna = nullptr;

private:
    void aggiornaReclamo();

    CalcoloReclamo m_calcola;
    Reclamo m_reclamo;
    std::optional<QList<IdCartella>> m_scelta;
};
