// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameConverter.h"

#include <QObject>
#include <QString>
#include <functional>

// Where the detector's frames come from: a camera, a video file played as if it were one, or the
// built-in demo scene. A source keeps only its newest frame; the detector's tick takes it.
class FrameSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual void stop() = 0;

    // True while the frames come from a working source. Frames seen while the source is not
    // active (a camera that never opened, one that was unplugged) never reach the detector.
    virtual bool isActive() const = 0;

    // Hands the newest frame, mapped, to `use`. False, without calling it, when there is no
    // frame from an active source.
    virtual bool withNewestFrame(const std::function<void(const FrameView&)>& use) = 0;

    virtual QString description() const = 0;

    // How often the detector takes a frame. A source that paces itself (a video file) need not hand
    // over frames much faster than that.
    virtual void setTickInterval(int milliseconds) { Q_UNUSED(milliseconds) }

signals:
    void activeChanged(bool active);
    // Something the shop should know about the source (a network camera that dropped, a damaged
    // frame), in one line for the status under the live view; empty when it is over.
    void problem(const QString& text);
};
