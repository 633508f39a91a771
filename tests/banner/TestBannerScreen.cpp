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

    QProcess m_compositor;

private slots:
    void initTestCase() {
        m_compositor.start(QStringLiteral("xcompmgr"), {});
        QVERIFY(m_compositor.waitForStarted());
        QTest::qWait(300);
    }

    void cleanupTestCase() {
        m_compositor.kill();
        m_compositor.waitForFinished();
    }

    void halfTransparentOverTheBackground() {
        const QColor behind(255, 0, 255);
        QWidget background;
        background.setWindowFlags(Qt::FramelessWindowHint);
        background.setAutoFillBackground(true);
        QPalette palette = background.palette();
        palette.setColor(QPalette::Window, behind);
        background.setPalette(palette);
        background.setGeometry(QGuiApplication::primaryScreen()->geometry());
        background.show();
        QVERIFY(QTest::qWaitForWindowExposed(&background));

        BannerWindow banner([] { return false; });
        banner.layout().setSpeed(100);
        banner.start(
            QStringLiteral("OFERTAS\nPORTATILES\nMONITORES\nIMPRESORAS\nTECLADOS\nRATONES\nPARLANTES"));
        QVERIFY(QTest::qWaitForWindowExposed(&banner));
        banner.scrollTimer().stop();
        for (int i = 0; i < 70; ++i) {
            banner.tick();
        }
        banner.repaint();
        QTest::qWait(500); // the compositor paints the new frame

        const QRect area = banner.geometry();
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QImage shot = screen.copy(area.adjusted(-40, -40, 40, 40));
        const QString folder = QStringLiteral(PREGONAR_BUILD_DIR "/screenshots");
        QDir().mkpath(folder);
        shot.save(folder + QStringLiteral("/banner.png"));

        // Black parts of the text area: half of the colour behind.
        const auto near = [](QRgb a, QColor b) {
            return qAbs(qRed(a) - b.red()) <= 4 && qAbs(qGreen(a) - b.green()) <= 4 &&
                   qAbs(qBlue(a) - b.blue()) <= 4;
        };
        const QRgb corner = screen.pixel(area.left() + 5, area.top() + 5);
        QVERIFY2(near(corner, QColor(127, 0, 127)), qPrintable(QColor(corner).name()));
        // Outside the banner the background shows untouched.
        QVERIFY(near(screen.pixel(area.left() - 20, area.top() - 20), behind));

        // Text in the middle band: the text colour blended half and half with the background.
        const QColor text = BgrColour::toQColor(banner.layout().baseColour());
        const QColor blended((text.red() * 128 + behind.red() * 127) / 255,
                             (text.green() * 128 + behind.green() * 127) / 255,
                             (text.blue() * 128 + behind.blue() * 127) / 255);
        int textPixels = 0;
        for (int y = area.top() + 110; y < area.top() + 200; ++y) {
            for (int x = area.left(); x < area.right(); ++x) {
                textPixels += near(screen.pixel(x, y), blended);
            }
        }
        QVERIFY2(textPixels > 300, qPrintable(QString::number(textPixels)));
        banner.stop();
    }
};

QTEST_MAIN(TestBannerScreen)
#include "TestBannerScreen.moc"
