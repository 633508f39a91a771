// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "fakes/TestMedia.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SideFiles.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <csignal>

// The real program answering a customer with the background video: full screen while it plays,
// then detection again, and the next customer gets the video too.
class TestVideoAnswer : public QObject {
    Q_OBJECT

    static bool visitor(double t) { return (t >= 2.0 && t < 3.0) || (t >= 14.0 && t < 15.0); }

private slots:
    void playsTheVideoAndWatchesAgain() {
        ProgramSandbox box;
        const QString camera = box.path(QStringLiteral("tienda.avi"));
        QVERIFY(TestMedia::makeClip(camera, 10 * 18, 10, [](int i, QImage& picture) {
            picture.fill(QColor(205, 200, 190));
            if (visitor(i / 10.0)) {
                QPainter(&picture).fillRect(90, 30, 150, 210, QColor(30, 35, 50));
            }
        }));
        // The advertisement: three seconds of green with a red band, easy to tell on a screenshot.
        const QString video = box.work(QStringLiteral("Videos/oferta.avi"));
        QDir(box.work()).mkpath(QStringLiteral("Videos"));
        QVERIFY(TestMedia::makeClip(video, 30, 10, [](int, QImage& picture) {
            picture.fill(QColor(20, 180, 60));
            QPainter(&picture).fillRect(0, 100, 320, 40, QColor(220, 30, 30));
        }));

        PanelRecord panel;
        panel.detectionOn = true;
        panel.interval = 100;
        BannerRecord banner;
        banner.advertisingOn = true;
        banner.videoOn = true;
        QVERIFY(SettingsFile(box.work(QStringLiteral("Pregonar.DAT")))
                    .write({{1, encodePanelRecord(panel)}, {7, encodeBannerRecord(banner)}}));
        QVERIFY(SideFiles::writePath(box.work(QStringLiteral("Pregonar.VDO")), video));
        QFile(box.path(QStringLiteral("home/Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly);

        // The shop's own catalogue has the keyboard when the customer comes in.
        QProcess catalogue;
        catalogue.start(QStringLiteral("xmessage"), {QStringLiteral("-name"), QStringLiteral("catalogo"),
                                                     QStringLiteral("Catálogo de la tienda")});
        QVERIFY(catalogue.waitForStarted());
        const auto closeCatalogue = qScopeGuard([&] {
            catalogue.kill();
            catalogue.waitForFinished(5000);
        });
        const QString catalogueWindow = ProgramSandbox::waitForWindow(QStringLiteral("^catalogo$"), 5000);
        QVERIFY(!catalogueWindow.isEmpty());

        const std::unique_ptr<QProcess> program = box.start({QStringLiteral("--camera"), camera});
        ProgramSandbox::run(QStringLiteral("xdotool"),
                            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), catalogueWindow});
        const QString title = QStringLiteral("^Pregonar - Video de Fondo$");
        const QString player = ProgramSandbox::waitForWindow(title, 20000);
        QVERIFY2(!player.isEmpty(), "the video did not start for the first customer");
        // Full screen: the advertisement's green reaches both sides of the screen (the 4:3 picture
        // keeps its shape on the 5:4 screen, with thin bands above and below). The first frames may
        // take a while on a loaded machine.
        const QString shot = QStringLiteral(PREGONAR_BUILD_DIR "/screenshots/video.png");
        const auto green = [&shot](const QPoint& at) {
            const QColor c = QImage(shot).pixelColor(at);
            return c.green() > 140 && c.red() < 80;
        };
        QDeadlineTimer deadline(5000);
        bool fullScreen = false;
        while (!fullScreen && !deadline.hasExpired()) {
            QVERIFY(ProgramSandbox::screenshot(QStringLiteral("root"), QStringLiteral("video.png")));
            const QSize size = QImage(shot).size();
            fullScreen = green(QPoint(5, 100)) && green(QPoint(size.width() - 5, size.height() - 100));
        }
        QVERIFY2(fullScreen, "the video does not cover the screen");
        // Escape, pressed on whatever has the keyboard, brings the panel back.
        ProgramSandbox::run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
        QVERIFY2(!ProgramSandbox::waitForWindow(QStringLiteral("^Pregonar 4\\.12$"), 1500).isEmpty(),
                 "Esc did not reach the video");
        // It ends by itself, and after the hold-off detection answers the next customer.
        QTRY_VERIFY_WITH_TIMEOUT(ProgramSandbox::waitForWindow(title, 0).isEmpty(), 8000);
        QVERIFY2(!ProgramSandbox::waitForWindow(title, 12000).isEmpty(), "no video for the second customer");

        ::kill(pid_t(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(10000));
        QCOMPARE(program->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestVideoAnswer)
#include "TestVideoAnswer.moc"
