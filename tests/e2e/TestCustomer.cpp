// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "capture/MjpegServer.h"
#include "fakes/TestMedia.h"
#include "settings/SideFiles.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QScopeGuard>

using Box = ProgramSandbox;

// The real program answering customers who step in front of the camera (a clip) at known times.
// Two shops at once, each a program of its own: one watches a network camera (HTTP Motion JPEG) and
// greets through a real sound server (heard after each entry, never while the shop is still, never
// twice within the hold-off), the other watches a clip, plays its video full screen, then watches
// again and answers the next customer too.
class TestCustomer : public QObject {
    Q_OBJECT

    // A clip of `seconds` at 10 frames a second with someone in front of the camera during `visits`.
    static bool makeCamera(const QString& path, int seconds, QList<std::pair<double, double>> visits) {
        return TestMedia::makeClip(path, 10 * seconds, 10, [visits](int i, QImage& picture) {
            picture.fill(QColor(205, 200, 190));
            QPainter p(&picture);
            p.fillRect(0, 170, 320, 70, QColor(140, 135, 130));
            for (const auto& [from, to] : visits) {
                if (i / 10.0 >= from && i / 10.0 < to)
                    p.fillRect(90, 30, 150, 210, QColor(30, 35, 50));
            }
        });
    }

private slots:
    void greetingHeardAndVideoFullScreen() {
        TestMedia::PulseNullSink pulse;
        QVERIFY2(pulse.isRunning(), "the test sound server did not start");
        // The greeting shop: detection every 100 ms, greeting sounds and advertising on.
        Box greeter;
        const QString greeterCamera = greeter.path(QStringLiteral("tienda.avi"));
        QVERIFY(makeCamera(greeterCamera, 18, {{3.0, 5.0}, {6.0, 7.0}, {11.5, 13.5}}));
        QDir(greeter.work()).mkpath(QStringLiteral("Sonidos"));
        QVERIFY(TestMedia::makeTone(greeter.work(QStringLiteral("Sonidos/tono.wav")), 0.5));
        PanelRecord panel;
        panel.detectionOn = true;
        panel.soundsOn = true;
        panel.interval = 100;
        BannerRecord banner;
        banner.advertisingOn = true;
        banner.soundIndex = 0;
        QVERIFY(greeter.prepare(panel, banner));

        // The video shop: three seconds of green with a red band, easy to tell on a screenshot.
        Box shop;
        const QString camera = shop.path(QStringLiteral("tienda.avi"));
        QVERIFY(makeCamera(camera, 17, {{2.0, 3.0}, {14.0, 15.0}}));
        const QString video = shop.work(QStringLiteral("Videos/oferta.avi"));
        QDir(shop.work()).mkpath(QStringLiteral("Videos"));
        QVERIFY(TestMedia::makeClip(video, 30, 10, [](int, QImage& picture) {
            picture.fill(QColor(20, 180, 60));
            QPainter(&picture).fillRect(0, 100, 320, 40, QColor(220, 30, 30));
        }));
        panel.soundsOn = false;
        banner.videoOn = true;
        QVERIFY(shop.prepare(panel, banner));
        QVERIFY(SideFiles::writePath(shop.work(QStringLiteral("Pregonar.VDO")), video));
        // The shop's own catalogue has the keyboard when the customer comes in.
        QProcess catalogue;
        catalogue.start(QStringLiteral("xmessage"), {QStringLiteral("-name"), QStringLiteral("catalogo"),
                                                     QStringLiteral("Catálogo de la tienda")});
        const auto closeCatalogue = qScopeGuard([&] {
            catalogue.kill();
            catalogue.waitForFinished(5000);
        });
        const QString catalogueWindow = Box::waitForWindow(QStringLiteral("^catalogo$"), 5000);
        QVERIFY(!catalogueWindow.isEmpty());

        QVERIFY(pulse.startRecording());
        const QDateTime started = QDateTime::currentDateTime();
        QProcessEnvironment env = greeter.environment();
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") +
                                                       qEnvironmentVariable("XDG_RUNTIME_DIR") +
                                                       QStringLiteral("/pulse/native"));
        MjpegServer networkCamera;
        QVERIFY(networkCamera.start(greeterCamera));
        const std::unique_ptr<QProcess> greeting =
            greeter.start({QStringLiteral("--camera"), networkCamera.url()}, false, env);
        const std::unique_ptr<QProcess> program = shop.start({QStringLiteral("--camera"), camera});
        Box::run(QStringLiteral("xdotool"),
                 {QStringLiteral("windowfocus"), QStringLiteral("--sync"), catalogueWindow});

