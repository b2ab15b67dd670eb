// SPDX-License-Identifier: MIT
#pragma once

// The board asks for its fonts by name; where those are missing (any Linux
// desktop) close free faces stand in for them.
void registraSostituti();
