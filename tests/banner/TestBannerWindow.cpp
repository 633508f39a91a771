// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "fakes/PanelFixture.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

// The banner window, and the panel's control of it: the show, Escape, one pass, the speed slider.
class TestBannerWindow : public QObject {
    Q_OBJECT

    // Ticks until the banner says one pass is over, at most `limit` ticks; the count, or -1.
    static int ticksToPassEnd(BannerWindow& banner, int limit) {
        QSignalSpy finished(&banner, &BannerWindow::passFinished);
        for (int i = 1; i <= limit; ++i) {
            banner.tick();
            if (!finished.isEmpty())
                return i;
        }
        return -1;
    }

private slots:
    // The window itself; the same message scrolls on from where it stood, an edited one starts afresh.
    void window() {
        QString text = QStringLiteral("Ofertas de la semana\nPortátiles");
        MessageBanner message([] { return false; }, [&text] { return text; });
        message.setSpeed(1); // set before the window exists: taken when it is made
        message.show();
        BannerWindow& banner = *message.window();
        QCOMPARE(banner.windowTitle(), QStringLiteral("P r e g o n a r"));
        QVERIFY(banner.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(banner.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(banner.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(qRound(banner.windowOpacity() * 255), 128);
        QCOMPARE(banner.size(),
                 QSize(qRound(13500 / banner.twipsPerPixel()), qRound(5055 / banner.twipsPerPixel())));
        QCOMPARE(banner.scrollTimer().interval(), 10);
        for (int i = 0; i < 30; ++i)
            banner.tick();
        QCOMPARE(banner.layout().topY(), -30);
        message.hide();
        message.show();
        QCOMPARE(banner.layout().topY(), -30);
        message.hide();
        text = QStringLiteral("Nuevo mensaje");
        message.show();
        QVERIFY(banner.layout().lines().contains(text));
        QCOMPARE(banner.layout().topY(), 0);
    }

    void withThePanel() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        panel.messageEdit()->setPlainText(QStringLiteral("Ofertas de la semana\nPortátiles"));
        panel.speedSlider()->setValue(100);
        panel.clickButton(ControlPanel::Detection);
        panel.clickButton(ControlPanel::Message);
        panel.clickButton(ControlPanel::Advertising);
        BannerWindow& banner = *panel.banner().window();
        QVERIFY(banner.isVisible() && banner.scrollTimer().isActive());
        QVERIFY(!panel.isVisible());
        banner.close(); // the title bar and Alt+F4 close nothing
        QVERIFY(banner.isVisible());
        // Escape brings the panel back for a while; the message scrolls on.
        QTest::keyClick(&banner, Qt::Key_Escape);
        QVERIFY(panel.isVisible() && panel.shop().autoHideTimer().isActive());
        QVERIFY(banner.scrollTimer().isActive());
        // While detection runs, one pass, then the hold-off; otherwise the message repeats.
        const int ticks = ticksToPassEnd(banner, 10000);
        QVERIFY(ticks > 0);
        QVERIFY(panel.shop().holdingOff() && !banner.isVisible());
        panel.clickButton(ControlPanel::Advertising);
        panel.clickButton(ControlPanel::Detection);
        panel.clickButton(ControlPanel::Advertising);
        QCOMPARE(ticksToPassEnd(banner, 4 * ticks), -1);
        // The speed slider reaches the next tick.
        panel.speedSlider()->setValue(40);
        const int top = banner.layout().topY();
        banner.tick();
        QCOMPARE(banner.layout().topY(), top - 40);
        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!banner.isVisible() && !banner.scrollTimer().isActive());
    }
};

QTEST_MAIN(TestBannerWindow)
#include "TestBannerWindow.moc"
