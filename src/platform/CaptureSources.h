// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/CameraChoice.h"
#include "capture/FrameSource.h"

#include <QList>
#include <QSize>
#include <QString>
#include <memory>

// The cameras of this machine, for the camera dialog.
struct CameraMode {
    QSize resolution;
    double maxFrameRate = 0;
};
struct CameraInfo {
    QString id;
    QString name;
    bool isDefault = false;
    QList<CameraMode> modes;
};
QList<CameraInfo> availableCameras();

// Which of the present cameras a choice means: by id, or by name when the camera came back under
// another id (plugged into another port); the default one for the system's choice. -1: none.
int pickCamera(const CameraChoice& choice, const QList<CameraInfo>& present);

// The format to ask a camera for. The chosen resolution (and rate) when there is one; otherwise the
// smallest picture of at least 320 x 240. Among equal pictures: one that gives at least 10 frames a
// second (a tick can be 100 ms), then an uncompressed one (sampled as it is, where Motion JPEG costs a decode
// per tick), then the lowest rate. -1: none.
struct CameraFormatInfo {
    QSize resolution;
    bool compressed = false;
    double maxFrameRate = 0;
};
int pickFormat(const CameraChoice& choice, const QList<CameraFormatInfo>& formats);

// The source for a choice: a camera (the system's default one included), a video file played in a
// loop, a network camera, or the demo scene.
std::unique_ptr<FrameSource> makeFrameSource(const CameraChoice& choice);
