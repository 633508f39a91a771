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

    struct Scene {
        RecordingSoundPlayer sound;
        ScriptedSource* camera = nullptr;
        std::unique_ptr<PanelFixture> fixture;
        QImage still{320, 240, QImage::Format_RGB32};
        QImage customer{320, 240, QImage::Format_RGB32};

        Scene() {
            still.fill(QColor(90, 90, 90));
            customer.fill(QColor(90, 90, 90));
            // Someone big enough in front of the camera to change more than the threshold's points.
            QPainter(&customer).fillRect(80, 20, 180, 220, QColor(250, 220, 30));
            fixture = std::make_unique<PanelFixture>([this](PanelFixture& f, PanelEnvironment& env) {
                QDir(f.dir.path()).mkpath(QStringLiteral("Sonidos"));
                QFile(f.path(QStringLiteral("Sonidos/hola.wav"))).open(QIODevice::WriteOnly);
                env.sound = &sound;
                env.makeSource = [this](const CameraChoice&) {
                    return std::unique_ptr<FrameSource>(camera = new ScriptedSource);
                };
            });
        }
        ControlPanel& panel() { return *fixture->panel; }
        // One tick of the detector with this picture in front of the camera.
        void tick(const QImage& picture) {
            camera->picture = picture;
            panel().capture().tick();
        }
        // Detection, sounds and advertising on; the first frame only becomes the reference.
        void open() {
            for (int button : {ControlPanel::Detection, ControlPanel::SoundsOn, ControlPanel::Advertising})
                panel().clickButton(button);
            tick(still);
        }
    };

private slots:
    // A customer seen on a tick is answered; while the message shows, the ticks look at nothing.
    void ticksRestWhileTheMessageShows() {
        Scene shop;
        shop.panel().clickButton(ControlPanel::Message);
        shop.open(); // advertising starts with one pass of the message, then the hold-off
        for (int i = 0; i < 100000 && shop.panel().shop().messageShowing(); ++i)
            shop.panel().banner().window()->tick();
        shop.panel().shop().holdOffTimer().stop();
        shop.tick(shop.still);
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.played, QStringList{shop.fixture->path("Sonidos/hola.wav")});
        QVERIFY(shop.panel().shop().messageShowing());
        shop.panel().statusLabel()->setText(QStringLiteral("sin cambios"));
        shop.tick(shop.still);
        QCOMPARE(shop.panel().statusLabel()->text(), QStringLiteral("sin cambios"));
    }

    // The first frame only becomes the reference and the empty shop. Frames that stop, a camera that is
    // gone; the customer's picture is kept for the web, without the detector's red dots, and the shop
    // they leave is not. Without a message the ticks go on after an answer, with the sliders' values.
    void referenceSnapshotAndIdlePicture() {
        Scene shop;
        shop.open(); // the still shop is on view and is the reference
        QCOMPARE(shop.panel().statusLabel()->text(), "AutoMensaje NIVEL 85 (100) PRESENCIA 0%");
        // Frames stop coming for a while: the last one stays on view, no idle picture flickers in.
        shop.tick(QImage());
        shop.tick(QImage());
        QVERIFY(shop.panel().liveView()->isShowingFrame());
        // Unplugged: the idle picture, nobody greeted, detection goes on.
        shop.camera->present = false;
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 0);
        QVERIFY(!shop.panel().liveView()->isShowingFrame());
        // Back again: compared with the reference from before the gap, the customer is seen.
        shop.camera->present = true;
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 1);
        shop.tick(shop.still);
        QTRY_VERIFY(!shop.panel().snapshotName().isEmpty());
        const QColor dot = QImage(shop.fixture->path(shop.panel().snapshotName())).pixelColor(165, 120);
        QVERIFY2(dot.green() > 170 && dot.red() > 200, qPrintable(dot.name())); // a compared point, yellow
        QCOMPARE(QDir(shop.fixture->path("Fotos")).entryList(QDir::Files).size(), 1);
        // The sensor sliders reach the detector: both at the top, every tick is a customer.
        shop.panel().shop().holdOffTimer().stop();
        shop.panel().sensorSlider(0)->setValue(50);
        shop.panel().sensorSlider(1)->setValue(50);
        shop.tick(shop.customer); // nothing moved
        QCOMPARE(shop.sound.plays(), 2);
    }
};

QTEST_MAIN(TestMotionResponse)
#include "TestMotionResponse.moc"
