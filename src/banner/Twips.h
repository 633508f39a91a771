// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QPointF>

// The banner lays its text out in twips (1/1440 inch) and turns them into pixels only when it
// draws, so that the layout does not depend on the screen it ends up on.
namespace Twips {
constexpr double PerPixelAt96Dpi = 15.0;

constexpr double toPixels(double twips, double twipsPerPixel) {
    return twips / twipsPerPixel;
}
constexpr double fromPixels(double pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}
inline QPointF toPixels(QPointF twips, double twipsPerPixel) {
    return twips / twipsPerPixel;
}
} // namespace Twips
