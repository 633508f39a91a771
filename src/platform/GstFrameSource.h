// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/CameraChoice.h"
#include "capture/FrameSource.h"
#include "platform/ScaledJpeg.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

typedef struct _GstBuffer GstBuffer;
typedef struct _GstCaps GstCaps;
typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
typedef struct _GstSample GstSample;
typedef struct _GstVideoFrame GstVideoFrame;
class QMediaDevices;
class FileQueueGate;

// A camera, a video file played in a loop, or a network camera, through a GStreamer pipeline that ends
// in a sink keeping only the newest frame. Nothing is decoded between ticks: Motion JPEG frames wait
// compressed until the tick asks for one and are then decoded at the size the view needs; formats that
// must be decoded in full (H.264) are decoded and scaled down to the view's size in the pipeline.
//
// Pipelines start and stop on a worker thread, and their messages arrive through the GUI thread's
// event loop, so a slow device or network never holds the GUI thread. A source that drops (a network
// camera, a camera unplugged, a file that cannot be read) is reopened by itself after 1 s, then 2 s,
// 4 s ... at most 30 s; a network camera says so in `problem`, as does any source sending a damaged
// Motion JPEG frame.
class GstFrameSource : public FrameSource {
    Q_OBJECT
public:
    explicit GstFrameSource(CameraChoice choice, QObject* parent = nullptr);
    ~GstFrameSource() override;

    void start() override;
    void stop() override;
    bool isActive() const override { return m_active; }
    bool withNewestFrame(const std::function<void(const FrameView&)>& use) override;
    QString description() const override;
    void setTickInterval(int milliseconds) override;

    // Called when the set of cameras changes: an unplugged camera is closed, one that came back opened.
    void camerasChanged();

    // A message of the pipeline's bus; false when it closed the pipeline.
    bool handleMessage(GstMessage* message);

private:
    void open();
    void close();
    GstElement* buildPipeline(QString* device);
    void becameActive();
    void dropped(const QString& why);
    bool decode(GstSample* sample);
    bool decodeJpeg(GstBuffer* buffer);
    // A video file plays in real time while it is watched, paced by the tick rather than by a clock in
    // the pipeline: its frames wait, still compressed, in the sink's queue, and each tick takes the
    // newest one that is due (the reading thread refills the queue in bursts instead of waiting on a
    // clock for every frame). A file left unwatched (while the video shows) goes on from where it
    // stopped.
    GstSample* takeDueFrame();
    void sizeQueue(const GstCaps* caps);
    void releaseHeld();
    void pollBus();

    CameraChoice m_choice;
    QString m_device; // the camera opened (its id), to tell when it is unplugged
    GstElement* m_pipeline = nullptr;
    GstElement* m_sink = nullptr;
    unsigned m_busWatch = 0;
    QTimer m_busPoll; // only when the event loop is not GLib's
    QTimer m_retry;
    std::unique_ptr<QMediaDevices> m_devices; // cameras only: plugged in and out
    QElapsedTimer m_sinceFrame;
    ScaledJpegDecoder m_jpeg;
    std::unique_ptr<GstVideoFrame> m_mapped; // the newest frame taken from the sink, when it is raw
    FrameView m_heldView;                    // what the detector reads of the newest frame
    GstBuffer* m_heldJpeg = nullptr;         // the newest frame, when it is JPEG, still compressed
    int m_retryDelayMs = 1000;
    int m_tickMs = 100;
    // A video file's pace: when its frame of time 0 was due on m_playClock, in nanoseconds.
    QElapsedTimer m_playClock;
    qint64 m_playOrigin = 0;
    qint64 m_lastFrameTime = -1;           // of the newest frame taken
    GstSample* m_ahead = nullptr;          // pulled, not due yet
    int m_queuedFrames = 0;                // the sink's queue, sized for the tick (0: not yet)
    std::shared_ptr<FileQueueGate> m_gate; // a file's reading thread refills the queue in bursts
    bool m_wanted = false;
    bool m_active = false;
    bool m_damaged = false;          // the last frame could not be decoded
    bool m_lendOnly = false;         // the frame being decoded is not to be taken whole
    bool m_tickWithoutFrame = false; // the last tick found no newer frame
};
