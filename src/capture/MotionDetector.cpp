// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/MotionDetector.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

constexpr int FirstPoint = GridScale * 1;
constexpr int Pitch = GridScale * GridStep;

// Grid points inside a picture of this width (or height).
int pointsAlong(int length) {
    return length > FirstPoint ? (length - FirstPoint - 1) / Pitch + 1 : 0;
}

bool hasRgb32(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
}

// The mask, or null when it ignores nothing: the walks then skip the look-up.
const ZoneMask* zonesInUse(const ZoneMask* zones) {
    return zones && !zones->ignoresNothing() ? zones : nullptr;
}

inline int brightness(QRgb pixel) {
    return (77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel)) >> 8;
}

// How much brighter `now` is than `before`; 0 when `now` is black or white, where the light may have
// gone further than the camera shows, so the amount is not known.
inline int brightened(QRgb now, QRgb before) {
    constexpr int Clipped = 4;
    const int after = brightness(now);
    return after < Clipped || after > 255 - Clipped ? 0 : after - brightness(before);
}

// Light changes: the watched view in 4 x 3 blocks of 9 x 9 grid points. A block takes part when a
// quarter of its watched points changed, and light has changed all over when three quarters of the
// blocks with watched points take part. Someone in front of the camera fills a region, rarely that much.
constexpr int BlockColumns = 4, BlockRows = 3;
constexpr int BlockSide = ZoneMask::Columns / BlockColumns;
static_assert(BlockSide * BlockColumns == ZoneMask::Columns && BlockSide * BlockRows == ZoneMask::Rows);
// Of the changed points, this share (percent) must have moved the same way by a similar amount: within
// half the median change of that direction.
constexpr int AlikeShare = 75;

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

int motionLevel(int changedPoints, int watchedPoints) {
    if (watchedPoints <= 0)
        return 100;
    // Scaled to the whole grid in one division, so that nothing changes when every point is watched.
    return 100 - int(qint64(changedPoints) * ZoneMask::Points * 100 / (qint64(watchedPoints) * LevelDivisor));
}

QString presenceText(int presence) {
    return QStringLiteral("PRESENCIA %1%").arg(presence);
}

QString levelText(int movementSlider, int level) {
    return QStringLiteral("AutoMensaje NIVEL %1 (%2)").arg(movementSlider + 50).arg(level);
}

bool motionTriggers(int level, int movementSlider, int colorSlider) {
    return level < movementSlider + 50 ||
           (movementSlider == Sliders::Movement.maximum && colorSlider == Sliders::Color.maximum);
}

QString MotionResult::statusLine() const {
    QString line =
        text + QLatin1Char(' ') + (lightChange ? QStringLiteral("Cambio de luz") : presenceText(presence));
    if (!notice.isEmpty())
        line += QLatin1Char('\n') + notice;
    return line;
}

int compareFrames(QImage& live, const QImage& reference, int colorSlider, std::vector<ChangedPoint>* changed,
                  const ZoneMask* zones) {
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
    const int threshold = distanceThreshold(colorSlider);
    const int thresholdSquared = threshold * threshold;

    uchar* liveBits = live.bits();
    const qsizetype liveStride = live.bytesPerLine();
    const uchar* refBits = ref.constBits();
    const qsizetype refStride = ref.bytesPerLine();

    zones = zonesInUse(zones);
    int count = 0;
    for (int y = FirstPoint, row = 0; y <= lastY; y += Pitch, ++row) {
        QRgb* liveRow = y < live.height() ? reinterpret_cast<QRgb*>(liveBits + y * liveStride) : nullptr;
        const QRgb* refRow =
            y < ref.height() ? reinterpret_cast<const QRgb*>(refBits + y * refStride) : nullptr;
        for (int x = FirstPoint, column = 0; x <= lastX; x += Pitch, ++column) {
            if (zones && zones->isIgnored(column, row))
                continue;
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
                    changed->push_back({x, y, liveRow[x], inRef ? brightened(liveRow[x], refRow[x]) : 0});
                liveRow[x] = Red;
            }
        }
    }
    return count;
}

