// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/FrameConverter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The colour maths runs in a loop the compiler turns into vector code; on x86 it builds an AVX2 copy as
// well and picks one at load time, as the program is built for the baseline instruction set.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PREGONAR_VECTOR_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define PREGONAR_VECTOR_CLONES
#endif

namespace {

inline int clampByte(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// BT.601 limited range in 8.8 fixed point: R = 1.164(Y-16) + 1.596(V-128), and so on. Each sample
// word holds Y in its low byte, then U, then V.
PREGONAR_VECTOR_CLONES
void yuvRow(const quint32* __restrict samples, QRgb* __restrict out, int n) {
    for (int i = 0; i < n; ++i) {
        const quint32 s = samples[i];
        const int c = 298 * (int(s & 0xff) - 16) + 128;
        const int d = int((s >> 8) & 0xff) - 128;
        const int e = int((s >> 16) & 0xff) - 128;
        const int r = clampByte((c + 409 * e) >> 8);
        const int g = clampByte((c - 100 * d - 208 * e) >> 8);
        const int b = clampByte((c + 516 * d) >> 8);
        out[i] = 0xff000000u | uint(r) << 16 | uint(g) << 8 | uint(b);
    }
}

// Picks the samples of one target row. The three bytes of a pixel go out in one word: gathering is
// what costs here, and one store per pixel instead of three nearly halves it.
template <PixelFormat F>
void gatherRow(const uchar* yLine, const uchar* uLine, const uchar* vLine, const int* __restrict columns,
               quint32* __restrict samples, int n) {
    for (int x = 0; x < n; ++x) {
        const int sx = columns[x];
        quint32 y, u, v;
        if constexpr (F == PixelFormat::I420 || F == PixelFormat::YV12) {
            y = yLine[sx];
            u = uLine[sx >> 1];
            v = vLine[sx >> 1];
        } else if constexpr (F == PixelFormat::NV12 || F == PixelFormat::NV21) {
            const uchar* pair = uLine + (sx & ~1);
            y = yLine[sx];
            u = pair[F == PixelFormat::NV12 ? 0 : 1];
            v = pair[F == PixelFormat::NV12 ? 1 : 0];
        } else {
            // Four bytes carry two pixels: Y0 U Y1 V or U Y0 V Y1.
            const uchar* quad = yLine + (sx & ~1) * 2;
            const int first = F == PixelFormat::YUYV ? 0 : 1;
            y = quad[first + (sx & 1) * 2];
            u = quad[1 - first];
            v = quad[3 - first];
        }
        samples[x] = y | u << 8 | v << 16;
    }
}

int pixelBytes(PixelFormat f) {
    return f == PixelFormat::Rgb24 || f == PixelFormat::Bgr24 ? 3 : 4;
}

// A row already at the target's width, in the target's byte order: copied, the X byte made opaque (a
// loop the compiler turns into vector code). A row may start at any address: it is read bytewise.
PREGONAR_VECTOR_CLONES
void opaqueRow(const uchar* __restrict line, QRgb* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        quint32 pixel;
        std::memcpy(&pixel, line + 4 * x, sizeof pixel);
        out[x] = 0xff000000u | pixel;
    }
}

template <int Bytes, int R, int G, int B>
void rgbRow(const uchar* line, const int* __restrict columns, QRgb* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        const uchar* p = line + columns[x] * Bytes;
        out[x] = 0xff000000u | uint(p[R]) << 16 | uint(p[G]) << 8 | uint(p[B]);
    }
}

int planeCount(PixelFormat format) {
    switch (format) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
        return 3;
    case PixelFormat::NV12:
    case PixelFormat::NV21:
        return 2;
    case PixelFormat::Invalid:
        return 0;
    default:
        return 1;
    }
}

// Bytes one row of plane `plane` needs at least.
int rowBytes(PixelFormat format, int plane, int width) {
    const int half = (width + 1) / 2;
    switch (format) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
        return plane == 0 ? width : half;
    case PixelFormat::NV12:
    case PixelFormat::NV21:
        return plane == 0 ? width : half * 2;
    case PixelFormat::YUYV:
    case PixelFormat::UYVY:
        return half * 4;
    case PixelFormat::Invalid:
        return 0;
    default:
        return width * pixelBytes(format);
    }
}

} // namespace

FrameView FrameView::ofImage(const QImage& picture) {
    FrameView view;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        return view;
    }
    view.format = picture.format() == QImage::Format_RGB32 ? PixelFormat::Bgra32 : PixelFormat::Bgrx32;
    view.width = picture.width();
    view.height = picture.height();
    view.planes[0] = picture.constBits();
    view.strides[0] = int(picture.bytesPerLine());
    return view;
}

