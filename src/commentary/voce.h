// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Something that says a number aloud as its pop-up opens. The game flow only
// hands it the text; how it is spoken (and whether it can be) is its own affair.
class Voce
{
public:
    virtual ~Voce() = default;
    // Starts saying testo and returns at once; whatever is still being said is
    // replaced. Never blocks and never asks the user anything.
    virtual void annuncia(const QString &testo) = 0;
};
