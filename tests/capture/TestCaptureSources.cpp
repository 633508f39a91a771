// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/Capture.h"
#include "capture/MjpegServer.h"
#include "capture/MotionDetector.h"
#include "fakes/TestMedia.h"
#include "platform/CaptureSources.h"
#include "platform/ScaledJpeg.h"

#include <QSignalSpy>
#include <QTest>

// Choices are written with designated initialisers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// The real sources: a video file played as a camera, a network camera on loopback, bad input, and
// Motion JPEG decoded at the view's size.
class TestCaptureSources : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip;
    MjpegServer m_camera; // a network camera showing the shop

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
        QVERIFY(m_camera.start(m_clip));
    }

    // A clip of two seconds, greener frame by frame: it plays as a camera, over and over.
    void videoFileIsACameraInALoop() {
        const auto source = makeFrameSource(CameraChoice::fromArgument(m_clip));
        MotionDetector detector;
        QVERIFY(!grab(*source, detector)); // nothing before it starts
        source->start();
        QTRY_VERIFY_WITH_TIMEOUT(grab(*source, detector), 10000);
        int greenest = 0;
        bool again = false;
        for (int i = 0; i < 40 && !again; ++i, QTest::qWait(100)) {
            QVERIFY(grab(*source, detector));
            const QRgb pixel = detector.view().pixel(160, 120);
            QVERIFY2(qBlue(pixel) > 150 && qRed(pixel) < 90, qPrintable(QColor(pixel).name()));
            again = qGreen(pixel) + 30 < greenest;
            greenest = std::max(greenest, qGreen(pixel));
        }
        QVERIFY(again);
        // Left unwatched for a while (the video showing), it goes on from where it stopped: no jump
        // that the detector could take for a customer.
        const int before = qGreen(detector.view().pixel(160, 120));
        QTest::qWait(1500);
        QVERIFY(grab(*source, detector));
        QVERIFY2(qAbs(qGreen(detector.view().pixel(160, 120)) - before) <= 10, "jumped");
    }

    // The detector takes a decoded frame's pixels whole, in exchange for its spare picture. A tick that
    // finds no newer frame (a camera slower than the tick) is handed the same frame again, decoded anew,
    // not what the detector left in its place.
    void frameTakenWholeIsHandedAgain() {
        const QString alternating = m_dir.filePath(QStringLiteral("alterna.avi"));
        QVERIFY(TestMedia::makeClip(alternating, 21, 5, [](int i, QImage& picture) {
            const QColor colours[] = {QColor(150, 20, 20), Qt::white, QColor(20, 20, 150)};
            picture.fill(colours[i % 3]);
        }));
        const auto source = makeFrameSource(CameraChoice::fromArgument(alternating));
        MotionDetector detector;
        source->start();
        QTRY_VERIFY_WITH_TIMEOUT(grab(*source, detector), 10000);
        std::optional<MotionResult> result;
        const auto tick = [&] {
            result.reset();
            source->withNewestFrame([&](const FrameView& frame) { result = detector.process(frame); });
            return result.has_value();
        };
        // Two ticks a frame apart (new frames, the second taken whole), then one more at once: no newer
        // frame is due yet, and the same frame is compared again.
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 2; ++i) {
                QTest::qWait(200);
                QVERIFY(tick());
            }
            const QRgb shown = detector.view().pixel(160, 120);
            QVERIFY(tick());
            QCOMPARE(result->changedPoints, 0);
            QCOMPARE(detector.view().pixel(160, 120), shown);
        }
    }

    // A network camera that drops is opened again by itself, after 1 s, then 2 s... (while it is off, it
    // does not answer); what it shows when it returns (someone came in meanwhile) is only the new
    // reference, not a customer. HTTP Motion JPEG and RTP Motion JPEG over RTSP.
    void networkCameraComesBack_data() {
        QTest::addColumn<bool>("rtsp");
        QTest::addRow("http") << false;
        QTest::addRow("rtsp") << true;
    }
    void networkCameraComesBack() {
        MjpegServer camera;
        QFETCH(bool, rtsp);
        camera.rtsp = rtsp;
        QVERIFY(camera.start(m_clip));
        Capture capture(m_dir.path(), &makeFrameSource);
        capture.setChoice(CameraChoice::fromArgument(camera.url()));
        QSignalSpy compared(&capture, &Capture::compared), customers(&capture, &Capture::customerSeen),
            problems(&capture, &Capture::sourceProblem);
        capture.start();
        QTRY_VERIFY_WITH_TIMEOUT(compared.size() >= 3, 10000);
        problems.clear();
        camera.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!capture.sourceActive(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(problems.size() >= 2, 5000);
        QVERIFY(problems.first().first().toString().endsWith("nuevo intento en 1 s."));
        const QString meanwhile = problems.last().first().toString(); // no one at that address now
        QVERIFY2(meanwhile == "La cámara de red no responde; nuevo intento en 2 s.", qPrintable(meanwhile));
        // Meanwhile someone came in.
        const QString visitor = m_dir.filePath(QStringLiteral("cliente.avi"));
        QVERIFY(TestMedia::makeClip(visitor, 10, 10, [](int, QImage& picture) {
            picture.fill(QColor(40, 40, 200));
            QPainter(&picture).fillRect(60, 20, 200, 220, QColor(230, 220, 30));
        }));
        compared.clear();
        QVERIFY(camera.start(visitor));
        QTRY_VERIFY_WITH_TIMEOUT(compared.size() >= 3, 15000);
        QCOMPARE(compared.first().first().value<MotionResult>().changedPoints, 0);
        QCOMPARE(customers.size(), 0);
        QCOMPARE(problems.last().first().toString(), QString()); // over
    }

    // A file that is no video, what is not a camera, a camera that sends noise or pictures cut short: nothing
    // compared; a network camera says why in the status line.
    void badInput_data() {
        QTest::addColumn<QString>("camera"); // a file, or a path on the loopback camera
        QTest::addColumn<QString>("said");
        QTest::addRow("no video file") << PREGONAR_SOURCE_DIR "/tests/capture/mjpeg_server.py" << QString();
        QTest::addRow("web page") << QStringLiteral("/pagina.html") << "no es una cámara de red";
        QTest::addRow("noise") << QStringLiteral("/basura.mjpg") << "imagen dañada";
        QTest::addRow("cut pictures") << QStringLiteral("/cortada.mjpg") << "imagen dañada";
    }
    void badInput() {
        QFETCH(QString, camera);
        QFETCH(QString, said);
        Capture capture(m_dir.path(), &makeFrameSource);
        capture.setChoice(CameraChoice::fromArgument(said.isEmpty() ? camera : m_camera.url(camera)));
        QSignalSpy compared(&capture, &Capture::compared), problems(&capture, &Capture::sourceProblem);
        capture.start();
        QTRY_VERIFY_WITH_TIMEOUT(said.isEmpty() || !problems.isEmpty(), 10000);
        if (!said.isEmpty())
            QVERIFY2(problems.first().first().toString().contains(said),
                     qPrintable(problems.first().first().toString()));
        QTest::qWait(1500);
        QCOMPARE(compared.size(), 0);
        QVERIFY(!capture.sourceActive());
    }

    // Decoded at the smallest halving that covers 320x240, the picture is the full decode made smaller.
    void scaledJpeg_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("decoded");
        QTest::addRow("640x480") << QSize(640, 480) << QSize(320, 240);
        QTest::addRow("1280x720") << QSize(1280, 720) << QSize(640, 360);
        QTest::addRow("1920x1080") << QSize(1920, 1080) << QSize(480, 270);
        QTest::addRow("smaller than the view") << QSize(200, 150) << QSize(200, 150);
    }
    void scaledJpeg() {
        QFETCH(QSize, size);
        QFETCH(QSize, decoded);
        QImage picture(size, QImage::Format_RGB32);
        QPainter(&picture).fillRect(picture.rect(), QLinearGradient(0, 0, size.width(), size.height()));
        QPainter(&picture).fillRect(QRect(QPoint(size.width() / 4, size.height() / 3), size / 3), Qt::red);
        // Written by the encoder the snapshots use, read back by Qt's reader and by the decoder.
        const QByteArray jpeg = encodeJpeg(picture, 90);
        ScaledJpegDecoder decoder;
        FrameView view;
        QVERIFY(decoder.decode(reinterpret_cast<const uchar*>(jpeg.constData()), size_t(jpeg.size()), view));
        QCOMPARE(QSize(view.width, view.height), decoded);
        const QImage full =
            QImage::fromData(jpeg).scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage scaled;
        QVERIFY(FrameConverter().convert(view, scaled, decoded));
        double difference = 0;
        for (int y = 0; y < decoded.height(); ++y)
            for (int x = 0; x < decoded.width(); ++x)
                difference += qAbs(qGray(full.pixel(x, y)) - qGray(scaled.pixel(x, y)));
        QVERIFY2(difference / (decoded.width() * decoded.height()) < 4,
                 qPrintable(QString::number(difference)));
    }

    // The system's camera is the one marked as default. What a typical webcam lists: Motion JPEG at
    // every size, raw frames fast only when small. With no choice, raw 640x480 rather than its Motion
    // JPEG; raw at 10 frames a second is enough.
    void pickCameraAndFormat() {
        const QList<CameraInfo> present{{"/dev/video0", "USB", false, {}},
                                        {"/dev/video2", "Integrada", true, {}}};
        QCOMPARE(::pickCamera(CameraChoice{}, present), 1);
        QCOMPARE(::pickCamera(CameraChoice{}, {}), -1);
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
};

QTEST_MAIN(TestCaptureSources)
#include "TestCaptureSources.moc"
