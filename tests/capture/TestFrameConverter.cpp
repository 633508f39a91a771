// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/FrameConverter.h"

#include <QTest>

#include <functional>
#include <map>

namespace {

using Triple = std::array<int, 3>;

// Where each of a pixel's three values (Y,U,V or R,G,B) lies in a frame: plane, first byte, bytes from
// one sample to the next, and how many pixels share a sample across and down.
struct Place {
    int plane, offset, step, across, down;
};
using enum PixelFormat;
const std::map<PixelFormat, std::array<Place, 3>> Layouts{
    {I420, {{{0, 0, 1, 1, 1}, {1, 0, 1, 2, 2}, {2, 0, 1, 2, 2}}}},
    {YV12, {{{0, 0, 1, 1, 1}, {2, 0, 1, 2, 2}, {1, 0, 1, 2, 2}}}},
    {NV12, {{{0, 0, 1, 1, 1}, {1, 0, 2, 2, 2}, {1, 1, 2, 2, 2}}}},
    {NV21, {{{0, 0, 1, 1, 1}, {1, 1, 2, 2, 2}, {1, 0, 2, 2, 2}}}},
    {YUYV, {{{0, 0, 2, 1, 1}, {0, 1, 4, 2, 1}, {0, 3, 4, 2, 1}}}},
    {UYVY, {{{0, 1, 2, 1, 1}, {0, 0, 4, 2, 1}, {0, 2, 4, 2, 1}}}},
    {Bgrx32, {{{0, 2, 4, 1, 1}, {0, 1, 4, 1, 1}, {0, 0, 4, 1, 1}}}},
    {Bgra32, {{{0, 2, 4, 1, 1}, {0, 1, 4, 1, 1}, {0, 0, 4, 1, 1}}}},
    {Rgbx32, {{{0, 0, 4, 1, 1}, {0, 1, 4, 1, 1}, {0, 2, 4, 1, 1}}}},
    {Xrgb32, {{{0, 1, 4, 1, 1}, {0, 2, 4, 1, 1}, {0, 3, 4, 1, 1}}}},
    {Xbgr32, {{{0, 3, 4, 1, 1}, {0, 2, 4, 1, 1}, {0, 1, 4, 1, 1}}}},
    {Rgb24, {{{0, 0, 3, 1, 1}, {0, 1, 3, 1, 1}, {0, 2, 3, 1, 1}}}},
    {Bgr24, {{{0, 2, 3, 1, 1}, {0, 1, 3, 1, 1}, {0, 0, 3, 1, 1}}}},
};

// A frame in its own memory, `pixel` giving each pixel's Y,U,V or R,G,B, every row padded with `padding`
// bytes of junk, as are the X bytes. Chroma is written by every pixel that shares it, so test pictures keep
// their colours the same over 2x2 blocks.
struct TestFrame {
    std::array<std::vector<uchar>, 3> memory;
    FrameView view;
};

TestFrame makeFrame(PixelFormat f, int w, int h, int padding, const std::function<Triple(int, int)>& pixel) {
    const std::array<Place, 3>& places = Layouts.at(f);
    TestFrame t{{}, {f, w, h, {}, {}}};
    for (const Place& p : places) {
        int& stride = t.view.strides[p.plane];
        stride = std::max(stride, (w + p.across - 1) / p.across * p.step + padding);
        t.memory[p.plane].resize(size_t(stride * ((h + p.down - 1) / p.down)), 0xa5);
        t.view.planes[p.plane] = t.memory[p.plane].data();
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const Place& p = places[size_t(c)];
                t.memory[p.plane][size_t(y / p.down * t.view.strides[p.plane] + x / p.across * p.step +
                                         p.offset)] = uchar(pixel(x, y)[size_t(c)]);
            }
    // Its fourth byte is opaque by definition (only the padding is junk).
    if (f == Bgra32)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                t.memory[0][size_t(y * t.view.strides[0] + x * 4 + 3)] = 0xff;
    return t;
}

// Red, green, blue, white, black and grey as BT.601 limited-range YUV and as RGB.
struct Known {
    Triple yuv;
    QRgb rgb;
};
const Known Palette[] = {{{81, 90, 240}, 0xffff0000},  {{145, 54, 34}, 0xff00ff00},
                         {{41, 240, 110}, 0xff0000ff}, {{235, 128, 128}, 0xffffffff},
                         {{16, 128, 128}, 0xff000000}, {{126, 128, 128}, 0xff808080}};

bool near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2;
}

} // namespace

