// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/CameraChoice.h"
#include "capture/MotionDetector.h"
#include "shop/Outputs.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class FrameSource;
class SnapshotWriter;

// The camera and what watches it: the chosen source, the detector's tick, and the pictures of
// customers kept for the web. On each tick it takes the source's newest frame (nothing between
// ticks), compares it with the one before, and says what it saw.
class Capture : public QObject, public CameraOutput {
    Q_OBJECT
public:
    using SourceFactory = std::function<std::unique_ptr<FrameSource>(const CameraChoice&)>;

    Capture(const QString& workFolder, SourceFactory makeSource, QObject* parent = nullptr);
    ~Capture() override;

    // The camera, video file or demo scene; an open camera moves to the new choice at once (a change
    // of the light switch alone is applied without reopening it).
    void setChoice(const CameraChoice& choice);
    const CameraChoice& choice() const { return m_choice; }

    // Opens the source (afresh: its first frame is only the reference) and starts the tick. The
    // zones the detector ignores are read again from Pregonar.MSK.
    void start() override;
    void stop() override;
    bool isOpen() const { return m_source != nullptr; }
    // Takes the zones in Pregonar.MSK at once (after the camera dialog saved them).
    void readZones();
    const QString& zonesPath() const { return m_zonesPath; }
    // The source sends frames (a camera that was unplugged does not).
    bool sourceActive() const;

    void setInterval(int milliseconds);
    QTimer& tickTimer() { return m_tick; }
    // Asked at every tick: false skips it (while the message or the video shows).
    void setWatching(std::function<bool()> watching) { m_watching = std::move(watching); }

    MotionDetector& detector() { return m_detector; }
    FrameSource* source() const { return m_source.get(); }
    SnapshotWriter& snapshots() { return *m_snapshots; }

    // One tick, as the timer runs it.
    void tick();

signals:
    // A frame was compared: the detector's view holds it, with its red dots.
    void compared(const MotionResult& result);
    // The tick found no new frame.
    void noFrame();
    // The source's trouble, for the status line (empty: it is over).
    void sourceProblem(const QString& text);
    // The level crossed the threshold: someone is there.
    void customerSeen();
    // A picture of a customer was kept (its name relative to the working folder).
    void snapshotSaved(const QString& name);
    void stopped();

private:
    SourceFactory m_makeSource;
    CameraChoice m_choice;
    std::unique_ptr<FrameSource> m_source;
    MotionDetector m_detector;
    std::unique_ptr<SnapshotWriter> m_snapshots;
    std::function<bool()> m_watching;
    QTimer m_tick;
    QString m_zonesPath;
    QString m_zonesProblem; // shown with every tick's status while the file is damaged
};
