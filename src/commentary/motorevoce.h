// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <memory>

// The platform's speech engine, built and used only on the voice's own thread:
// each call may wait on a service that answers late or never.
class MotoreVoce
{
public:
    virtual ~MotoreVoce() = default;
    // Cuts short whatever is being said and starts testo without waiting for it to end.
    virtual void di(const QString &testo) = 0;
};

// An engine with an Italian voice, or nullptr with motivo saying why not (in
// Italian, for the switch's tooltip). guasto is called, on the voice's thread,
// if the engine stops working later.
std::unique_ptr<MotoreVoce> creaMotoreVoce(QString &motivo, std::function<void(const QString &)> guasto);

namespace TestiVoce {
inline constexpr auto SenzaMotore = "Annuncio a voce non disponibile: manca il motore di sintesi vocale";
inline constexpr auto SenzaItaliano = "Annuncio a voce non disponibile: non c'è una voce italiana installata.";
inline constexpr auto NonRisponde = "Annuncio a voce non disponibile: il servizio di sintesi vocale non risponde.";
inline constexpr auto Interrotto = "Annuncio a voce interrotto: il servizio di sintesi vocale ha smesso di rispondere.";
} // namespace TestiVoce
