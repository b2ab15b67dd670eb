// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The number in Italian words, 1 to 90 ("uno", "ventotto", "trentatré",
// "novanta"); empty outside that range.
QString paroleNumero(int n);

// What the voice says when number n is drawn: the number in words and, if the
// comment is not empty, the comment as a spoken sentence ("Sette. Le corna.").
// The comment's shown text is not touched; only the spoken copy is rewritten.
QString testoAnnuncio(int numero, const QString &commento);
