// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/MotionDetector.h"
#include "fakes/TestMedia.h"
#include "platform/CaptureSources.h"

#include <QSignalSpy>
#include <QTest>

// The real sources: a video file played as a camera, and cameras that are not there.
class TestCaptureSources : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip;

    static std::unique_ptr<FrameSource> fileSource(const QString& path) {
        CameraChoice choice;
        choice.kind = CameraChoice::Kind::File;
        choice.file = path;
        return makeFrameSource(choice);
    }
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
    }

    void videoFileIsACamera() {
        const std::unique_ptr<FrameSource> source = fileSource(m_clip);
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

    void aBrokenFileGivesNoFrames() {
        const QString broken = m_dir.filePath(QStringLiteral("roto.avi"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("esto no es un video");
        file.close();
        const std::unique_ptr<FrameSource> source = fileSource(broken);
        MotionDetector detector;
        source->start();
        QTest::qWait(1500);
        QVERIFY(!grab(*source, detector));
    }

    // The camera that was chosen, also when it comes back under another id.
    void pickCamera_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        QTest::addRow("same id") << int(CameraChoice::Kind::Camera) << "/dev/video2"
                                 << "USB" << 1;
        QTest::addRow("back on another port") << int(CameraChoice::Kind::Camera) << "/dev/video9"
                                              << "USB" << 1;
        QTest::addRow("unplugged") << int(CameraChoice::Kind::Camera) << "/dev/video9"
                                   << "Otra" << -1;
        QTest::addRow("system default") << int(CameraChoice::Kind::SystemDefault) << ""
                                        << "" << 0;
        QTest::addRow("demo is no camera") << int(CameraChoice::Kind::Demo) << ""
                                           << "" << -1;
    }

    void pickCamera() {
        QFETCH(int, kind);
        QFETCH(QString, device);
        QFETCH(QString, name);
        QFETCH(int, expected);
        CameraChoice choice;
        choice.kind = CameraChoice::Kind(kind);
        choice.device = device;
        choice.name = name;
        const QList<CameraInfo> present{
            {QStringLiteral("/dev/video0"), QStringLiteral("Integrada"), true, {}},
            {QStringLiteral("/dev/video2"), QStringLiteral("USB"), false, {}}};
        QCOMPARE(::pickCamera(choice, present), expected);
        QCOMPARE(::pickCamera(choice, {}), -1);
    }

    void pickFormat_data() {
        QTest::addColumn<QSize>("chosen");
        QTest::addColumn<int>("expected");
        QTest::addRow("no choice: raw 640x480 rather than its Motion JPEG") << QSize() << 2;
        QTest::addRow("chosen size: raw at 10 frames a second is enough") << QSize(1280, 720) << 3;
        QTest::addRow("a size the camera lacks") << QSize(800, 600) << -1;
    }

    // What a typical webcam lists: Motion JPEG at every size, raw frames fast only when small.
    void pickFormat() {
        QFETCH(QSize, chosen);
        QFETCH(int, expected);
        const QList<CameraFormatInfo> formats{
            {QSize(160, 120), false, 30},  {QSize(640, 480), true, 30},  {QSize(640, 480), false, 30},
            {QSize(1280, 720), false, 10}, {QSize(1280, 720), true, 30}, {QSize(1280, 720), false, 5},
        };
        CameraChoice choice;
        choice.kind = CameraChoice::Kind::Camera;
        choice.resolution = chosen;
        QCOMPARE(::pickFormat(choice, formats), expected);
    }

    // No camera on this machine. The capture session still pushes test pictures into its sink; none of
    // them may reach the detector.
    void noCameraNoFrames() {
        if (!availableCameras().isEmpty())
            QSKIP("this machine has a camera");
        const std::unique_ptr<FrameSource> source = makeFrameSource(CameraChoice{});
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