bool FrameView::isValid() const {
    const int planesUsed = planeCount(format);
    if (planesUsed == 0 || width <= 0 || height <= 0)
        return false;
    for (int i = 0; i < planesUsed; ++i) {
        if (!planes[i] || std::abs(strides[i]) < rowBytes(format, i, width))
            return false;
    }
    return true;
}

void FrameConverter::prepareMaps(const FrameView& frame, QSize size) {
    const QSize source(frame.width, frame.height);
    if (source == m_mappedSource && size == m_mappedTarget)
        return;
    // Centre of each target pixel, so that a halved picture takes the odd pixels and not the even ones
    // only on one side.
    auto nearest = [](int i, int from, int to) { return int((qint64(2 * i + 1) * from) / (2 * qint64(to))); };
    m_columns.resize(size_t(size.width()));
    for (int x = 0; x < size.width(); ++x)
        m_columns[size_t(x)] = nearest(x, frame.width, size.width());
    m_rows.resize(size_t(size.height()));
    for (int y = 0; y < size.height(); ++y)
        m_rows[size_t(y)] = nearest(y, frame.height, size.height());
    m_samples.resize(size_t(size.width()));
    m_mappedSource = source;
    m_mappedTarget = size;
}

bool FrameConverter::convert(const FrameView& frame, QImage& target, QSize size) {
    if (!frame.isValid() || size.isEmpty())
        return false;
    if (target.size() != size || target.format() != QImage::Format_RGB32)
        target = QImage(size, QImage::Format_RGB32);
    prepareMaps(frame, size);

    uchar* bits = target.bits(); // detaches once if someone still shares the picture
    const qsizetype bytesPerLine = target.bytesPerLine();
    const int n = size.width();
    const PixelFormat f = frame.format;
    // Plane of each kind of sample, and whether its rows are halved (4:2:0 chroma).
    const int uPlane = f == PixelFormat::I420 ? 1 : f == PixelFormat::YV12 ? 2 : planeCount(f) > 1 ? 1 : 0;
    const int vPlane = f == PixelFormat::I420 ? 2 : f == PixelFormat::YV12 ? 1 : uPlane;
    const int chromaShift = planeCount(f) > 1 ? 1 : 0;

    const int* columns = m_columns.data();
    quint32* samples = m_samples.data();
    // A decoder that already scaled the frame to the target's size leaves nothing to pick.
    const bool sameWidth = frame.width == n;
    for (int y = 0; y < size.height(); ++y) {
        const int sy = m_rows[size_t(y)];
        QRgb* out = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        const uchar* line = frame.planes[0] + qptrdiff(sy) * frame.strides[0];
        const int cy = sy >> chromaShift;
        const uchar* uLine = frame.planes[uPlane] + qptrdiff(cy) * frame.strides[uPlane];
        const uchar* vLine = frame.planes[vPlane] + qptrdiff(cy) * frame.strides[vPlane];
        switch (f) {
        case PixelFormat::I420:
        case PixelFormat::YV12:
            gatherRow<PixelFormat::I420>(line, uLine, vLine, columns, samples, n);
            break;
        case PixelFormat::NV12:
            gatherRow<PixelFormat::NV12>(line, uLine, vLine, columns, samples, n);
            break;
        case PixelFormat::NV21:
            gatherRow<PixelFormat::NV21>(line, uLine, vLine, columns, samples, n);
            break;
        case PixelFormat::YUYV:
            gatherRow<PixelFormat::YUYV>(line, uLine, vLine, columns, samples, n);
            break;
        case PixelFormat::UYVY:
            gatherRow<PixelFormat::UYVY>(line, uLine, vLine, columns, samples, n);
            break;
        case PixelFormat::Bgrx32:
            if (sameWidth)
                opaqueRow(line, out, n);
            else
                rgbRow<4, 2, 1, 0>(line, columns, out, n);
            continue;
        case PixelFormat::Bgra32:
            if (sameWidth)
                std::memcpy(out, line, size_t(n) * 4);
            else
                rgbRow<4, 2, 1, 0>(line, columns, out, n);
            continue;
        case PixelFormat::Rgbx32:
            rgbRow<4, 0, 1, 2>(line, columns, out, n);
            continue;
        case PixelFormat::Xrgb32:
            rgbRow<4, 1, 2, 3>(line, columns, out, n);
            continue;
        case PixelFormat::Xbgr32:
            rgbRow<4, 3, 2, 1>(line, columns, out, n);
            continue;
        case PixelFormat::Rgb24:
            rgbRow<3, 0, 1, 2>(line, columns, out, n);
            continue;
        case PixelFormat::Bgr24:
            rgbRow<3, 2, 1, 0>(line, columns, out, n);
            continue;
        case PixelFormat::Invalid:
            return false;
        }
        yuvRow(samples, out, n);
    }
    return true;
}
