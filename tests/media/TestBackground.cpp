// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"
#include "media/BackgroundPicture.h"
#include "media/BackgroundWindow.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>

// The background picture window: screen-sized, the picture stretched, black without one; it comes
// and goes with the show, and only Escape brings the panel back over it.
class TestBackground : public QObject {
    Q_OBJECT

private slots:
    // Screen-sized, the picture stretched; black without one, or when it cannot be read.
    void wallpaper() {
        QTemporaryDir dir;
        // Four by two pixels, red on the left half and blue on the right: stretched, the halves of
        // the screen.
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter(&image).fillRect(2, 0, 2, 2, Qt::blue);
        QVERIFY(image.save(dir.filePath(QStringLiteral("oferta.png"))));
        QVERIFY(QFile::copy(PREGONAR_SOURCE_DIR "/README.md", dir.filePath("roto.jpg"))); // not a picture
        for (const char* file : {"", "oferta.png", "roto.jpg", "borrada.jpg"}) {
            const QString path = *file ? dir.filePath(QLatin1String(file)) : QString();
            BackgroundPicture picture([] { return false; });
            picture.show(path);
            BackgroundWindow* window = picture.window();
            QVERIFY(window->isVisible() &&
                    window->geometry() == QGuiApplication::primaryScreen()->geometry());
            QCOMPARE(window->pictureLabel()->isVisible(), !path.isEmpty());
            const QImage shot = window->grab().toImage().scaled(4, 2); // a pixel each side of the middle
            const bool shown = path.endsWith(QLatin1String(".png"));
            QCOMPARE(shot.pixelColor(0, 1), QColor(shown ? Qt::red : Qt::black));
            QCOMPARE(shot.pixelColor(3, 1), QColor(shown ? Qt::blue : Qt::black));
        }
    }

    void comesAndGoesWithTheShow() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        f.choose(ControlPanel::Picture, f.path(QStringLiteral("Fondos/oferta.jpg")));
        panel.clickButton(ControlPanel::Advertising);
        const QPointer<BackgroundWindow> window = panel.picture().window();
        QTest::keyClick(window, Qt::Key_A); // only Escape brings the panel back, for a while
        QVERIFY(window->isVisible() && !panel.isVisible());
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(panel.isVisible() && panel.shop().autoHideTimer().isActive() && window->isVisible());
        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!window && !panel.shop().autoHideTimer().isActive());
        panel.clickButton(ControlPanel::Advertising);
        const QPointer<BackgroundWindow> again = panel.picture().window();
        QVERIFY(again->isVisible());
        panel.unload();
        QVERIFY(!again);
    }
};

QTEST_MAIN(TestBackground)
#include "TestBackground.moc"
