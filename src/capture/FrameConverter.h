// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QImage>
#include <QSize>

#include <array>
#include <vector>

// Layouts of a camera frame. Named after the order of the bytes in memory, so that the platform layer
// can map whatever its video framework calls them without this library knowing that framework.
enum class PixelFormat {
    Invalid,
    I420,   // planar 4:2:0: Y, U, V planes (also called YUV420P)
    YV12,   // planar 4:2:0: Y, V, U planes
    NV12,   // Y plane, then one plane of U,V pairs at half height
    NV21,   // Y plane, then one plane of V,U pairs at half height
    YUYV,   // packed 4:2:2: Y0 U Y1 V (also called YUY2)
    UYVY,   // packed 4:2:2: U Y0 V Y1
    Bgrx32, // B G R X; the X/alpha byte is ignored (QImage RGB32/ARGB32 on little-endian machines)
    Bgra32, // B G R A with A always 0xff: QImage RGB32 itself, whose rows can be copied as they are
    Rgbx32, // R G B X
    Xrgb32, // X R G B
    Xbgr32, // X B G R
    Rgb24,  // R G B
    Bgr24,  // B G R
};

// A mapped frame as the camera delivered it. The planes are given in the order they lie in the frame
// (Y, then U or V, ...), each with its own stride in bytes; packed formats use plane 0 only.
struct FrameView {
    PixelFormat format = PixelFormat::Invalid;
    int width = 0;
    int height = 0;
    std::array<const uchar*, 3> planes{};
    std::array<int, 3> strides{};
    // Set when the frame is all of this 32-bit RGB picture, which its source fills again for the next
    // frame: a user that would copy the frame whole may swap the picture for one of its own instead (of
    // any size, or null), and the source then fills that one.
    QImage* picture = nullptr;

    bool isValid() const;
    // A view of a picture's pixels (converted to 32 bits first when it is not); `picture` must outlive
    // the view.
    static FrameView ofImage(const QImage& picture);
};

// Converts camera frames to RGB and scales them (nearest neighbour) in one pass. The detector only
// samples single pixels, so filtering would cost time for nothing. YUV is taken as BT.601 limited range.
class FrameConverter {
public:
    static constexpr QSize DefaultSize{320, 240};

    // Writes the frame into `target`, which becomes `size` in Format_RGB32 when it is not that already;
    // a target of the right shape keeps its buffer, so a steady stream of frames allocates nothing.
    // Returns false, leaving `target` untouched, for an invalid frame.
    bool convert(const FrameView& frame, QImage& target, QSize size = DefaultSize);

private:
    void prepareMaps(const FrameView& frame, QSize size);

    std::vector<int> m_columns;     // source column of each target column
    std::vector<int> m_rows;        // source row of each target row
    std::vector<quint32> m_samples; // Y, U and V of one target row, gathered for the colour maths
    QSize m_mappedSource;
    QSize m_mappedTarget;
};
