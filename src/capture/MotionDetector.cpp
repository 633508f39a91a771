// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/MotionDetector.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int GridStep = 3;  // the loop counters advance by 3 ...
constexpr int GridScale = 3; // ... and each counter is scaled by 3 into pixels: points 9 pixels apart
constexpr int LevelDivisor = 910;
constexpr QRgb Red = 0xffff0000;

inline qint32 bgr(QRgb pixel) {
    return qint32(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16);
}

inline uchar distanceThreshold(int colorSlider) {
    return uchar(255 - 5 * colorSlider);
}

} // namespace

qint32 colorAt(const QImage& picture, int x, int y) {
    if (!picture.valid(x, y))
        return OutsideColor;
    return bgr(picture.pixel(x, y));
}

bool colorsDiffer(qint32 color1, qint32 color2, int colorSlider) {
    // C++ division truncates and the remainder keeps the dividend's sign, as the colour split needs.
    const qint32 r1 = color1 % 256, g1 = (color1 / 256) % 256, b1 = ((color1 / 256) / 256) % 256;
    const qint32 r2 = color2 % 256, g2 = (color2 / 256) % 256, b2 = ((color2 / 256) / 256) % 256;
    const double dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
    const double distance = std::sqrt(dr * dr + dg * dg + db * db);
    return distance > double(distanceThreshold(colorSlider));
}

int motionLevel(int changedPoints) {
    return 100 - changedPoints * 100 / LevelDivisor;
}

QString levelText(int movementSlider, int level) {
    return QStringLiteral("AutoMensaje NIVEL %1 (%2)").arg(movementSlider + 50).arg(level);
}

bool motionTriggers(int level, int movementSlider, int colorSlider) {
    return level < movementSlider + 50 ||
           (movementSlider == Sliders::Movement.maximum && colorSlider == Sliders::Color.maximum);
}

int compareFrames(QImage& live, const QImage& reference, int colorSlider,
                  std::vector<ChangedPoint>* changed) {
    if (changed)
        changed->clear();
    if (live.isNull())
        return 0;
    if (live.format() != QImage::Format_RGB32 && live.format() != QImage::Format_ARGB32)
        live.convertTo(QImage::Format_RGB32);
    QImage ref = reference;
    if (!ref.isNull() && ref.format() != QImage::Format_RGB32 && ref.format() != QImage::Format_ARGB32)
        ref.convertTo(QImage::Format_RGB32);

    // A point lying outside both pictures reads -1 twice and can never count, so the walk stops at
    // the larger picture instead of running on to three times the size.
    const int lastX = std::min(GridScale * live.width(), std::max(live.width(), ref.width()) - 1);
    const int lastY = std::min(GridScale * live.height(), std::max(live.height(), ref.height()) - 1);
    const int firstPoint = GridScale * 1;
    const int pitch = GridScale * GridStep;
    const int threshold = distanceThreshold(colorSlider);
    const int thresholdSquared = threshold * threshold;

    uchar* liveBits = live.bits();
    const qsizetype liveStride = live.bytesPerLine();
    const uchar* refBits = ref.constBits();
    const qsizetype refStride = ref.bytesPerLine();

    int count = 0;
    for (int y = firstPoint; y <= lastY; y += pitch) {
        QRgb* liveRow = y < live.height() ? reinterpret_cast<QRgb*>(liveBits + y * liveStride) : nullptr;
        const QRgb* refRow =
            y < ref.height() ? reinterpret_cast<const QRgb*>(refBits + y * refStride) : nullptr;
        for (int x = firstPoint; x <= lastX; x += pitch) {
            const bool inLive = liveRow && x < live.width();
            const bool inRef = refRow && x < ref.width();
            bool distinct;
            if (inLive && inRef) {
                // Integer form of "distance > threshold": exact, as both sides are whole and non-negative.
                const QRgb a = liveRow[x], b = refRow[x];
                const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
                distinct = dr * dr + dg * dg + db * db > thresholdSquared;
            } else {
                distinct = colorsDiffer(inLive ? bgr(liveRow[x]) : OutsideColor,
                                        inRef ? bgr(refRow[x]) : OutsideColor, colorSlider);
            }
            if (!distinct)
                continue;
            ++count;
            if (inLive) {
                if (changed)
                    changed->push_back({x, y, liveRow[x]});
                liveRow[x] = Red;
            }
        }
    }
    return count;
}

MotionDetector::MotionDetector(int movementSlider, int colorSlider) {
    setMovement(movementSlider);
    setColor(colorSlider);
    m_dots.reserve(size_t(36 * 27)); // every point of the 320x240 view
}

void MotionDetector::setMovement(int value) {
    m_movement = std::clamp(value, Sliders::Movement.minimum, Sliders::Movement.maximum);
}

void MotionDetector::setColor(int value) {
    m_color = std::clamp(value, Sliders::Color.minimum, Sliders::Color.maximum);
}

std::optional<MotionResult> MotionDetector::process(const FrameView& frame) {
    // The spare buffer is free: it only held the reference of the previous tick.
    if (!m_converter.convert(frame, m_spare, ViewSize))
        return std::nullopt;
    return compareWithReference();
}

std::optional<MotionResult> MotionDetector::process(const QImage& picture) {
    if (picture.isNull())
        return std::nullopt;
    m_spare = picture.convertToFormat(QImage::Format_RGB32);
    return compareWithReference();
}

MotionResult MotionDetector::compareWithReference() {
    // The view becomes the reference once its dots are off again: only those pixels were drawn on, so
    // putting them back is cheaper than keeping a clean copy of every frame.
    takeDotsOff(m_view);
    m_dots.clear();
    std::swap(m_view, m_spare);

    MotionResult result;
    if (m_fresh) {
        m_fresh = false;
        result.triggers = motionTriggers(result.level, m_movement, m_color);
        result.text = levelText(m_movement, result.level);
        return result;
    }
    result.changedPoints = compareFrames(m_view, m_spare, m_color, &m_dots);
    result.level = motionLevel(result.changedPoints);
    result.triggers = motionTriggers(result.level, m_movement, m_color);
    result.text = levelText(m_movement, result.level);
    return result;
}

void MotionDetector::takeDotsOff(QImage& picture) const {
    if (m_dots.empty())
        return;
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (const ChangedPoint& dot : m_dots)
        reinterpret_cast<QRgb*>(bits + dot.y * stride)[dot.x] = dot.covered;
}

QImage MotionDetector::reference() const {
    QImage clean = m_view.copy();
    takeDotsOff(clean);
    return clean;
}

void MotionDetector::setReference(const QImage& picture) {
    m_view = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    m_dots.clear();
}

void MotionDetector::restart() {
    takeDotsOff(m_view);
    m_dots.clear();
    m_fresh = true;
}
