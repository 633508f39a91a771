// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/FrameConverter.h"

#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(PixelFormat)

namespace {

using Triple = std::array<int, 3>;
using PixelFunction = std::function<Triple(int x, int y)>; // Y,U,V or R,G,B of a source pixel

bool isYuv(PixelFormat f) {
    return f <= PixelFormat::UYVY;
}

// A frame in its own memory, every row padded with `padding` bytes of junk. Chroma is written by every
// pixel that shares it, so test pictures keep their colours the same over 2x2 blocks.
struct TestFrame {
    std::array<std::vector<uchar>, 3> memory;
    FrameView view;
};

TestFrame makeFrame(PixelFormat f, int w, int h, int padding, const PixelFunction& pixel) {
    using enum PixelFormat;
    static const QMap<PixelFormat, QByteArray> rgbOrder{{Bgrx32, "bgrx"}, {Rgbx32, "rgbx"}, {Xrgb32, "xrgb"},
                                                        {Xbgr32, "xbgr"}, {Rgb24, "rgb"},   {Bgr24, "bgr"}};
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    const bool planar = f == I420 || f == YV12, semi = f == NV12 || f == NV21,
               packed = f == YUYV || f == UYVY;
    const QByteArray order = rgbOrder.value(f);
    const int rowBytes[3] = {packed     ? 4 * cw
                             : isYuv(f) ? w
                                        : w * int(order.size()),
                             semi     ? 2 * cw
                             : planar ? cw
                                      : 0,
                             planar ? cw : 0};
    TestFrame t;
    t.view = {f, w, h, {}, {}};
    for (int i = 0; i < 3 && rowBytes[i]; ++i) {
        t.view.strides[i] = rowBytes[i] + padding;
        t.memory[i].assign(size_t(t.view.strides[i] * (i ? ch : h)), 0xa5);
        t.view.planes[i] = t.memory[i].data();
    }
    auto put = [&](int plane, int bx, int by, int v) {
        t.memory[plane][size_t(by * t.view.strides[plane] + bx)] = uchar(v);
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Triple p = pixel(x, y);
            const int u = f == YV12 || f == NV21 ? 2 : 1, v = 3 - u; // where U and V go in planar order
            if (planar) {
                put(0, x, y, p[0]);
                put(u, x / 2, y / 2, p[1]);
                put(v, x / 2, y / 2, p[2]);
            } else if (semi) {
                put(0, x, y, p[0]);
                put(1, x / 2 * 2 + u - 1, y / 2, p[1]);
                put(1, x / 2 * 2 + v - 1, y / 2, p[2]);
            } else if (packed) {
                const int c = f == YUYV ? 1 : 0; // first chroma byte of the quad
                put(0, 2 * x + 1 - c, y, p[0]);
                put(0, x / 2 * 4 + c, y, p[1]);
                put(0, x / 2 * 4 + c + 2, y, p[2]);
            } else {
                for (int i = 0; i < order.size(); ++i)
                    put(0, x * int(order.size()) + i, y,
                        order[i] == 'x' ? 0x5a : p[QByteArray("rgb").indexOf(order[i])]);
            }
        }
    }
    return t;
}

// Known colours as BT.601 limited-range YUV and as RGB.
struct Known {
    Triple yuv;
    QRgb rgb;
};
const Known Palette[] = {
    {{81, 90, 240}, 0xffff0000},   // red
    {{145, 54, 34}, 0xff00ff00},   // green
    {{41, 240, 110}, 0xff0000ff},  // blue
    {{235, 128, 128}, 0xffffffff}, // white
    {{16, 128, 128}, 0xff000000},  // black
    {{126, 128, 128}, 0xff808080}, // grey
};

bool near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2;
}

Triple source(PixelFormat format, const Known& k) {
    return isYuv(format) ? k.yuv : Triple{qRed(k.rgb), qGreen(k.rgb), qBlue(k.rgb)};
}

} // namespace

