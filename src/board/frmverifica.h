// SPDX-License-Identifier: MIT
#pragma once

#include "verifica.h"

#include <QDialog>
#include <QList>

class QLabel;
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
};
