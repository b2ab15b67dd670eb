// SPDX-License-Identifier: MIT
#include "filotelefoni.h"

// Qt's loop here is told of a ready socket by a window message. A second
// thread would also cost something here: the C++ runtime's teardown at exit
// sometimes waited for ever on a lock of its thread library (seen under Wine,
// three runs in thirty-five), and the program did not end.
bool serverTelefoniSuFiloProprio()
{
    return false;
}
