// SPDX-License-Identifier: MIT
#pragma once

// Lets a GUI application start where there may be no screen at all, for work
// that only draws into files. Call before the application object is built.
void impostaPiattaformaSenzaSchermo();