bool looksLikeLightChange(const std::vector<ChangedPoint>& changed, const ZoneMask& zones) {
    // Too few points to fill three quarters of the blocks by a quarter: no need to look further.
    if (changed.empty() || qsizetype(changed.size()) * 16 < zones.watchedPoints() * 3)
        return false;
    const auto blockOf = [](int column, int row) {
        return std::min(row / BlockSide, BlockRows - 1) * BlockColumns +
               std::min(column / BlockSide, BlockColumns - 1);
    };
    int watched[BlockColumns * BlockRows] = {}, hit[BlockColumns * BlockRows] = {};
    for (int row = 0; row < ZoneMask::Rows; ++row)
        for (int column = 0; column < ZoneMask::Columns; ++column)
            watched[blockOf(column, row)] += !zones.isIgnored(column, row);
    // How many points brightened (or darkened) by each amount: the median without sorting.
    int brighter[256] = {}, darker[256] = {};
    int brighterCount = 0;
    for (const ChangedPoint& point : changed) {
        ++hit[blockOf((point.x - FirstPoint) / Pitch, (point.y - FirstPoint) / Pitch)];
        if (point.brightened > 0) {
            ++brighter[std::min(point.brightened, 255)];
            ++brighterCount;
        } else if (point.brightened < 0) {
            ++darker[std::min(-point.brightened, 255)];
        }
    }
    int blocks = 0, takingPart = 0;
    for (int block = 0; block < BlockColumns * BlockRows; ++block) {
        blocks += watched[block] > 0;
        takingPart += watched[block] > 0 && hit[block] * 4 >= watched[block];
    }
    if (takingPart * 4 < blocks * 3)
        return false;
    const bool brightening = brighterCount * 2 >= int(changed.size());
    const int* amounts = brightening ? brighter : darker;
    const int moved = int(std::accumulate(amounts, amounts + 256, 0));
    int median = 0;
    for (int seen = amounts[0]; seen * 2 < moved; seen += amounts[++median]) {
    }
    int alike = 0;
    for (int amount = median - median / 2; amount <= std::min(median + median / 2, 255); ++amount)
        alike += amounts[amount];
    return alike * 100 >= int(changed.size()) * AlikeShare;
}

void SceneBackground::clear() {
    m_size = {};
    m_columns = 0;
    m_points.clear();
}

void SceneBackground::startFrom(const QImage& picture) {
    clear();
    const QImage rgb = hasRgb32(picture) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return;
    m_size = rgb.size();
    m_columns = pointsAlong(m_size.width());
    m_points.reserve(size_t(m_columns * pointsAlong(m_size.height())));
    for (int y = FirstPoint; y < m_size.height(); y += Pitch) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = FirstPoint; x < m_size.width(); x += Pitch)
            m_points.push_back({float(qRed(line[x])), float(qGreen(line[x])), float(qBlue(line[x]))});
    }
}

void SceneBackground::renew(const QImage& frame, int colorSlider, int elapsedMs, const ZoneMask& zones) {
    if (m_points.empty() || frame.size() != m_size || !hasRgb32(frame))
        return;
    const auto follow = float(1 - std::exp(-elapsedMs / FollowMs));
    const auto absorb = float(1 - std::exp(-elapsedMs / AbsorbMs));
    const int threshold = distanceThreshold(colorSlider);
    const auto limit = float(threshold * threshold);
    const ZoneMask* ignored = zonesInUse(&zones);
    Point* point = m_points.data();
    for (int y = FirstPoint, row = 0; y < m_size.height(); y += Pitch, ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        for (int x = FirstPoint, column = 0; x < m_size.width(); x += Pitch, ++point, ++column) {
            if (ignored && ignored->isIgnored(column, row))
                continue;
            const float dr = float(qRed(line[x])) - point->r, dg = float(qGreen(line[x])) - point->g,
                        db = float(qBlue(line[x])) - point->b;
            const float rate = dr * dr + dg * dg + db * db > limit ? absorb : follow;
            point->r += rate * dr;
            point->g += rate * dg;
            point->b += rate * db;
        }
    }
}