class TestFrameConverter : public QObject {
    Q_OBJECT
private slots:
    // Colours change at every pixel pair, so a chroma sample taken from the wrong pair or the wrong plane
    // shows at once; the frames are half the target's size (and 32-bit ones also the target's own, as a
    // decoder that scaled them hands them over), their rows padded with an odd count of bytes.
    void formats_data() {
        QTest::addColumn<PixelFormat>("format");
        QTest::addColumn<int>("scale");
        for (const auto& [f, places] : Layouts)
            QTest::addRow("%d", int(f)) << f << 2;
        for (PixelFormat f : {Bgrx32, Bgra32, Rgbx32})
            QTest::addRow("%d same size", int(f)) << f << 1;
    }
    void formats() {
        QFETCH(PixelFormat, format);
        QFETCH(int, scale);
        auto colourAt = [](int x, int y) { return Palette[(x / 2 + y / 2) % std::size(Palette)]; };
        const TestFrame frame = makeFrame(format, 320 / scale, 240 / scale, 13, [&](int x, int y) {
            const Known& k = colourAt(x, y);
            return format <= UYVY ? k.yuv : Triple{qRed(k.rgb), qGreen(k.rgb), qBlue(k.rgb)};
        });
        QImage target(320, 240, QImage::Format_RGB32);
        const uchar* buffer = target.constBits(); // a target of the right shape is reused
        QVERIFY(FrameConverter().convert(frame.view, target));
        QCOMPARE(target.constBits(), buffer);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                // The junk in the frames' X bytes never reaches the picture: it is opaque.
                const QRgb raw = reinterpret_cast<const QRgb*>(target.constScanLine(y))[x];
                if (!near(raw, colourAt(x / scale, y / scale).rgb) || qAlpha(raw) != 255)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

    // Each target pixel takes the source pixel under its centre: the last of 640x480, the middle of
    // 1280x720, an odd size, and a picture scaled up.
    void scaling() {
        using Row = std::tuple<QSize, QPoint, QPoint>; // source size, target pixel, source pixel picked
        for (const auto& [size, target, picked] :
             {Row{{640, 480}, {319, 239}, {639, 479}}, Row{{1280, 720}, {160, 120}, {642, 361}},
              Row{{321, 241}, {319, 239}, {320, 240}}, Row{{3, 2}, {107, 120}, {1, 1}}}) {
            // Coordinates written into the pixels: red and green the low bytes, blue the high bits.
            const TestFrame frame = makeFrame(Rgb24, size.width(), size.height(), 1, [](int x, int y) {
                return Triple{x % 256, y % 256, x / 256 * 16 + y / 256};
            });
            QImage image;
            QVERIFY(FrameConverter().convert(frame.view, image));
            const QRgb p = image.pixel(target);
            QCOMPARE(QPoint(qBlue(p) / 16 * 256 + qRed(p), qBlue(p) % 16 * 256 + qGreen(p)), picked);
        }
    }

    // A frame that cannot be read: false, and the target left as it was.
    void rejectsBrokenFrames() {
        const TestFrame frame = makeFrame(I420, 64, 48, 0, [](int, int) { return Palette[3].yuv; });
        FrameView noChroma = frame.view, shortRows = frame.view, noRows = frame.view;
        noChroma.planes[2] = nullptr;
        shortRows.strides[1] = 31; // shorter than a row
        noRows.height = 0;
        QImage target(320, 240, QImage::Format_RGB32);
        target.fill(Qt::blue);
        const QImage before = target.copy();
        for (const FrameView& broken : {noChroma, shortRows, noRows})
            QVERIFY(!FrameConverter().convert(broken, target));
        QCOMPARE(target, before);
    }
};

QTEST_GUILESS_MAIN(TestFrameConverter)
#include "TestFrameConverter.moc"
