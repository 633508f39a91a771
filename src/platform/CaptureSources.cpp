// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CaptureSources.h"

#include "capture/DemoSource.h"

#include <QCamera>
#include <QCameraDevice>
#include <QImage>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

namespace {
PixelFormat pixelFormatOf(QVideoFrameFormat::PixelFormat format) {
    switch (format) {
    case QVideoFrameFormat::Format_YUV420P:
        return PixelFormat::I420;
    case QVideoFrameFormat::Format_YV12:
        return PixelFormat::YV12;
    case QVideoFrameFormat::Format_NV12:
        return PixelFormat::NV12;
    case QVideoFrameFormat::Format_NV21:
        return PixelFormat::NV21;
    case QVideoFrameFormat::Format_YUYV:
        return PixelFormat::YUYV;
    case QVideoFrameFormat::Format_UYVY:
        return PixelFormat::UYVY;
    case QVideoFrameFormat::Format_BGRA8888:
    case QVideoFrameFormat::Format_BGRA8888_Premultiplied:
    case QVideoFrameFormat::Format_BGRX8888:
        return PixelFormat::Bgrx32;
    case QVideoFrameFormat::Format_RGBA8888:
    case QVideoFrameFormat::Format_RGBX8888:
        return PixelFormat::Rgbx32;
    case QVideoFrameFormat::Format_ARGB8888:
    case QVideoFrameFormat::Format_ARGB8888_Premultiplied:
    case QVideoFrameFormat::Format_XRGB8888:
        return PixelFormat::Xrgb32;
    case QVideoFrameFormat::Format_ABGR8888:
    case QVideoFrameFormat::Format_XBGR8888:
        return PixelFormat::Xbgr32;
    default:
        return PixelFormat::Invalid;
    }
}

// Sources that receive frames in a video sink and keep the newest one.
class SinkSource : public FrameSource {
public:
    SinkSource() {
        connect(&m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            // Frames that arrive while the source is not working are not the shop: GStreamer feeds
            // test pictures into the sink of a camera that never opened.
            if (isActive() && frame.isValid()) {
                m_newest = frame;
            }
        });
    }

    bool withNewestFrame(const std::function<void(const FrameView&)>& use) override {
        if (!isActive() || !m_newest.isValid()) {
            return false;
        }
        QVideoFrame frame = m_newest;
        if (!frame.map(QVideoFrame::ReadOnly)) {
            return false;
        }
        FrameView view;
        if (viewOfMappedFrame(frame, view)) {
            use(view);
            frame.unmap();
            return true;
        }
        frame.unmap();
        // A format the converter does not read (compressed, say): Qt's own, slower conversion.
        m_fallback = frame.toImage().convertToFormat(QImage::Format_RGB32);
        if (m_fallback.isNull()) {
            return false;
        }
        use(FrameView::ofImage(m_fallback));
        return true;
    }

protected:
    void dropFrames() { m_newest = QVideoFrame(); }

    QVideoSink m_sink;

private:
    QVideoFrame m_newest;
    QImage m_fallback;
};

class CameraSource final : public SinkSource {
public:
    explicit CameraSource(CameraChoice choice)
        : m_choice(std::move(choice)) {
        connect(&m_devices, &QMediaDevices::videoInputsChanged, this, &CameraSource::devicesChanged);
        // A camera that is present but would not open (busy, say) is tried again now and then.
        m_retry.setInterval(5000);
        connect(&m_retry, &QTimer::timeout, this, [this] {
            if (m_wanted && !isActive()) {
                open();
            }
        });
    }
    ~CameraSource() override { close(); }

    void start() override {
        m_wanted = true;
        open();
        m_retry.start();
    }

    void stop() override {
        m_wanted = false;
        m_retry.stop();
        close();
    }

    bool isActive() const override { return m_camera && m_camera->isActive(); }

    QString description() const override {
        return m_device.isNull() ? m_choice.describe() : m_device.description();
    }

private:
    QCameraDevice findDevice() const {
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        QList<CameraInfo> present;
        const QCameraDevice defaultDevice = QMediaDevices::defaultVideoInput();
        for (const QCameraDevice& device : devices) {
            present.append(
                {QString::fromUtf8(device.id()), device.description(), device == defaultDevice, {}});
        }
        const int index = pickCamera(m_choice, present);
        return index < 0 ? QCameraDevice() : devices[index];
    }

