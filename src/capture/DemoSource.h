// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameSource.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtGlobal>

// A shop seen by a camera, drawn in code: a still background with a little sensor noise, and a
// customer walking across every twelve seconds. For trying the program without a webcam.
class DemoScene {
public:
    static constexpr qint64 PeriodMs = 12000; // one walk every twelve seconds
    static constexpr qint64 WalkMs = 1200;    // the crossing itself
    static constexpr QSize Size{320, 240};

    DemoScene();
    // The picture at `ms` since the scene started; `noiseSeed` varies the sensor noise.
    const QImage& render(qint64 ms, quint32 noiseSeed);
    // Where the customer stands at `ms`, or an empty rectangle when nobody is in the picture.
    static QRect figureAt(qint64 ms);

private:
    QImage m_background;
    QImage m_frame;
};

class DemoSource : public FrameSource {
    Q_OBJECT
public:
    explicit DemoSource(QObject* parent = nullptr);
    void start() override;
    void stop() override;
    bool isActive() const override { return m_running; }
    bool withNewestFrame(const std::function<void(const FrameView&)>& use) override;
    QString description() const override;

private:
    DemoScene m_scene;
    QElapsedTimer m_clock;
    bool m_running = false;
    quint32 m_frames = 0;
};
