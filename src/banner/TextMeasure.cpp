// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/TextMeasure.h"

#include "banner/Twips.h"

namespace {
constexpr double PointSize = 36.0;
constexpr double TwipsPerPoint = 20.0;
} // namespace

QFont bannerFont(double twipsPerPixel) {
    QFont font;
    // Lucida Sans Unicode is rarely installed here; the others are close in width and shape.
    font.setFamilies({QStringLiteral("Lucida Sans Unicode"), QStringLiteral("Lucida Sans"),
                      QStringLiteral("Lucida Grande"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Verdana")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setPixelSize(qMax(1, qRound(Twips::toPixels(PointSize * TwipsPerPoint, twipsPerPixel))));
    return font;
}

FontTextMeasure::FontTextMeasure(const QFont& font, double twipsPerPixel)
    : m_metrics(font)
    , m_twipsPerPixel(twipsPerPixel) {}

double FontTextMeasure::textHeight(const QString&) const {
    // One line, leading included: the height by which each printed line moves down.
    return Twips::fromPixels(m_metrics.lineSpacing(), m_twipsPerPixel);
}

double FontTextMeasure::textWidth(const QString& line) const {
    return Twips::fromPixels(m_metrics.horizontalAdvance(line), m_twipsPerPixel);
}
