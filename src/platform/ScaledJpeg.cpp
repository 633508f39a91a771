// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/ScaledJpeg.h"

#include <turbojpeg.h>

QByteArray encodeJpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    tjhandle handle = rgb.isNull() ? nullptr : tjInitCompress();
    if (!handle)
        return {};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    QByteArray bytes;
    if (tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_BGRX,
                    &out, &size, TJSAMP_420, quality, 0) == 0)
        bytes = QByteArray(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

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
    // The picture may have been swapped for another since the last frame (see FrameView::picture).
    if (m_picture.size() != scaled || m_picture.format() != QImage::Format_RGB32)
        m_picture = QImage(scaled, QImage::Format_RGB32);
    if (m_picture.isNull()) {
        m_error = QStringLiteral("out of memory");
        return false;
    }
    // Opaque BGRA is the layout of a 32-bit RGB picture itself. A warning (a frame cut short, say) fails
    // too: the missing part would be grey.
    const int stride = int(m_picture.bytesPerLine());
    if (tjDecompress2(m_handle, data, (unsigned long)size, m_picture.bits(), scaled.width(), stride,
                      scaled.height(), TJPF_BGRA,
                      TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE | TJFLAG_STOPONWARNING) != 0) {
        m_error = QString::fromUtf8(tjGetErrorStr2(m_handle));
        return false;
    }
    view = FrameView{PixelFormat::Bgra32, scaled.width(), scaled.height(), {m_picture.constBits()}, {stride}};
    view.picture = &m_picture;
    return true;
}
