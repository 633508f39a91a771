// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameConverter.h"
#include "settings/PanelSettings.h"

#include <QImage>
#include <QString>

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
int motionLevel(int changedPoints);
QString levelText(int movementSlider, int level);
// With both sliders at their top every tick answers, whatever the level.
bool motionTriggers(int level, int movementSlider, int colorSlider);

struct ChangedPoint {
    int x;
    int y;
    QRgb covered; // pixel of the frame under the red dot
};

// Compares `live` with `reference` at the sample grid: pixels (3X, 3Y) for X = 1, 4, 7, ... up to the
// width of `live` and Y likewise up to its height, so the grid runs past the picture and points outside
// a picture read -1 there. Marks each changed point with a red pixel on `live`; when `changed` is given
// it receives the marked points (cleared first). Returns the number of changed points.
int compareFrames(QImage& live, const QImage& reference, int colorSlider,
                  std::vector<ChangedPoint>* changed = nullptr);

struct MotionResult {
    int changedPoints = 0;
    int level = 100;
    bool triggers = false; // the caller still checks that advertising is switched on
    QString text;          // for the status label
};

// The detector between ticks: each frame is compared with the one before and then becomes the
// reference itself. Two buffers take turns, so a steady stream of camera frames allocates nothing.
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
    // Sets what the next tick compares against, e.g. the idle picture shown before the camera starts.
    // Until something is set the reference is empty, so every point of the first frame is compared
    // with -1: dark points then pass as unchanged and bright ones count.
    void setReference(const QImage& picture);
    // Forgets the reference: the next frame only becomes the reference (level 100, no dots), so a
    // camera that was just switched on is not compared with an old frame or the idle picture.
    void restart();

private:
    MotionResult compareWithReference();
    void takeDotsOff(QImage& picture) const;

    int m_movement;
    int m_color;
    FrameConverter m_converter;
    QImage m_view;  // latest frame with dots; without them it is the next reference
    QImage m_spare; // receives the next frame; holds the last reference after a tick
    std::vector<ChangedPoint> m_dots;
    bool m_fresh = false;
};
