// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "capture/Capture.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "fakes/PanelFixture.h"
#include "fakes/RecordingCapture.h"
#include "media/BackgroundVideo.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

// The detector's tick on the panel and what it sets off: the greeting, the banner, the video,
// the hold-off, and the snapshots for the web.
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
            for (int y = 20; y < 240; ++y) {
                for (int x = 80; x < 260; ++x) {
                    customer.setPixel(x, y, qRgb(250, 220, 30));
                }
            }
            fixture = std::make_unique<PanelFixture>([this](PanelFixture& f, PanelEnvironment& env) {
                QDir(f.dir.path()).mkpath(QStringLiteral("Sonidos"));
                QFile tone(f.path(QStringLiteral("Sonidos/hola.wav")));
                tone.open(QIODevice::WriteOnly);
                env.sound = &sound;
                env.makeSource = [this](const CameraChoice&) {
                    auto source = std::make_unique<ScriptedSource>();
                    camera = source.get();
                    return source;
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
        void open(bool message, bool video) {
            panel().clickButton(ControlPanel::Detection);
            panel().clickButton(ControlPanel::SoundsOn);
            if (message) {
                panel().clickButton(ControlPanel::Message);
            }
            if (video) {
                fixture->choose(ControlPanel::Video, fixture->path(QStringLiteral("Videos/no-existe.mp4")));
            }
            panel().clickButton(ControlPanel::Advertising);
            if (message) {
                // Advertising starts with one pass of the message, then the hold-off.
                for (int i = 0; i < 100000 && panel().shop().messageShowing(); ++i) {
                    panel().banner().window()->tick();
                }
                endHoldOff();
            }
            tick(still);
        }
        void endHoldOff() {
            panel().shop().holdOffTimer().setInterval(1);
            QTRY_VERIFY(!panel().shop().holdOffTimer().isActive()); // it ends by itself
            panel().shop().holdOffTimer().setInterval(7000);
        }
    };

private slots:
    void answers_data() {
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("video");
        QTest::addRow("sound only") << false << false;
        QTest::addRow("message") << true << false;
        QTest::addRow("video") << false << true;
    }

    void answers() {
        QFETCH(bool, message);
        QFETCH(bool, video);
        Scene shop;
        shop.open(message, video);
        shop.tick(shop.still);
        QCOMPARE(shop.sound.plays(), 0);

        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 1);
        QCOMPARE(shop.sound.played.last(), shop.fixture->path("Sonidos/hola.wav"));
        QVERIFY(!shop.panel().isVisible());
        QCOMPARE(shop.panel().shop().messageShowing(), message);
        QCOMPARE(shop.panel().shop().holdOffTimer().isActive(), !message && !video);
        QCOMPARE(shop.panel().shop().detectorRunning(), !video); // the video stops detection
        QCOMPARE(shop.panel().video().playing(), video);
    }

    void theBannerPausesTheDetector() {
        Scene shop;
        shop.open(true, false);
        shop.tick(shop.customer);
        QVERIFY(shop.panel().shop().messageShowing());
        shop.panel().sensorLabel(8)->setText(QStringLiteral("sin cambios"));
        shop.tick(shop.still);
        QCOMPARE(shop.panel().sensorLabel(8)->text(), QStringLiteral("sin cambios"));
        QCOMPARE(shop.sound.plays(), 1);
    }

    void noAnswerWithoutAdvertisingButAPicture() {
        Scene shop;
        shop.panel().clickButton(ControlPanel::Detection);
        shop.panel().clickButton(ControlPanel::SoundsOn);
        shop.tick(shop.still);
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 0);
        QVERIFY(shop.panel().isVisible());
        shop.tick(shop.still); // within a second of the first: no second picture
        QTRY_VERIFY(!shop.panel().snapshotName().isEmpty());
        QVERIFY(shop.panel().snapshotName().startsWith(QStringLiteral("Fotos/Foto-")));
        const QImage saved(shop.fixture->path(shop.panel().snapshotName()));
        QCOMPARE(saved.size(), QSize(320, 240));
        // The picture is the customer without the detector's red dots.
        QVERIFY(qAbs(qRed(saved.pixel(170, 120)) - 250) < 12);
        QCOMPARE(QDir(shop.fixture->path(QStringLiteral("Fotos"))).entryList(QDir::Files).size(), 1);
    }

    void framesThatDoNotComeAndACameraThatIsNotThere() {
        Scene shop;
        shop.open(false, false); // the still shop is on view and is the reference
        // Frames stop coming for a while: the last one stays on view, no idle picture flickers in.
        shop.camera->picture = QImage();
        shop.panel().capture().tick();
        shop.panel().capture().tick();
        QVERIFY(shop.panel().liveView()->isShowingFrame());
        // Unplugged: the idle picture, nobody greeted, detection goes on.
        shop.camera->present = false;
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 0);
        QVERIFY(!shop.panel().liveView()->isShowingFrame());
        QVERIFY(shop.panel().capture().tickTimer().isActive());
        // Back again: compared with the reference from before the gap, the customer is seen.
        shop.camera->present = true;
        shop.tick(shop.customer);
        QCOMPARE(shop.sound.plays(), 1);
    }

    void firstFrameAfterSwitchingOnIsOnlyTheReference() {
        Scene shop;
        shop.panel().clickButton(ControlPanel::Detection);
        shop.tick(shop.customer); // nothing to compare with yet
        QCOMPARE(shop.panel().sensorLabel(8)->text(), QStringLiteral("AutoMensaje NIVEL 85 (100)"));
        shop.tick(shop.customer);
        QCOMPARE(shop.panel().sensorLabel(8)->text(), QStringLiteral("AutoMensaje NIVEL 85 (100)"));
    }

    void bothSlidersAtTheTopAnswerEveryTick() {
        Scene shop;
        shop.open(false, false);
        shop.panel().sensorSlider(0)->setValue(50);
        shop.panel().sensorSlider(1)->setValue(50);
        shop.tick(shop.still); // nothing moved
        QCOMPARE(shop.sound.plays(), 1);
    }
};

QTEST_MAIN(TestMotionResponse)
#include "TestMotionResponse.moc"
