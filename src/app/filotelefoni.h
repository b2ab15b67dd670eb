// SPDX-License-Identifier: MIT
#pragma once

// Whether the phones' server runs on a thread of its own. Where the event loop
// asks the system about every socket at each turn, five hundred phones' sockets
// on the board's thread would slow each turn, and a draw's pop-up takes many:
// there the server gets its own thread. Where the system posts a message for a
// socket that is ready, the phones cost the board's loop nothing while idle,
// and the server stays on the board's thread.
bool serverTelefoniSuFiloProprio();
