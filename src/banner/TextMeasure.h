// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

// Measures text in the banner's font, in twips. The layout only needs the height of one line and
// the width of each line; tests give hand-worked values instead of a real font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // Height of one line of text (the banner asks for "A").
    virtual double textHeight(const QString& text) const = 0;
    virtual double textWidth(const QString& line) const = 0;
};

// The banner's font: "Lucida Sans Unicode" 36 pt, or a similar sans font where it is missing.
// Sized in pixels from twipsPerPixel, so that measuring and drawing agree whatever the screen's
// own dpi says; draw with this same font.
QFont bannerFont(double twipsPerPixel);

// The real measure over QFontMetricsF; needs a QGuiApplication.
class FontTextMeasure final : public TextMeasure {
public:
    FontTextMeasure(const QFont& font, double twipsPerPixel);
    double textHeight(const QString& text) const override;
    double textWidth(const QString& line) const override;

private:
    QFontMetricsF m_metrics;
    double m_twipsPerPixel;
};