bool SceneBackground::differs(int x, int y, QRgb pixel, int colorSlider) const {
    if (x < FirstPoint || y < FirstPoint || x >= m_size.width() || y >= m_size.height())
        return false;
    const Point& point = m_points[size_t((y - FirstPoint) / Pitch * m_columns + (x - FirstPoint) / Pitch)];
    const float dr = float(qRed(pixel)) - point.r, dg = float(qGreen(pixel)) - point.g,
                db = float(qBlue(pixel)) - point.b;
    const int threshold = distanceThreshold(colorSlider);
    return dr * dr + dg * dg + db * db > float(threshold * threshold);
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
    // The spare buffer is free: it only held the reference of the previous tick. A frame that is a
    // whole picture of the view's size is taken as it is, in exchange for the spare buffer.
    if (frame.picture && frame.isValid() && frame.picture->size() == ViewSize &&
        frame.picture->format() == QImage::Format_RGB32) {
        std::swap(m_spare, *frame.picture);
        return compareWithReference();
    }
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
    // The last view joins the empty scene now that it is known that nothing moved in it.
    if (m_viewIsEmptyScene)
        m_background.renew(m_view, m_color, m_tickMs, m_zones);
    m_viewIsEmptyScene = false;
    std::swap(m_view, m_spare);
    if (m_background.isEmpty() || m_background.size() != m_view.size())
        m_background.startFrom(m_view);

    MotionResult result;
    if (m_fresh) {
        m_fresh = false;
        result.triggers = motionTriggers(result.level, m_movement, m_color);
        result.text = levelText(m_movement, result.level);
        return result;
    }
    result.changedPoints = compareFrames(m_view, m_spare, m_color, &m_dots, &m_zones);
    result.level = motionLevel(result.changedPoints, m_zones.watchedPoints());
    result.text = levelText(m_movement, result.level);
    if (m_ignoreLightChanges && looksLikeLightChange(m_dots, m_zones)) {
        // Nobody to answer: the scene under its new light is the empty scene from now on.
        result.lightChange = true;
        result.triggers = motionTriggers(100, m_movement, m_color);
        takeDotsOff(m_view);
        m_background.startFrom(m_view);
        putDotsOn(m_view);
        return result;
    }
    result.triggers = motionTriggers(result.level, m_movement, m_color);
    if (!m_dots.empty()) {
        const auto inView = std::count_if(m_dots.begin(), m_dots.end(), [this](const ChangedPoint& dot) {
            return m_background.differs(dot.x, dot.y, dot.covered, m_color);
        });
        result.presence = int(inView * 100 / qsizetype(m_dots.size()));
    }
    // Renewed only by frames below the movement threshold (both sliders at the top answer every
    // tick, yet the scene must still follow the light).
    m_viewIsEmptyScene = result.level >= m_movement + 50;
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

void MotionDetector::putDotsOn(QImage& picture) const {
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (const ChangedPoint& dot : m_dots)
        reinterpret_cast<QRgb*>(bits + dot.y * stride)[dot.x] = Red;
}

QImage MotionDetector::reference() const {
    QImage clean = m_view.copy();
    takeDotsOff(clean);
    return clean;
}

void MotionDetector::setReference(const QImage& picture) {
    m_view = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    m_dots.clear();
    m_background.startFrom(m_view);
    m_viewIsEmptyScene = false;
}

void MotionDetector::restart() {
    takeDotsOff(m_view);
    m_dots.clear();
    m_fresh = true;
    m_background.clear();
    m_viewIsEmptyScene = false;
}