class TestFrameConverter : public QObject {
    Q_OBJECT
private slots:
    // Colours change at every pixel pair, so a chroma sample taken from the wrong pair or the wrong plane
    // shows at once; the frames are half the target's size, their rows padded with an odd count of bytes.
    void formats_data() {
        QTest::addColumn<PixelFormat>("format");
        using enum PixelFormat;
        for (PixelFormat f :
             {I420, YV12, NV12, NV21, YUYV, UYVY, Bgrx32, Rgbx32, Xrgb32, Xbgr32, Rgb24, Bgr24})
            QTest::addRow("%d", int(f)) << f;
    }
    void formats() {
        QFETCH(PixelFormat, format);
        auto colourAt = [](int x, int y) { return Palette[(x / 2 + y / 2) % std::size(Palette)]; };
        const TestFrame frame =
            makeFrame(format, 160, 120, 13, [&](int x, int y) { return source(format, colourAt(x, y)); });
        QImage target;
        FrameConverter converter;
        QVERIFY(converter.convert(frame.view, target));
        QCOMPARE(target.size(), QSize(320, 240));
        QCOMPARE(target.format(), QImage::Format_RGB32);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (!near(target.pixel(x, y), colourAt(x / 2, y / 2).rgb))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }

    // Each target pixel takes the source pixel under its centre.
    void scaling_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QPoint>("picked");
        QTest::addRow("640x480 last") << QSize(640, 480) << QPoint(319, 239) << QPoint(639, 479);
        QTest::addRow("1280x720 middle") << QSize(1280, 720) << QPoint(160, 120) << QPoint(642, 361);
        QTest::addRow("odd 321x241") << QSize(321, 241) << QPoint(319, 239) << QPoint(320, 240);
        QTest::addRow("upscaled 3x2") << QSize(3, 2) << QPoint(107, 120) << QPoint(1, 1);
    }
    void scaling() {
        QFETCH(QSize, size);
        QFETCH(QPoint, target);
        QFETCH(QPoint, picked);
        // Coordinates written into the pixels: red and green the low bytes, blue the high bits.
        const TestFrame frame =
            makeFrame(PixelFormat::Rgb24, size.width(), size.height(), 1, [](int x, int y) {
                return Triple{x % 256, y % 256, x / 256 * 16 + y / 256};
            });
        QImage image;
        QVERIFY(FrameConverter().convert(frame.view, image));
        const QRgb p = image.pixel(target);
        QCOMPARE(QPoint(qBlue(p) / 16 * 256 + qRed(p), qBlue(p) % 16 * 256 + qGreen(p)), picked);
    }

    void reusesTheTarget() {
        const TestFrame frame =
            makeFrame(PixelFormat::NV12, 640, 480, 0, [](int, int) { return Palette[0].yuv; });
        FrameConverter converter;
        QImage target(320, 240, QImage::Format_RGB32);
        const uchar* buffer = target.constBits();
        QVERIFY(converter.convert(frame.view, target));
        QVERIFY(converter.convert(frame.view, target));
        QCOMPARE(target.constBits(), buffer);
    }

    void rejectsBrokenFrames_data() {
        QTest::addColumn<int>("breakage");
        QTest::addRow("no format") << 0;
        QTest::addRow("no chroma plane") << 1;
        QTest::addRow("stride shorter than a row") << 2;
        QTest::addRow("no height") << 3;
    }
    void rejectsBrokenFrames() {
        QFETCH(int, breakage);
        TestFrame frame = makeFrame(PixelFormat::I420, 64, 48, 0, [](int, int) { return Palette[3].yuv; });
        switch (breakage) {
        case 0:
            frame.view.format = PixelFormat::Invalid;
            break;
        case 1:
            frame.view.planes[2] = nullptr;
            break;
        case 2:
            frame.view.strides[1] = 31;
            break;
        case 3:
            frame.view.height = 0;
            break;
        }
        QImage target(320, 240, QImage::Format_RGB32);
        target.fill(Qt::blue);
        const QImage before = target.copy();
        QVERIFY(!FrameConverter().convert(frame.view, target));
        QCOMPARE(target, before);
    }
};

QTEST_GUILESS_MAIN(TestFrameConverter)
#include "TestFrameConverter.moc"
