// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerLayout.h"
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "banner/TextMeasure.h"
#include "fakes/PanelFixture.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

// The banner window and its font, and the panel's control of it: the show, Escape, one pass, the
// speed slider.
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
    // The real font, under the offscreen platform: plausible sizes, twips that do not depend on the
    // pixel density, and a layout that fits the text area.
    void fontMeasuresInTwipsAndFits() {
        const FontTextMeasure at96(bannerFont(15), 15);
        const FontTextMeasure at192(bannerFont(7.5), 7.5);
        // 36 pt is 720 twips; a line with its leading is somewhat taller.
        QVERIFY(at96.textHeight("A") > 720 && at96.textHeight("A") < 1100);
        QVERIFY(qAbs(at96.textHeight("A") - at192.textHeight("A")) < 0.05 * at96.textHeight("A"));
        QVERIFY(qAbs(at96.textWidth("Hola") - at192.textWidth("Hola")) < 0.05 * at96.textWidth("Hola"));
        QCOMPARE(at96.textWidth(""), 0.0);
        QVERIFY(at96.textWidth("HolaHola") > 1.9 * at96.textWidth("Hola"));
        // The design area: 5 to 8 lines, a centred line inside it.
        BannerLayout b(at96);
        b.setAlignmentFromSlider(1);
        b.layOut(QStringLiteral("Ofertas de la semana"), true);
        QVERIFY(b.visibleLines() >= 5 && b.visibleLines() <= 8);
        QVERIFY(b.lineX(6) > 100 && b.lineX(6) < 6780);
    }

    // The window's kind, size and 10 ms tick; the same message scrolls on from where it stood, an
    // edited one starts afresh.
    void window() {
        QString text = QStringLiteral("Ofertas de la semana\nPortátiles");
        MessageBanner message([] { return false; }, [&text] { return text; });
        message.setSpeed(1); // set before the window exists: taken when it is made
        message.show();
        BannerWindow& banner = *message.window();
        // A tool window above the others, without a close button.
        const Qt::WindowFlags kept =
            Qt::WindowType_Mask | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint;
        QCOMPARE(banner.windowFlags() & kept, Qt::Tool | Qt::WindowStaysOnTopHint);
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
        QVERIFY(banner.isVisible() && banner.scrollTimer().isActive() && !panel.isVisible());
        banner.close(); // the title bar and Alt+F4 close nothing
        QVERIFY(banner.isVisible());
        // Escape brings the panel back for a while; the message scrolls on.
        QTest::keyClick(&banner, Qt::Key_Escape);
        QVERIFY(panel.isVisible() && panel.shop().autoHideTimer().isActive() &&
                banner.scrollTimer().isActive());
        // While detection runs, one pass, then the hold-off; otherwise the message repeats.
        const int ticks = ticksToPassEnd(banner, 10000);
        QVERIFY(ticks > 0 && panel.shop().holdingOff() && !banner.isVisible());
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
