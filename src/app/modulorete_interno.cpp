// SPDX-License-Identifier: MIT
// Binaries that carry the network code themselves (the tests) need no module.
#include "modulorete.h"

ModuloRete *moduloRete(QString *)
{
    return &moduloReteInterno();
}
