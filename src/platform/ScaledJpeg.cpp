// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/ScaledJpeg.h"

#include <turbojpeg.h>

ScaledJpegDecoder::ScaledJpegDecoder()
    : m_handle(tjInitDecompress()) {}

ScaledJpegDecoder::~ScaledJpegDecoder() {
    if (m_handle)
        tjDestroy(m_handle);
}

QSize ScaledJpegDecoder::scaledSize(QSize full, QSize cover) {
    QSize size = full;
    // Each halving rounds up, as the decoder does.
    while (size.width() > 1 && size.height() > 1 && (size.width() + 1) / 2 >= cover.width() &&
           (size.height() + 1) / 2 >= cover.height() && size.width() * 8 > full.width())
        size = QSize((size.width() + 1) / 2, (size.height() + 1) / 2);
    return size;
}

bool ScaledJpegDecoder::decode(const uchar* data, size_t size, FrameView& view, QSize cover) {
    int width = 0, height = 0, subsampling = 0, colours = 0;
    if (!m_handle || !data || size == 0 ||
        tjDecompressHeader3(m_handle, data, (unsigned long)size, &width, &height, &subsampling, &colours) !=
            0 ||
        width <= 0 || height <= 0 || width > 8192 || height > 8192) {
        m_error = m_handle ? QString::fromUtf8(tjGetErrorStr2(m_handle)) : QStringLiteral("no decoder");
        return false;
    }
    const QSize scaled = scaledSize(QSize(width, height), cover);
    const int stride = scaled.width() * 4;
    m_pixels.resize(size_t(stride) * size_t(scaled.height()));
    // A warning (a frame cut short, say) fails too: the missing part would be grey.
    if (tjDecompress2(m_handle, data, (unsigned long)size, m_pixels.data(), scaled.width(), stride,
                      scaled.height(), TJPF_BGRA,
                      TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE | TJFLAG_STOPONWARNING) != 0) {
        m_error = QString::fromUtf8(tjGetErrorStr2(m_handle));
        return false;
    }
    view = FrameView{PixelFormat::Bgra32, scaled.width(), scaled.height(), {m_pixels.data()}, {stride}};
    return true;
}
