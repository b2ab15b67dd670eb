// SPDX-License-Identifier: MIT
#pragma once

#include <thread>

class QString;

// The system's font configuration read on another processor while the rest
// of the start goes on, so the first window finds it ready instead of reading
// it when it first measures a text. Waited for when destroyed.
class PreparazioneCaratteri
{
public:
    PreparazioneCaratteri();
    ~PreparazioneCaratteri();
    // Before the first text is measured: fontconfig does not wait for a
    // reading under way, it would start its own.
    void attendi();
    PreparazioneCaratteri(const PreparazioneCaratteri &) = delete;
    PreparazioneCaratteri &operator=(const PreparazioneCaratteri &) = delete;

private:
    std::thread m_filo;
};

// The board asks for its fonts by name; where those are missing (any Linux
// desktop, most Windows ones) close free faces stand in for them. Those that
// come with the program (the Windows zip and installer carry them in the
// folder "caratteri" beside the executable) are loaded from there, only for a
// face the system lacks.
void registraSostituti(const QString &cartellaProgramma);
