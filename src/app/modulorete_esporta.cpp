// SPDX-License-Identifier: MIT
// The module's one entry point, looked up by name by the program.
#include "modulorete.h"

extern "C" Q_DECL_EXPORT ModuloRete *tabellone_modulo_rete()
{
    return &moduloReteInterno();
}
