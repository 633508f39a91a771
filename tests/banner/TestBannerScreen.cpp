// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTest>

// The banner on a real X server with a compositor: half transparent over what lies behind it.
class TestBannerScreen : public QObject {
    Q_OBJECT

private slots:
    void halfTransparentOverTheBackground() {
        QProcess compositor; // ended with the test
        compositor.start("xcompmgr", {});
        QVERIFY(compositor.waitForStarted());
        QTest::qWait(300);

        const QColor behind(255, 0, 255);
        QWidget background(nullptr, Qt::FramelessWindowHint);
        background.setAutoFillBackground(true);
        background.setPalette(QPalette(behind));
        background.setGeometry(QGuiApplication::primaryScreen()->geometry());
        background.show();
        QVERIFY(QTest::qWaitForWindowExposed(&background));

        BannerWindow banner([] { return false; });
        banner.layout().setSpeed(100);
        banner.start("OFERTAS\nPORTATILES\nMONITORES\nIMPRESORAS\nTECLADOS\nRATONES\nPARLANTES");
        QVERIFY(QTest::qWaitForWindowExposed(&banner));
        banner.scrollTimer().stop();
        for (int i = 0; i < 70; ++i)
            banner.tick();
        banner.repaint();
        QTest::qWait(500); // the compositor paints the new frame

        const QRect area = banner.geometry();
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QDir().mkpath(PREGONAR_BUILD_DIR "/screenshots");
        screen.copy(area.adjusted(-40, -40, 40, 40)).save(PREGONAR_BUILD_DIR "/screenshots/banner.png");

        const auto near = [](QRgb a, QColor b) {
            return qAbs(qRed(a) - b.red()) <= 4 && qAbs(qGreen(a) - b.green()) <= 4 &&
                   qAbs(qBlue(a) - b.blue()) <= 4;
        };
        // Black parts of the text area: half of the colour behind; outside the banner it is untouched.
        const QRgb corner = screen.pixel(area.left() + 5, area.top() + 5);
        QVERIFY2(near(corner, QColor(127, 0, 127)), qPrintable(QColor(corner).name()));
        QVERIFY(near(screen.pixel(area.left() - 20, area.top() - 20), behind));

        // Text in the middle band: the text colour blended half and half with the background.
        const QColor text = BgrColour::toQColor(banner.layout().baseColour());
        const auto half = [](int t, int b) { return (t * 128 + b * 127) / 255; };
        const QColor blended(half(text.red(), behind.red()), half(text.green(), behind.green()),
                             half(text.blue(), behind.blue()));
        int textPixels = 0;
        for (int y = area.top() + 110; y < area.top() + 200; ++y)
            for (int x = area.left(); x < area.right(); ++x)
                textPixels += near(screen.pixel(x, y), blended);
        QVERIFY2(textPixels > 300, qPrintable(QString::number(textPixels)));
        banner.stop();
        compositor.kill();
        compositor.waitForFinished();
    }
};

QTEST_MAIN(TestBannerScreen)
#include "TestBannerScreen.moc"
