// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

// Every float-to-integer step of the banner rounds half to even, as the banner always has: with
// half away from zero the fade bands and colour steps come out one unit off. Written out instead
// of std::nearbyint so that it does not depend on the current floating-point rounding mode.
inline int roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    const double lower = std::floor(value);
    const double fraction = value - lower; // exact: both lie in the same binade or below
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        rounded = lower + 1.0;
    return static_cast<int>(std::clamp(rounded, double(INT_MIN), double(INT_MAX)));
}
