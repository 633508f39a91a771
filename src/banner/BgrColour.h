// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QColor>
#include <QRgb>
#include <QtGlobal>

#include <array>

// Colours as the banner keeps them: 0x00BBGGRR, red in the low byte.
namespace BgrColour {
constexpr quint32 Black = 0x00000000;
constexpr quint32 Yellow = 0x0000FFFF;
constexpr quint32 Green = 0x0000FF00;
constexpr quint32 Cyan = 0x00FFFF00;

constexpr int red(quint32 bgr) {
    return int(bgr % 256);
}
constexpr int green(quint32 bgr) {
    return int((bgr & 0xFF00) / 256);
}
constexpr int blue(quint32 bgr) {
    return int((bgr & 0xFF0000) / 65536);
}
constexpr quint32 fromRgb(int r, int g, int b) {
    return quint32(r) + quint32(g) * 256 + quint32(b) * 65536;
}

constexpr QRgb toQRgb(quint32 bgr) {
    return qRgb(red(bgr), green(bgr), blue(bgr));
}
inline QColor toQColor(quint32 bgr) {
    return QColor(red(bgr), green(bgr), blue(bgr));
}

// Ramp(0) is the back colour and Ramp(100) the text colour; the fade bands pick from it.
constexpr int RampSteps = 100;
using Ramp = std::array<quint32, RampSteps + 1>;
Ramp makeRamp(quint32 back, quint32 fore);
} // namespace BgrColour
