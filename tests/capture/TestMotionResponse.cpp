// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "capture/Capture.h"
#include "capture/LiveView.h"
#include "fakes/PanelFixture.h"
#include "fakes/RecordingCapture.h"

#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

// The detector's tick on the panel and what it sets off: the answer, the live view, the snapshots for
// the web. How the answer goes is the shop's.
class TestMotionResponse : public QObject {
    Q_OBJECT
private slots:
    // The first frame only becomes the reference and the empty shop. Frames that stop, a camera that is
    // gone; a customer answered, their picture kept for the web without the detector's red dots, and
    // not the shop they leave; the sliders' values reach the detector; while the message shows, the
    // ticks look at nothing.
    void customersBeforeTheCamera() {
        RecordingSoundPlayer sound;
        ScriptedSource* camera = nullptr;
        PanelFixture f([&](PanelFixture& fixture, PanelEnvironment& env) {
            QDir(fixture.dir.path()).mkpath("Sonidos");
            QFile(fixture.path("Sonidos/hola.wav")).open(QIODevice::WriteOnly);
            env.sound = &sound;
            env.makeSource = [&](const CameraChoice&) {
                return std::unique_ptr<FrameSource>(camera = new ScriptedSource);
            };
        });
        ControlPanel& panel = *f.panel;
        QImage still(320, 240, QImage::Format_RGB32);
        still.fill(QColor(90, 90, 90));
        QImage customer = still.copy();
        // Someone big enough in front of the camera to change more than the threshold's points.
        QPainter(&customer).fillRect(80, 20, 180, 220, QColor(250, 220, 30));
        const auto tick = [&](const QImage& picture) {
            camera->picture = picture;
            panel.capture().tick();
        };
        QFile zones(f.path("Pregonar.MSK")); // damaged: everything is watched, and the status says so
        QVERIFY(zones.open(QIODevice::WriteOnly) && zones.write("x.x\n") && zones.flush());
        for (int button : {ControlPanel::Detection, ControlPanel::SoundsOn, ControlPanel::Advertising})
            panel.clickButton(button);
        tick(still);
        QCOMPARE(panel.statusLabel()->text(), "AutoMensaje NIVEL 85 (100) PRESENCIA 0%\n"
                                              "Pregonar.MSK dañado: se vigila toda la imagen");
        // Frames stop coming for a while: the last one stays on view, no idle picture flickers in.
        tick(QImage());
        tick(QImage());
        QVERIFY(panel.liveView()->isShowingFrame());
        // Unplugged: the idle picture, nobody greeted, detection goes on.
        camera->present = false;
        tick(customer);
        QCOMPARE(sound.played.size(), 0);
        QVERIFY(!panel.liveView()->isShowingFrame());
        // Back again: compared with the reference from before the gap, the customer is seen.
        camera->present = true;
        tick(customer);
        QCOMPARE(sound.played, QStringList{f.path("Sonidos/hola.wav")});
        tick(still);
        QTRY_VERIFY(!panel.snapshotName().isEmpty());
        const QColor dot = QImage(f.path(panel.snapshotName())).pixelColor(165, 120);
        QVERIFY2(dot.green() > 170 && dot.red() > 200, qPrintable(dot.name())); // a compared point, yellow
        QCOMPARE(QDir(f.path("Fotos")).entryList(QDir::Files).size(), 1);
        // The sensor sliders at the top: every tick is a customer, also without a message.
        panel.shop().holdOffTimer().stop();
        panel.sensorSlider(0)->setValue(50);
        panel.sensorSlider(1)->setValue(50);
        tick(still); // nothing moved
        QCOMPARE(sound.played.size(), 2);

        // With the message, which runs once as advertising starts.
        for (int button : {ControlPanel::Advertising, ControlPanel::Message, ControlPanel::Advertising})
            panel.clickButton(button);
        for (int i = 0; i < 100000 && panel.shop().messageShowing(); ++i)
            panel.banner().window()->tick();
        panel.shop().holdOffTimer().stop();
        tick(still);
        QVERIFY(panel.shop().messageShowing());
        QCOMPARE(sound.played.size(), 3);
        panel.statusLabel()->setText("sin cambios");
        tick(still);
        QCOMPARE(panel.statusLabel()->text(), "sin cambios");
    }
};

QTEST_MAIN(TestMotionResponse)
#include "TestMotionResponse.moc"
