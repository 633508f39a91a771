// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// A sound device driven by command strings, as the greeting has always been played:
// "open \"path\" alias med", "set med time format milliseconds", "play med", "status med mode"
// (replies "playing", "paused" or "stopped"), "close all". The reply of "open" is "1" when the
// file could be opened and empty otherwise.
class Mci {
public:
    virtual ~Mci() = default;
    virtual QString send(const QString& command) = 0;
};
