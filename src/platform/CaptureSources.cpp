// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CaptureSources.h"

#include "capture/DemoSource.h"

#include "platform/GstFrameSource.h"

#include <QCameraDevice>
#include <QMediaDevices>

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
    case CameraChoice::Kind::Network:
    case CameraChoice::Kind::Camera:
    case CameraChoice::Kind::SystemDefault:
        break;
    }
    return std::make_unique<GstFrameSource>(choice);
}
