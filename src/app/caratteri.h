// SPDX-License-Identifier: MIT
#pragma once

class QString;

// The board asks for its fonts by name; where those are missing (any Linux
// desktop, most Windows ones) close free faces stand in for them. Those that
// come with the program (the Windows zip and installer carry them in the
// folder "caratteri" beside the executable) are loaded from there, only for a
// face the system lacks.
void registraSostituti(const QString &cartellaProgramma);
