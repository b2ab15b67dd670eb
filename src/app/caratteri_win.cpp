// SPDX-License-Identifier: MIT
// Windows keeps its font list in the system: nothing to read ahead.
#include "caratteri.h"

PreparazioneCaratteri::PreparazioneCaratteri() = default;

PreparazioneCaratteri::~PreparazioneCaratteri() = default;

void PreparazioneCaratteri::attendi()
{
}
