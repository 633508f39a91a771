// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerLayout.h"

#include "banner/Rounding.h"
#include "banner/TextMeasure.h"
#include "settings/PanelSettings.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {
const QString CrLf = QStringLiteral("\r\n");
constexpr int LeadingBreaks = 6;
// With detection running the text scrolls once and must leave the area before the banner stops.
constexpr int TrailingBreaksDetecting = 8;
constexpr int TrailingBreaksRepeating = 1;
constexpr int SideMargin = 100;
constexpr int MaxSpeed = 32767; // a 16-bit field; also keeps TopY far from overflowing
} // namespace

BannerLayout::BannerLayout(const TextMeasure& measure, std::function<double()> random, int width, int height)
    : m_measure(measure)
    , m_random(random ? std::move(random) : [] { return QRandomGenerator::global()->generateDouble(); })
    , m_width(width)
    , m_height(height)
    , m_speed(Sliders::Speed.designValue)
    , m_alignment(Sliders::Alignment.designValue + 1) {}

void BannerLayout::setSpeed(int speed) {
    // A negative speed would push the text down for ever instead of scrolling it.
    m_speed = std::clamp(speed, 0, MaxSpeed);
}

bool BannerLayout::setAlignmentFromSlider(int sliderValue) {
    if (sliderValue < 0 || sliderValue > 2)
        return false;
    m_alignment = sliderValue + 1;
    return true;
}

QStringList BannerLayout::paddedLines(const QString& message, bool detectionRunning) {
    QString body = message;
    // The message box gives "\n"; a message read back from its file may have CR LF already.
    body.replace(CrLf, QStringLiteral("\n")).replace(QLatin1Char('\n'), CrLf);
    const QString padded =
        CrLf.repeated(LeadingBreaks) + body +
        CrLf.repeated(detectionRunning ? TrailingBreaksDetecting : TrailingBreaksRepeating);
    return padded.split(CrLf, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

quint32 BannerLayout::pickColour(double random) {
    static constexpr quint32 colours[] = {BgrColour::Yellow, BgrColour::Green, BgrColour::Cyan};
    const int r = int(std::floor(random * 3));
    return colours[std::clamp(r, 0, 2)];
}

void BannerLayout::layOut(const QString& message, bool detectionRunning) {
    m_lines = paddedLines(message, detectionRunning);
    m_lineCount = int(m_lines.size()) - 1; // the last element is always empty and never drawn

    const double textHeight = m_measure.textHeight(QStringLiteral("A"));
    if (textHeight > 0) {
        m_visibleLines = std::max(0, roundHalfEven(m_height / textHeight + 1));
        m_lineHeight = roundHalfEven(textHeight);
    } else {
        m_visibleLines = 0; // a font that measures nothing: draw nothing rather than divide by 0
        m_lineHeight = 0;
    }

    m_topFadeEnd = roundHalfEven(m_height / 100.0 * FadePercentage - m_lineHeight + 700);
    m_bottomFadeStart = roundHalfEven(double(m_height) - m_topFadeEnd - m_lineHeight - m_lineHeight + 700);

    if (!m_colourChosen) {
        m_baseColour = pickColour(m_random());
        m_colourChosen = true;
    }

    m_fadeLength = roundHalfEven(double(m_height) - (m_lineHeight - 10) - m_bottomFadeStart);
    m_bottomFactor = 100.0 / m_fadeLength;
    m_topFactor = 100.0 / m_topFadeEnd;

    m_lineX.assign(std::max(0, m_lineCount), 0);
    for (int i = 0; i < m_lineCount; ++i) {
        switch (m_alignment) {
        case 1:
            m_lineX[i] = SideMargin;
            break;
        case 2:
            m_lineX[i] = roundHalfEven((m_width - m_measure.textWidth(m_lines[i])) / 2);
            break;
        case 3:
            m_lineX[i] = roundHalfEven(m_width - m_measure.textWidth(m_lines[i]) - SideMargin);
            break;
        }
    }

    m_ramp = BgrColour::makeRamp(BackColour, m_baseColour);
    m_drawn.assign(m_visibleLines, DrawnLine{});

    m_firstLine = 0;
    m_topY = 0;
    m_laidOut = true;
    m_laidOutMessage = message;
    m_laidOutAlignment = m_alignment;
    m_laidOutDetection = detectionRunning;
}

bool BannerLayout::layOutIfChanged(const QString& message, bool detectionRunning) {
    if (m_laidOut && message == m_laidOutMessage && m_alignment == m_laidOutAlignment &&
        detectionRunning == m_laidOutDetection)
        return false;
    layOut(message, detectionRunning);
    return true;
}

std::optional<int> BannerLayout::rampIndexAt(int y) const {
    int index;
    if (y > m_bottomFadeStart && y < m_height)
        index = roundHalfEven((m_fadeLength - (y - m_bottomFadeStart)) * m_bottomFactor);
    else if (y >= m_topFadeEnd)
        return std::nullopt;
    else
        index = roundHalfEven(y * m_topFactor);
    return std::clamp(index, 0, BgrColour::RampSteps);
}

quint32 BannerLayout::colourAt(int y) const {
    const std::optional<int> index = rampIndexAt(y);
    return index ? m_ramp[*index] : m_baseColour;
}

BannerLayout::Tick BannerLayout::tick(bool detectionRunning) {
    if (!m_laidOut || m_lineCount <= 0)
        return {};

    m_topY -= m_speed;
    if (m_topY < -m_lineHeight) {
        ++m_firstLine;
        m_topY = 0;
        if (m_firstLine > m_lineCount - 1)
            m_firstLine = 0;
    }

    // The painter moves down by the rounded LineHeight too, so the lines stay where their
    // colours were worked out.
    int y = m_topY;
    int k = -1;
    for (int i = 1; i <= m_visibleLines; ++i) {
        k = (m_firstLine + i) % m_lineCount;
        m_drawn[i - 1] = DrawnLine{k, m_lineX[k], y, colourAt(y)};
        y += m_lineHeight;
    }

    Tick result{std::span<const DrawnLine>(m_drawn), false};
    if (k == m_lineCount - 1 && detectionRunning) {
        result.stop = true;
        m_topY = 0;
        m_firstLine = 0;
    }
    return result;
}