    QCameraFormat chooseFormat(const QCameraDevice& device) const {
        const QList<QCameraFormat> formats = device.videoFormats();
        QList<CameraFormatInfo> infos;
        for (const QCameraFormat& format : formats) {
            infos.append({format.resolution(), format.pixelFormat() == QVideoFrameFormat::Format_Jpeg,
                          format.maxFrameRate()});
        }
        const int index = pickFormat(m_choice, infos);
        return index < 0 ? QCameraFormat() : formats[index];
    }

    void open() {
        if (m_camera) {
            return;
        }
        m_device = findDevice();
        if (m_device.isNull()) {
            return;
        }
        m_camera = std::make_unique<QCamera>(m_device);
        const QCameraFormat format = chooseFormat(m_device);
        if (!format.isNull()) {
            m_camera->setCameraFormat(format);
        }
        connect(m_camera.get(), &QCamera::activeChanged, this, [this](bool active) {
            if (!active) {
                dropFrames();
            }
            emit activeChanged(active);
        });
        connect(m_camera.get(), &QCamera::errorOccurred, this, [this](QCamera::Error error) {
            if (error != QCamera::NoError) {
                // Closed later, not inside the camera's own signal.
                QTimer::singleShot(0, this, [this] { close(); });
            }
        });
        m_session.setCamera(m_camera.get());
        m_session.setVideoSink(&m_sink);
        m_camera->start();
    }

    void close() {
        dropFrames();
        if (!m_camera) {
            return;
        }
        const bool wasActive = m_camera->isActive();
        m_session.setCamera(nullptr);
        m_camera->stop();
        m_camera.reset();
        if (wasActive) {
            emit activeChanged(false);
        }
    }

    void devicesChanged() {
        if (!m_wanted) {
            return;
        }
        const QCameraDevice present = findDevice();
        if (m_camera && (present.isNull() || present.id() != m_device.id())) {
            close(); // unplugged: detection goes on without frames
        }
        if (!m_camera && !present.isNull()) {
            open(); // back again: capture resumes by itself
        }
    }

    CameraChoice m_choice;
    QMediaDevices m_devices;
    QMediaCaptureSession m_session;
    QCameraDevice m_device;
    std::unique_ptr<QCamera> m_camera;
    QTimer m_retry;
    bool m_wanted = false;
};

class FileSource final : public SinkSource {
public:
    explicit FileSource(QString file)
        : m_file(std::move(file)) {
        m_player.setVideoSink(&m_sink);
        m_player.setLoops(QMediaPlayer::Infinite);
        connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, [this] { update(); });
        connect(&m_player, &QMediaPlayer::playbackStateChanged, this, [this] { update(); });
        connect(&m_player, &QMediaPlayer::errorOccurred, this, [this] { update(); });
    }

    void start() override {
        m_player.setSource(QUrl::fromLocalFile(m_file));
        m_player.play();
    }

    void stop() override {
        m_player.stop();
        m_player.setSource(QUrl());
        dropFrames();
        update();
    }

    bool isActive() const override { return m_active; }
    QString description() const override { return m_file; }

private:
    void update() {
        const QMediaPlayer::MediaStatus status = m_player.mediaStatus();
        const bool active = m_player.playbackState() == QMediaPlayer::PlayingState &&
                            m_player.error() == QMediaPlayer::NoError &&
                            (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferingMedia ||
                             status == QMediaPlayer::BufferedMedia);
        if (active != m_active) {
            m_active = active;
            if (!active) {
                dropFrames();
            }
            emit activeChanged(active);
        }
    }

    QString m_file;
    QMediaPlayer m_player;
    bool m_active = false;
};
} // namespace