        const QString title = QStringLiteral("^Pregonar - Video de Fondo$");
        QVERIFY2(!Box::waitForWindow(title, 20000).isEmpty(),
                 "the video did not start for the first customer");
        // Full screen: the advertisement's green reaches both sides of the screen (the 4:3 picture
        // keeps its shape on the 5:4 screen, with thin bands above and below). The first frames may
        // take a while on a loaded machine.
        const auto green = [](const QImage& shot, const QPoint& at) {
            const QColor c = shot.pixelColor(at);
            return c.green() > 140 && c.red() < 80;
        };
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         const QImage shot(
                             Box::screenshot(QStringLiteral("root"), QStringLiteral("video.png")));
                         return green(shot, {5, 100}) && green(shot, {shot.width() - 5, shot.height() - 100});
                     },
                     10000),
                 "the video does not cover the screen");
        // Escape, pressed on whatever has the keyboard, brings the panel back.
        Box::run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 1500).isEmpty(), "Esc did not reach the video");
        // It ends by itself, and after the hold-off detection answers the next customer.
        QVERIFY(Box::waitForNoWindow(title, 15000));
        QVERIFY2(!Box::waitForWindow(title, 20000).isEmpty(), "no video for the second customer");
        QCOMPARE(Box::terminate(*program), 0);

        // The clip's own clock: its first visit, 3 s in, is when the first picture was taken. A loaded
        // machine may open the clip late; the greeter is stopped just before the clip loops.
        const auto firstPictureTaken = [&greeter] {
            const QStringList pictures =
                QDir(greeter.work(QStringLiteral("Fotos"))).entryList(QDir::Files, QDir::Name);
            return pictures.isEmpty() ? QDateTime()
                                      : QDateTime::fromString(pictures.first().mid(5, 19),
                                                              QStringLiteral("yyyyMMdd-HHmmss-zzz"));
        };
        QTRY_VERIFY_WITH_TIMEOUT(firstPictureTaken().isValid(), 10000);
        const QDateTime firstPicture = firstPictureTaken();
        QTest::qWait(
            int(qMax<qint64>(0, QDateTime::currentDateTime().msecsTo(firstPicture.addMSecs(13000)))));
        QCOMPARE(Box::terminate(*greeting), 0);
        const QList<int> onsets = TestMedia::Loudness(pulse.stopRecording()).onsetsMs();
        QStringList heard;
        for (int ms : onsets)
            heard << QString::number(ms);
        qInfo("greetings heard at %s ms after the start", qPrintable(heard.join(u',')));
        // The first and the third visit; the second falls in the seven seconds after the first.
        QCOMPARE(onsets.size(), 2);
        QVERIFY2(qAbs((onsets[1] - onsets[0]) - 8500) < 600, "the second greeting is not the third visit's");
        // The picture of the first customer was taken when the detector saw them: the greeting follows
        // within a few tenths of a second (generous for a loaded machine).
        const qint64 toSound = onsets[0] - started.msecsTo(firstPicture);
        QVERIFY2(toSound > -200 && toSound < 2000, qPrintable(QString::number(toSound)));
    }
};

QTEST_GUILESS_MAIN(TestCustomer)
#include "TestCustomer.moc"
