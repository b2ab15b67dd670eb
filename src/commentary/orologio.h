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
