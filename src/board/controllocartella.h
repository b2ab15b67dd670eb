// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class Partita;
class QWidget;
class Richieste;

// F5 on the board: asks for a card, shows it checked (frmVerifica) and, when
// the game plays for prizes, settles the claim there. A prize given with
// "Assegna" is kept in the game's story, then shown over the board and said.
// Without a programme it is the plain check: nothing in the game changes.
void controllaCartella(Partita &partita, Richieste &richieste, const QString &cartellaRegistro, QWidget *tabellone);
