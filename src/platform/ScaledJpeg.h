// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameConverter.h"

#include <QSize>
#include <QString>

#include <QByteArray>

// Decodes a Motion JPEG frame straight to the smallest size that still covers the detector's view:
// the decoder skips the detail the view would throw away (a 1280x720 frame comes out at 640x360,
// 1920x1080 at 480x270). Only halvings are used: they are the reductions libjpeg-turbo does fast.
// A 32-bit RGB picture as a JPEG file's bytes (4:2:0), through libjpeg-turbo; empty when it fails. Safe
// on any thread.
QByteArray encodeJpeg(const QImage& picture, int quality);

class ScaledJpegDecoder {
public:
    ScaledJpegDecoder();
    ~ScaledJpegDecoder();
    ScaledJpegDecoder(const ScaledJpegDecoder&) = delete;
    ScaledJpegDecoder& operator=(const ScaledJpegDecoder&) = delete;

    // The picture a frame of `full` comes out at to cover `cover`.
    static QSize scaledSize(QSize full, QSize cover = FrameConverter::DefaultSize);

    // Decodes `data` into this decoder's own picture; `view` shows it (and offers it to be swapped, see
    // FrameView::picture) until the next call. A damaged or cut frame gives false (a half-decoded
    // picture would look like a customer) and leaves `view` alone.
    bool decode(const uchar* data, size_t size, FrameView& view, QSize cover = FrameConverter::DefaultSize);
    QString lastError() const { return m_error; }

private:
    void* m_handle = nullptr;
    QImage m_picture;
    QString m_error;
};
