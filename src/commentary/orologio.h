// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTime>

// The clock column: eleven lines joined by a lone line feed, reading down
// "sono", " le ", "ore", the hour, "min", the minutes, "sec", the seconds.
QString testoOrologio(const QTime &ora);

// The text moved one character to the left, the first character going to the
// end: a text of n characters is back to itself after n calls.
QString ruota(const QString &testo);

// What the message column's label is given at a tick: enough of the scrolling
// text to fill `righe` lines when no line can hold more than
// `caratteriPerRiga` characters other than blanks, so the label lays out what
// can show, not the whole message. A word longer than a whole line gets an
// invisible break opportunity (U+200B) after each character, so it wraps
// instead of running off both sides of the column. A text that fits comes
// back unchanged, and so does any text when either bound is not positive.
QString testoColonnaVisibile(const QString &testo, int caratteriPerRiga, int righe);
