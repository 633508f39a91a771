// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"
#include "media/BackgroundPicture.h"
#include "media/BackgroundWindow.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>

// The background picture window: screen-sized, the picture stretched, black without one, and the
// panel's Escape.
class TestBackground : public QObject {
    Q_OBJECT

    static QRect screenArea() { return QGuiApplication::primaryScreen()->geometry(); }

private slots:
    void wallpaper_data() {
        QTest::addColumn<QString>("file");    // made in the working folder; empty: none chosen
        QTest::addColumn<QByteArray>("kind"); // "picture", "text" or "" (no file)
        QTest::addColumn<QColor>("left");
        QTest::addColumn<QColor>("bottomRight");
        QTest::addRow("none chosen") << QString() << QByteArray() << QColor(Qt::black) << QColor(Qt::black);
        QTest::addRow("picture") << QStringLiteral("Fondos/oferta.png") << QByteArray("picture")
                                 << QColor(Qt::red) << QColor(Qt::blue);
        QTest::addRow("not a picture") << QStringLiteral("Fondos/roto.jpg") << QByteArray("text")
                                       << QColor(Qt::black) << QColor(Qt::black);
        QTest::addRow("missing file")
            << QStringLiteral("Fondos/borrada.jpg") << QByteArray() << QColor(Qt::black) << QColor(Qt::black);
    }

    void wallpaper() {
        QFETCH(QString, file);
        QFETCH(QByteArray, kind);
        QFETCH(QColor, left);
        QFETCH(QColor, bottomRight);
        QTemporaryDir dir;
        const QString path = file.isEmpty() ? QString() : dir.filePath(file);
        QDir(dir.path()).mkpath(QStringLiteral("Fondos"));
        if (kind == "picture") {
            // Four by two pixels, red on the left half and blue on the right: stretched, the halves
            // of the screen.
            QImage image(4, 2, QImage::Format_RGB32);
            image.fill(Qt::red);
            for (int y = 0; y < 2; ++y) {
                image.setPixelColor(2, y, Qt::blue);
                image.setPixelColor(3, y, Qt::blue);
            }
            QVERIFY(image.save(path));
        } else if (kind == "text") {
            QFile text(path);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("no es una imagen");
        }
        BackgroundPicture picture([] { return false; });
        picture.show(path);
        BackgroundWindow* backgroundWindow = picture.window();
        QVERIFY(backgroundWindow->isVisible());
        QCOMPARE(backgroundWindow->geometry(), screenArea());
        QCOMPARE(backgroundWindow->pictureLabel()->isVisible(), !path.isEmpty());
        const QImage shot = backgroundWindow->grab().toImage();
        QCOMPARE(shot.size(), screenArea().size());
        QCOMPARE(shot.pixelColor(shot.width() / 8, shot.height() / 2), left);
        QCOMPARE(shot.pixelColor(shot.width() - 2, shot.height() - 2), bottomRight);
    }

    void comesAndGoesWithAdvertising() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        f.choose(ControlPanel::Picture, f.path(QStringLiteral("Fondos/oferta.jpg")));
        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!panel.isVisible());
        QVERIFY(panel.picture().window() && panel.picture().window()->isVisible());

        // Escape brings the panel back for a while; the picture stays.
        QTest::keyClick(panel.picture().window(), Qt::Key_Escape);
        QVERIFY(panel.isVisible());
        QVERIFY(panel.shop().autoHideTimer().isActive());
        QVERIFY(panel.picture().window()->isVisible());
        QTest::keyClick(panel.picture().window(), Qt::Key_A);
        QVERIFY(panel.picture().window()->isVisible());

        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!panel.picture().window());
        QVERIFY(!panel.shop().autoHideTimer().isActive());

        panel.clickButton(ControlPanel::Advertising);
        const QPointer<BackgroundWindow> window = panel.picture().window();
        QVERIFY(window->isVisible());
        panel.unload();
        QVERIFY(!window);
    }
};

QTEST_MAIN(TestBackground)
#include "TestBackground.moc"
