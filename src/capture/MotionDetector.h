// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameConverter.h"
#include "capture/ZoneMask.h"
#include "settings/PanelSettings.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

// Colours here are 0x00BBGGRR integers (red in the low byte); a point outside a picture reads -1.
constexpr qint32 OutsideColor = -1;
qint32 colorAt(const QImage& picture, int x, int y);

// True when two colours differ by more than the colour slider allows: the straight-line distance of
// their components must exceed 255 - 5 x slider. Components are split with truncating division, so
// -1 (outside) becomes R -1, G 0, B 0.
bool colorsDiffer(qint32 color1, qint32 color2, int colorSlider);

// Level shown to the user: 100 with no change, 1 less for every 9.1 changed points. The divisor stays
// 910 whatever the grid holds, so a frame that changed everywhere goes below zero (-6 at 320x240).
// With fewer points watched, the count is scaled up to the whole grid first: a watched area that
// changed everywhere still reaches -6. Nothing watched is level 100.
int motionLevel(int changedPoints, int watchedPoints = ZoneMask::Points);
QString levelText(int movementSlider, int level);
// With both sliders at their top every tick answers, whatever the level.
bool motionTriggers(int level, int movementSlider, int colorSlider);

struct ChangedPoint {
    int x;
    int y;
    QRgb covered;   // pixel of the frame under the red dot
    int brightened; // brightness of the frame minus that of the reference; 0 where not known
};

// Compares `live` with `reference` at the sample grid: pixels (3X, 3Y) for X = 1, 4, 7, ... up to the
// width of `live` and Y likewise up to its height, so the grid runs past the picture and points outside
// a picture read -1 there. Marks each changed point with a red pixel on `live`; when `changed` is given
// it receives the marked points (cleared first). Returns the number of changed points. Points that
// `zones` ignores are never compared, marked or counted.
int compareFrames(QImage& live, const QImage& reference, int colorSlider,
                  std::vector<ChangedPoint>* changed = nullptr, const ZoneMask* zones = nullptr);

// True when the changed points look like the light of the scene changing (a lamp switched, a cloud)
// rather than something moving: they lie all over the watched view, not in one region, and nearly all
// of them became brighter, or darker, by a similar amount. A point that turned pure black or white
// says nothing about the amount.
bool looksLikeLightChange(const std::vector<ChangedPoint>& changed, const ZoneMask& zones);

// A picture is kept when at least this share (percent) of the changed points differ from the empty
// scene: someone walking shows about half, someone arriving nearly all, someone leaving next to none.
constexpr int PresenceToKeep = 25;
QString presenceText(int presence);

struct MotionResult {
    int changedPoints = 0;
    int level = 100;
    bool triggers = false; // the caller still checks that advertising is switched on
    // Share (percent) of the changed points where the frame differs from the empty scene: something
    // the scene does not hold came into view there. 0 when nothing changed.
    int presence = 0;
    QString text; // the level, for the status label
    // The light of the whole scene changed: nobody is answered and the scene is taken afresh.
    bool lightChange = false;
    QString notice{}; // a line about the set-up the owner should know (a damaged zones file)

    // The picture of this tick shows the customer who set it off (not the scene they just left).
    bool keepsSnapshot() const { return triggers && presence >= PresenceToKeep; }
    // The status label: the level, then the presence or why nobody was answered; then any notice.
    QString statusLine() const;
};

// A slowly renewed picture of the empty scene, kept at the sample grid's points inside the view only.
// Each renewal moves a point towards the frame: quickly (seconds) where the two agree, so that the
// light of the day is followed, and only over minutes where they differ, so that a customer who stands
// still stays out of it while a chair that was moved ends up in it.
class SceneBackground {
public:
    static constexpr double FollowMs = 15'000;  // time constant where frame and scene agree
    static constexpr double AbsorbMs = 300'000; // ... and where they differ

    bool isEmpty() const { return m_points.empty(); }
    QSize size() const { return m_size; }
    void clear();
    // Starts again from this picture.
    void startFrom(const QImage& picture);
    // Renews every point towards `frame` (of the background's size) for `elapsedMs` of time; points
    // that `zones` ignores are left as they are.
    void renew(const QImage& frame, int colorSlider, int elapsedMs, const ZoneMask& zones);
    // True when `pixel`, seen at the grid point (x, y) inside the view, differs from the scene there.
    bool differs(int x, int y, QRgb pixel, int colorSlider) const;

private:
    struct Point {
        float r, g, b;
    };
    QSize m_size;
    int m_columns = 0;
    std::vector<Point> m_points; // row by row
};

// The detector between ticks: each frame is compared with the one before and then becomes the
// reference itself. Two buffers take turns, so a steady stream of camera frames allocates nothing.
// Beside the reference it keeps the empty scene: a frame in which nothing moved renews it.
class MotionDetector {
public:
    static constexpr QSize ViewSize = FrameConverter::DefaultSize;

    explicit MotionDetector(int movementSlider = Sliders::Movement.designValue,
                            int colorSlider = Sliders::Color.designValue);

    // Values outside the sliders' ranges are clamped into them.
    void setMovement(int value);
    void setColor(int value);
    int movement() const { return m_movement; }
    int color() const { return m_color; }
    // The time between ticks, at which the empty scene is renewed.
    void setTickInterval(int milliseconds) { m_tickMs = std::max(milliseconds, 1); }
    // The grid points not watched. The level counts the watched ones only.
    void setZones(const ZoneMask& zones) { m_zones = zones; }
    const ZoneMask& zones() const { return m_zones; }
    // A tick that looks like a change of light (looksLikeLightChange) answers nobody, keeps no
    // picture and takes this frame as the empty scene; on unless switched off. Both sliders at the
    // top still answer every tick.
    void setIgnoreLightChanges(bool on) { m_ignoreLightChanges = on; }
    bool ignoresLightChanges() const { return m_ignoreLightChanges; }

    // One tick: the frame is scaled into the 320x240 view and compared with the previous one. An invalid
    // frame ends the tick with no result, and the view and the reference stay as they were.
    std::optional<MotionResult> process(const FrameView& frame);
    // The same for a picture of any size (a null picture ends the tick).
    std::optional<MotionResult> process(const QImage& picture);

    // The last frame with its red dots; empty before the first tick.
    const QImage& view() const { return m_view; }
    // The picture the last tick compared against (never drawn on).
    const QImage& previousFrame() const { return m_spare; }
    // The picture the next tick will compare against: the view without its dots.
    QImage reference() const;
    // Sets what the next tick compares against and takes it as the empty scene (a picture of the scene
    // the camera watches). Until something is set the reference is empty, so every point of the first
    // frame is compared with -1: dark points then pass as unchanged and bright ones count; and the
    // first frame is taken as the empty scene.
    void setReference(const QImage& picture);
    // Forgets the reference and the empty scene: the next frame only becomes both (level 100, no dots),
    // so a camera that was just switched on is not compared with an old frame or the idle picture.
    void restart();

private:
    MotionResult compareWithReference();
    void takeDotsOff(QImage& picture) const;
    void putDotsOn(QImage& picture) const;

    int m_movement;
    int m_color;
    FrameConverter m_converter;
    QImage m_view;  // latest frame with dots; without them it is the next reference
    QImage m_spare; // receives the next frame; holds the last reference after a tick
    std::vector<ChangedPoint> m_dots;
    bool m_fresh = false;
    SceneBackground m_background;
    int m_tickMs = Sliders::Interval.designValue;
    bool m_viewIsEmptyScene = false; // nothing moved in the view: it renews the scene next tick
    ZoneMask m_zones;
    bool m_ignoreLightChanges = true;
};
