// SPDX-License-Identifier: MIT
// Fontconfig parses its configuration files once per process, a good part of
// what a first window costs; it may be done on any thread, and once done the
// main thread's first text only looks the fonts up.
#include "caratteri.h"

#include <fontconfig/fontconfig.h>

PreparazioneCaratteri::PreparazioneCaratteri()
    : m_filo([] { FcInit(); })
{
}

PreparazioneCaratteri::~PreparazioneCaratteri()
{
    attendi();
}

void PreparazioneCaratteri::attendi()
{
    if (m_filo.joinable())
        m_filo.join();
}
