// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "banner/BgrColour.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class TextMeasure;

// Layout and scroll maths of the message banner, in twips, without any widget: the banner window
// lays the text out through this class once, then on every 10 ms tick paints what tick() returns.
class BannerLayout {
public:
    // Text area `picCredits`, by design.
    static constexpr int DesignWidth = 13560;
    static constexpr int DesignHeight = 4590;
    static constexpr int FadePercentage = 20;
    static constexpr quint32 BackColour = BgrColour::Black;

    // One line to paint: Lines(index) at (x, y), y being the top of the line, in twips.
    struct DrawnLine {
        int index = 0;
        int x = 0;
        int y = 0;
        quint32 colour = 0; // 0x00BBGGRR
    };
    struct Tick {
        std::span<const DrawnLine> lines; // valid until the next tick() or layOut()
        // One pass is over while detection runs: the caller starts the hold-off and stops the
        // banner. The scroll position is already back at the top.
        bool stop = false;
    };

    // random gives values in [0, 1) and picks the text colour; by default QRandomGenerator.
    explicit BannerLayout(const TextMeasure& measure, std::function<double()> random = {},
                          int width = DesignWidth, int height = DesignHeight);

    // `applyBannerSpeed`: twips of upward movement per tick, from `the speed slider`; used from the next
    // tick.
    void setSpeed(int speed);
    // `applyBannerAlignment`: `the alignment slider` 0, 1, 2 give Alignment 1 (left), 2 (centred), 3 (right);
    // any other value changes nothing and gives false. Used at the next layout.
    bool setAlignmentFromSlider(int sliderValue);

    // Lays the message out ("\n" or CR LF line breaks) and puts the scroll back at the top. The
    // text colour is chosen at the first layout only and kept afterwards.
    void layOut(const QString& message, bool detectionRunning);
    // What a start does: lays out again only when never laid out or when the message, the
    // alignment or the detection switch (which decides the padding) changed since the last
    // layout; otherwise the scroll position is kept. Returns whether it laid out.
    bool layOutIfChanged(const QString& message, bool detectionRunning);

    // Moves the text up by Speed and says what to paint. No allocation.
    Tick tick(bool detectionRunning);

    // Ramp index for a line whose top is at y, clamped to 0..100, or nullopt where the line is
    // drawn in BaseColour (between the two fade bands).
    std::optional<int> rampIndexAt(int y) const;
    quint32 colourAt(int y) const;

    bool isLaidOut() const { return m_laidOut; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int speed() const { return m_speed; }
    int alignment() const { return m_alignment; }
    const QStringList& lines() const { return m_lines; }
    int lineCount() const { return m_lineCount; }
    int lineX(int index) const { return m_lineX.at(index); }
    int firstLine() const { return m_firstLine; }
    int topY() const { return m_topY; }
    int lineHeight() const { return m_lineHeight; }
    int visibleLines() const { return m_visibleLines; }
    int topFadeEnd() const { return m_topFadeEnd; }
    int bottomFadeStart() const { return m_bottomFadeStart; }
    int fadeLength() const { return m_fadeLength; }
    double topFactor() const { return m_topFactor; }
    double bottomFactor() const { return m_bottomFactor; }
    quint32 baseColour() const { return m_baseColour; }
    const BgrColour::Ramp& ramp() const { return m_ramp; }

    // The padded text split into lines, as laid out.
    static QStringList paddedLines(const QString& message, bool detectionRunning);
    // r = int(random x 3): yellow, green or cyan.
    static quint32 pickColour(double random);

private:
    const TextMeasure& m_measure;
    std::function<double()> m_random;
    int m_width;
    int m_height;

    int m_speed;
    int m_alignment;

    bool m_laidOut = false;
    QString m_laidOutMessage;
    int m_laidOutAlignment = 0;
    bool m_laidOutDetection = false;

    QStringList m_lines;
    int m_lineCount = 0;
    std::vector<int> m_lineX;
    int m_firstLine = 0;
    int m_topY = 0;
    int m_lineHeight = 0;
    int m_visibleLines = 0;
    int m_topFadeEnd = 0;
    int m_bottomFadeStart = 0;
    int m_fadeLength = 0;
    double m_topFactor = 0.0;
    double m_bottomFactor = 0.0;
    quint32 m_baseColour = BgrColour::Yellow;
    bool m_colourChosen = false;
    BgrColour::Ramp m_ramp{};
    std::vector<DrawnLine> m_drawn;
};
