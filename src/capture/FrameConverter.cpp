// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/FrameConverter.h"

#include <algorithm>
#include <cstdlib>

namespace {

// BT.601 limited range in 8.8 fixed point: R = 1.164(Y-16) + 1.596(V-128), and so on. The rounding
// term sits in the Y table so that each pixel costs three additions and a shift per channel.
struct YuvTables {
    std::array<int, 256> y{};
    std::array<int, 256> rv{};
    std::array<int, 256> gu{};
    std::array<int, 256> gv{};
    std::array<int, 256> bu{};
};

constexpr YuvTables makeTables() {
    YuvTables t;
    for (int i = 0; i < 256; ++i) {
        t.y[i] = 298 * (i - 16) + 128;
        t.rv[i] = 409 * (i - 128);
        t.gu[i] = -100 * (i - 128);
        t.gv[i] = -208 * (i - 128);
        t.bu[i] = 516 * (i - 128);
    }
    return t;
}

constexpr YuvTables Tables = makeTables();

inline uint channel(int fixed) {
    return uint(std::clamp(fixed >> 8, 0, 255));
}

inline QRgb rgbFromYuv(uint y, uint u, uint v) {
    const int luma = Tables.y[y];
    return 0xff000000u | channel(luma + Tables.rv[v]) << 16 |
           channel(luma + Tables.gu[u] + Tables.gv[v]) << 8 | channel(luma + Tables.bu[u]);
}

// Byte offsets of the two chroma samples inside a pixel pair of packed and semi-planar layouts.
struct Layout {
    int uOffset;
    int vOffset;
};

using Row = QRgb*;

// 4:2:0 with U and V in separate planes.
void planarRow(const FrameView& f, int sy, Row out, const int* columns, int n, int uPlane, int vPlane) {
    const uchar* y = f.planes[0] + qptrdiff(sy) * f.strides[0];
    const uchar* u = f.planes[uPlane] + qptrdiff(sy / 2) * f.strides[uPlane];
    const uchar* v = f.planes[vPlane] + qptrdiff(sy / 2) * f.strides[vPlane];
    for (int x = 0; x < n; ++x) {
        const int sx = columns[x];
        out[x] = rgbFromYuv(y[sx], u[sx >> 1], v[sx >> 1]);
    }
}

// 4:2:0 with interleaved chroma pairs.
void semiPlanarRow(const FrameView& f, int sy, Row out, const int* columns, int n, Layout l) {
    const uchar* y = f.planes[0] + qptrdiff(sy) * f.strides[0];
    const uchar* uv = f.planes[1] + qptrdiff(sy / 2) * f.strides[1];
    for (int x = 0; x < n; ++x) {
        const int sx = columns[x];
        const uchar* pair = uv + (sx & ~1);
        out[x] = rgbFromYuv(y[sx], pair[l.uOffset], pair[l.vOffset]);
    }
}

// 4:2:2 packed: four bytes carry two pixels; yOffset is where the first Y of a pair lies.
void packedYuvRow(const FrameView& f, int sy, Row out, const int* columns, int n, int yOffset, Layout l) {
    const uchar* line = f.planes[0] + qptrdiff(sy) * f.strides[0];
    for (int x = 0; x < n; ++x) {
        const int sx = columns[x];
        const uchar* quad = line + (sx & ~1) * 2;
        out[x] = rgbFromYuv(line[sx * 2 + yOffset], quad[l.uOffset], quad[l.vOffset]);
    }
}

template <int Bytes, int R, int G, int B>
void rgbRow(const FrameView& f, int sy, Row out, const int* columns, int n) {
    const uchar* line = f.planes[0] + qptrdiff(sy) * f.strides[0];
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
    case PixelFormat::Rgb24:
    case PixelFormat::Bgr24:
        return width * 3;
    case PixelFormat::Invalid:
        return 0;
    default:
        return width * 4;
    }
}

} // namespace

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

QRgb yuvToRgb(int y, int u, int v) {
    return rgbFromYuv(uint(y) & 0xff, uint(u) & 0xff, uint(v) & 0xff);
}

void FrameConverter::prepareMaps(const FrameView& frame, QSize size) {
    const QSize source(frame.width, frame.height);
    if (source == m_mappedSource && size == m_mappedTarget)
        return;
    // Centre of each target pixel, so that a halved picture takes the odd pixels and not the even ones
    // only on one side.
    auto map = [](std::vector<int>& out, int from, int to) {
        out.resize(size_t(to));
        for (int i = 0; i < to; ++i)
            out[size_t(i)] = int((qint64(2 * i + 1) * from) / (2 * qint64(to)));
    };
    map(m_columns, frame.width, size.width());
    map(m_rows, frame.height, size.height());
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
    const int* columns = m_columns.data();
    const int n = size.width();
    for (int y = 0; y < size.height(); ++y) {
        const int sy = m_rows[size_t(y)];
        Row out = reinterpret_cast<Row>(bits + y * bytesPerLine);
        switch (frame.format) {
        case PixelFormat::I420:
            planarRow(frame, sy, out, columns, n, 1, 2);
            break;
        case PixelFormat::YV12:
            planarRow(frame, sy, out, columns, n, 2, 1);
            break;
        case PixelFormat::NV12:
            semiPlanarRow(frame, sy, out, columns, n, {0, 1});
            break;
        case PixelFormat::NV21:
            semiPlanarRow(frame, sy, out, columns, n, {1, 0});
            break;
        case PixelFormat::YUYV:
            packedYuvRow(frame, sy, out, columns, n, 0, {1, 3});
            break;
        case PixelFormat::UYVY:
            packedYuvRow(frame, sy, out, columns, n, 1, {0, 2});
            break;
        case PixelFormat::Bgrx32:
            rgbRow<4, 2, 1, 0>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Rgbx32:
            rgbRow<4, 0, 1, 2>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Xrgb32:
            rgbRow<4, 1, 2, 3>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Xbgr32:
            rgbRow<4, 3, 2, 1>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Rgb24:
            rgbRow<3, 0, 1, 2>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Bgr24:
            rgbRow<3, 2, 1, 0>(frame, sy, out, columns, n);
            break;
        case PixelFormat::Invalid:
            return false;
        }
    }
    return true;
}
