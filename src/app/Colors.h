// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the program stores and compares them: 0x00BBGGRR, red in the low byte.
using Bgr = quint32;

inline QColor toQColor(Bgr c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

namespace Colors {
constexpr Bgr Idle = 0x00C0FFC0;    // button off (its design colour)
constexpr Bgr On = 0x00C0FFFF;      // feature on
constexpr Bgr Hover = 0x0080FF80;   // advertising running; an off button under the pointer
constexpr Bgr Pressed = 0x008080FF; // mouse button held down
constexpr Bgr HintActive = 0x000000FF;
constexpr Bgr HintResting = 0x00404040;
} // namespace Colors
