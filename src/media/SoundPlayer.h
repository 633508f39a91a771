// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// Where the greeting is heard: one sound at a time.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays a file from its start, stopping whatever played before; false when the file is not there.
    virtual bool play(const QString& path) = 0;
    // A sound is playing (or paused). A file that cannot be decoded never counts as playing.
    virtual bool playing() = 0;
    virtual void stop() = 0;
};