bool viewOfMappedFrame(const QVideoFrame& frame, FrameView& view) {
    view.format = pixelFormatOf(frame.pixelFormat());
    view.width = frame.width();
    view.height = frame.height();
    const int planes = std::min(frame.planeCount(), 3);
    for (int i = 0; i < planes; ++i) {
        view.planes[size_t(i)] = frame.bits(i);
        view.strides[size_t(i)] = frame.bytesPerLine(i);
    }
    return view.isValid();
}

QList<CameraInfo> availableCameras() {
    QList<CameraInfo> cameras;
    const QCameraDevice defaultDevice = QMediaDevices::defaultVideoInput();
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    for (const QCameraDevice& device : devices) {
        CameraInfo info;
        info.id = QString::fromUtf8(device.id());
        info.name = device.description();
        info.isDefault = device == defaultDevice;
        const QList<QCameraFormat> formats = device.videoFormats();
        for (const QCameraFormat& format : formats) {
            const auto same = std::find_if(info.modes.begin(), info.modes.end(), [&](const CameraMode& m) {
                return m.resolution == format.resolution();
            });
            if (same == info.modes.end()) {
                info.modes.append({format.resolution(), format.maxFrameRate()});
            } else {
                same->maxFrameRate = std::max(same->maxFrameRate, double(format.maxFrameRate()));
            }
        }
        cameras.append(info);
    }
    return cameras;
}

int pickCamera(const CameraChoice& choice, const QList<CameraInfo>& present) {
    if (choice.kind == CameraChoice::Kind::SystemDefault) {
        for (qsizetype i = 0; i < present.size(); ++i) {
            if (present[i].isDefault) {
                return int(i);
            }
        }
        return present.isEmpty() ? -1 : 0;
    }
    if (choice.kind != CameraChoice::Kind::Camera) {
        return -1;
    }
    for (qsizetype i = 0; i < present.size(); ++i) {
        if (!choice.device.isEmpty() && present[i].id == choice.device) {
            return int(i);
        }
    }
    for (qsizetype i = 0; i < present.size(); ++i) {
        if (!choice.name.isEmpty() && present[i].name == choice.name) {
            return int(i);
        }
    }
    return -1;
}

int pickFormat(const CameraChoice& choice, const QList<CameraFormatInfo>& formats) {
    const auto bigEnough = [](const CameraFormatInfo& f) {
        return f.resolution.width() >= 320 && f.resolution.height() >= 240;
    };
    const auto area = [](const CameraFormatInfo& f) { return f.resolution.width() * f.resolution.height(); };
    const auto fastEnough = [](const CameraFormatInfo& f) { return f.maxFrameRate >= 10; };
    // True when a is the better format to ask for.
    const auto better = [&](const CameraFormatInfo& a, const CameraFormatInfo& b) {
        if (bigEnough(a) != bigEnough(b)) {
            return bigEnough(a);
        }
        if (area(a) != area(b)) {
            return bigEnough(a) ? area(a) < area(b) : area(a) > area(b);
        }
        if (fastEnough(a) != fastEnough(b)) {
            return fastEnough(a);
        }
        // Motion JPEG must be decoded frame by frame; raw frames only change hands.
        if (a.compressed != b.compressed) {
            return !a.compressed;
        }
        return fastEnough(a) ? a.maxFrameRate < b.maxFrameRate : a.maxFrameRate > b.maxFrameRate;
    };
    int best = -1;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const CameraFormatInfo& format = formats[i];
        if (choice.resolution.isValid() && !choice.resolution.isEmpty() &&
            format.resolution != choice.resolution) {
            continue;
        }
        if (choice.frameRate > 0 && format.maxFrameRate + 0.01 < choice.frameRate) {
            continue;
        }
        if (best < 0 || better(format, formats[best])) {
            best = int(i);
        }
    }
    return best;
}

std::unique_ptr<FrameSource> makeFrameSource(const CameraChoice& choice) {
    switch (choice.kind) {
    case CameraChoice::Kind::Demo:
        return std::make_unique<DemoSource>();
    case CameraChoice::Kind::File:
        return std::make_unique<FileSource>(choice.file);
    case CameraChoice::Kind::Camera:
    case CameraChoice::Kind::SystemDefault:
        break;
    }
    return std::make_unique<CameraSource>(choice);
}
