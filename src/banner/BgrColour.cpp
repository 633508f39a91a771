// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BgrColour.h"

#include "banner/Rounding.h"

namespace BgrColour {

namespace {
int step(int c0, int c1, int i) {
    // Divide first, then multiply: (c1 - c0) / 100 is inexact in binary, and the ramp's middle
    // steps depend on it (255 / 100 x 50 rounds to 127, not 128).
    return std::max(0, roundHalfEven(c0 + double(c1 - c0) / RampSteps * i));
}
} // namespace

Ramp makeRamp(quint32 back, quint32 fore) {
    Ramp ramp{};
    for (int i = 0; i <= RampSteps; ++i)
        ramp[i] = fromRgb(step(red(back), red(fore), i), step(green(back), green(fore), i),
                          step(blue(back), blue(fore), i));
    return ramp;
}

} // namespace BgrColour
