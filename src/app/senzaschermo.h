// SPDX-License-Identifier: MIT
#pragma once

// Lets a GUI application start for work that only draws into files, also
// where there is no screen at all. With serveSchermo the usual platform is
// kept when there is a screen, to open a viewer afterwards; messages reach
// the console the program was started from. Call before the
// application object is built; a platform the user chose is left alone.
void preparaPiattaformaPerFile(bool serveSchermo);
