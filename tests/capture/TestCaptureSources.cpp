// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/MotionDetector.h"
#include "fakes/TestMedia.h"
#include "platform/CaptureSources.h"

#include <QSignalSpy>
#include <QTest>

// Choices are written with designated initialisers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// The real sources: a video file played as a camera, and cameras that are not there.
class TestCaptureSources : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip;

    static bool grab(FrameSource& source, MotionDetector& detector) {
        std::optional<MotionResult> result;
        source.withNewestFrame([&](const FrameView& frame) { result = detector.process(frame); });
        return result.has_value();
    }

private slots:
    void initTestCase() {
        m_clip = m_dir.filePath(QStringLiteral("tienda.avi"));
        QVERIFY(TestMedia::makeClip(m_clip, 20, 10, [](int i, QImage& picture) {
            picture.fill(QColor(40, 40 + i * 5, 200)); // blue, slowly greener
        }));
        QFile broken(m_dir.filePath("roto.avi"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("esto no es un video") > 0);
    }

    void videoFileIsACamera() {
        const auto source = makeFrameSource({.kind = CameraChoice::Kind::File, .file = m_clip});
        MotionDetector detector;
        QVERIFY(!grab(*source, detector)); // nothing before it starts
        source->start();
        QTRY_VERIFY_WITH_TIMEOUT(grab(*source, detector), 10000);
        const QRgb pixel = detector.view().pixel(160, 120);
        QVERIFY2(qBlue(pixel) > 150 && qRed(pixel) < 90, qPrintable(QColor(pixel).name()));

        // Stopped, it gives nothing; started again, it resumes by itself.
        source->stop();
        QVERIFY(!source->isActive());
        QVERIFY(!grab(*source, detector));
        source->start();
        QTRY_VERIFY_WITH_TIMEOUT(grab(*source, detector), 10000);
        // It plays in a loop: after the clip's two seconds it still delivers.
        QTest::qWait(2500);
        QVERIFY(grab(*source, detector));
    }

    // The camera that was chosen, also when it comes back under another id.
    void pickCamera_data() {
        QTest::addColumn<CameraChoice>("choice");
        QTest::addColumn<int>("expected");
        using enum CameraChoice::Kind;
        QTest::addRow("same id") << CameraChoice{.kind = Camera, .device = "/dev/video2", .name = "USB"} << 1;
        QTest::addRow("back on another port")
            << CameraChoice{.kind = Camera, .device = "/dev/video9", .name = "USB"} << 1;
        QTest::addRow("unplugged") << CameraChoice{.kind = Camera, .device = "/dev/video9", .name = "Otra"}
                                   << -1;
        QTest::addRow("system default") << CameraChoice{} << 0;
        QTest::addRow("demo is no camera") << CameraChoice{.kind = Demo} << -1;
    }
    void pickCamera() {
        QFETCH(CameraChoice, choice);
        const QList<CameraInfo> present{{"/dev/video0", "Integrada", true, {}},
                                        {"/dev/video2", "USB", false, {}}};
        QTEST(::pickCamera(choice, present), "expected");
        QCOMPARE(::pickCamera(choice, {}), -1);
    }

    // What a typical webcam lists: Motion JPEG at every size, raw frames fast only when small. With no
    // choice, raw 640x480 rather than its Motion JPEG; raw at 10 frames a second is enough.
    void pickFormat() {
        const QList<CameraFormatInfo> formats{
            {QSize(160, 120), false, 30},  {QSize(640, 480), true, 30},  {QSize(640, 480), false, 30},
            {QSize(1280, 720), false, 10}, {QSize(1280, 720), true, 30}, {QSize(1280, 720), false, 5},
        };
        CameraChoice choice{.kind = CameraChoice::Kind::Camera};
        for (const auto& [size, expected] :
             {std::pair{QSize(), 2}, {QSize(1280, 720), 3}, {QSize(800, 600), -1}}) {
            choice.resolution = size;
            QCOMPARE(::pickFormat(choice, formats), expected);
        }
    }

    // A broken file, or no camera on this machine (its capture session still pushes test pictures into
    // its sink): nothing reaches the detector.
    void noFrames_data() {
        QTest::addColumn<CameraChoice>("choice");
        QTest::addRow("broken file") << CameraChoice{.kind = CameraChoice::Kind::File,
                                                     .file = m_dir.filePath("roto.avi")};
        QTest::addRow("no camera") << CameraChoice{};
    }
    void noFrames() {
        QFETCH(CameraChoice, choice);
        if (choice.file.isEmpty() && !availableCameras().isEmpty())
            QSKIP("this machine has a camera");
        const std::unique_ptr<FrameSource> source = makeFrameSource(choice);
        MotionDetector detector;
        source->start();
        for (int i = 0; i < 15; ++i) {
            QTest::qWait(100);
            QVERIFY(!grab(*source, detector));
        }
        QVERIFY(!source->isActive());
        source->stop();
    }
};

QTEST_MAIN(TestCaptureSources)
#include "TestCaptureSources.moc"
