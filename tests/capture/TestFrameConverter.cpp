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

// A frame in its own memory, every row padded with `padding` bytes of junk.
struct TestFrame {
    std::array<std::vector<uchar>, 3> memory;
    FrameView view;
};

TestFrame makeFrame(PixelFormat format, int w, int h, int padding, const PixelFunction& pixel) {
    TestFrame t;
    t.view.format = format;
    t.view.width = w;
    t.view.height = h;
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    auto plane = [&](int i, int rowBytes, int rows) {
        t.view.strides[i] = rowBytes + padding;
        t.memory[i].assign(size_t(t.view.strides[i] * rows), 0xa5);
        t.view.planes[i] = t.memory[i].data();
    };
    auto at = [&](int i, int x, int y) -> uchar& { return t.memory[i][size_t(y * t.view.strides[i] + x)]; };
    switch (format) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
    case PixelFormat::NV12:
    case PixelFormat::NV21: {
        const bool semi = format == PixelFormat::NV12 || format == PixelFormat::NV21;
        plane(0, w, h);
        plane(1, semi ? 2 * cw : cw, ch);
        if (!semi)
            plane(2, cw, ch);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                at(0, x, y) = uchar(pixel(x, y)[0]);
        for (int y = 0; y < ch; ++y) {
            for (int x = 0; x < cw; ++x) {
                const Triple p = pixel(2 * x, 2 * y);
                if (format == PixelFormat::I420 || format == PixelFormat::YV12) {
                    const bool swap = format == PixelFormat::YV12;
                    at(swap ? 2 : 1, x, y) = uchar(p[1]);
                    at(swap ? 1 : 2, x, y) = uchar(p[2]);
                } else {
                    const bool swap = format == PixelFormat::NV21;
                    at(1, 2 * x + (swap ? 1 : 0), y) = uchar(p[1]);
                    at(1, 2 * x + (swap ? 0 : 1), y) = uchar(p[2]);
                }
            }
        }
        break;
    }
    case PixelFormat::YUYV:
    case PixelFormat::UYVY: {
        plane(0, 4 * cw, h);
        const int yAt = format == PixelFormat::YUYV ? 0 : 1, cAt = 1 - yAt;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Triple p = pixel(x, y);
                at(0, 2 * x + yAt, y) = uchar(p[0]);
                if (x % 2 == 0) {
                    at(0, 2 * x + cAt, y) = uchar(p[1]);
                    at(0, 2 * x + cAt + 2, y) = uchar(p[2]);
                }
            }
        }
        break;
    }
    default: {
        static const QMap<PixelFormat, QByteArray> order{
            {PixelFormat::Bgrx32, "bgrx"}, {PixelFormat::Rgbx32, "rgbx"}, {PixelFormat::Xrgb32, "xrgb"},
            {PixelFormat::Xbgr32, "xbgr"}, {PixelFormat::Rgb24, "rgb"},   {PixelFormat::Bgr24, "bgr"}};
        const QByteArray bytes = order.value(format);
        plane(0, w * int(bytes.size()), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int i = 0; i < bytes.size(); ++i)
                    at(0, x * int(bytes.size()) + i, y) =
                        bytes[i] == 'x' ? 0x5a : uchar(pixel(x, y)[QByteArray("rgb").indexOf(bytes[i])]);
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

void addFormats(const char* what, QSize size, int padding) {
    const PixelFormat all[] = {PixelFormat::I420,   PixelFormat::YV12,   PixelFormat::NV12,
                               PixelFormat::NV21,   PixelFormat::YUYV,   PixelFormat::UYVY,
                               PixelFormat::Bgrx32, PixelFormat::Rgbx32, PixelFormat::Xrgb32,
                               PixelFormat::Xbgr32, PixelFormat::Rgb24,  PixelFormat::Bgr24};
    for (PixelFormat f : all)
        QTest::addRow("%s %d", what, int(f)) << f << size << padding;
}

} // namespace

class TestFrameConverter : public QObject {
    Q_OBJECT
private slots:
    void knownColours() {
        for (const Known& k : Palette)
            QVERIFY2(near(yuvToRgb(k.yuv[0], k.yuv[1], k.yuv[2]), k.rgb),
                     qPrintable(QString::number(k.rgb, 16)));
    }

    // Colours change at every pixel pair, so a chroma sample taken from the wrong pair or the wrong plane
    // shows at once.
    void formats_data() {
        QTest::addColumn<PixelFormat>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("padding");
        addFormats("same size", {320, 240}, 0);
        addFormats("same size, odd stride", {320, 240}, 13);
        addFormats("doubled", {160, 120}, 3);
    }
    void formats() {
        QFETCH(PixelFormat, format);
        QFETCH(QSize, size);
        QFETCH(int, padding);
        auto colourAt = [](int x, int y) { return Palette[(x / 2 + y / 2) % std::size(Palette)]; };
        const TestFrame frame = makeFrame(format, size.width(), size.height(), padding,
                                          [&](int x, int y) { return source(format, colourAt(x, y)); });
        QImage target;
        FrameConverter converter;
        QVERIFY(converter.convert(frame.view, target));
        QCOMPARE(target.size(), QSize(320, 240));
        QCOMPARE(target.format(), QImage::Format_RGB32);
        const int scale = 320 / size.width();
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (!near(target.pixel(x, y), colourAt(x / scale, y / scale).rgb))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }

    // Each target pixel takes the source pixel under its centre.
    void scaling_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QPoint>("picked");
        QTest::addRow("640x480 first") << QSize(640, 480) << QPoint(0, 0) << QPoint(1, 1);
        QTest::addRow("640x480 last") << QSize(640, 480) << QPoint(319, 239) << QPoint(639, 479);
        QTest::addRow("1280x720 first") << QSize(1280, 720) << QPoint(0, 0) << QPoint(2, 1);
        QTest::addRow("1280x720 middle") << QSize(1280, 720) << QPoint(160, 120) << QPoint(642, 361);
        QTest::addRow("1280x720 last") << QSize(1280, 720) << QPoint(319, 239) << QPoint(1278, 718);
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
