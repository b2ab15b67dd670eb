// SPDX-License-Identifier: MIT
// Platforms without a registry: the system-information tool is never found.
#include "infosistema.h"

std::unique_ptr<AccessoRegistro> registroDiSistema()
{
    return nullptr;
}
