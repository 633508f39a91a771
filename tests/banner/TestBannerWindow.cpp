// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "fakes/RecordingDesktop.h"

#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The banner window and the panel's control of it: start, stop, one pass, keys, sliders.
class TestBannerWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingDialogs m_dialogs;
    RecordingShell m_shell;

    std::unique_ptr<ControlPanel> makePanel() {
        m_dir = std::make_unique<QTemporaryDir>(); // each panel starts afresh
        PanelEnvironment env;
        env.workFolder = m_dir->path();
        env.dialogs = &m_dialogs;
        env.shell = &m_shell;
        auto panel = std::make_unique<ControlPanel>(env);
        panel->load();
        panel->show();
        panel->messageEdit()->setPlainText(QStringLiteral("Ofertas de la semana\nPortátiles"));
        return panel;
    }

    // Ticks until the banner says one pass is over, at most `limit` ticks; the count, or -1.
    static int ticksToPassEnd(BannerWindow& banner, int limit) {
        QSignalSpy finished(&banner, &BannerWindow::passFinished);
        for (int i = 1; i <= limit; ++i) {
            banner.tick();
            if (!finished.isEmpty()) {
                return i;
            }
        }
        return -1;
    }

private slots:
    void windowProperties() {
        auto panel = makePanel();
        panel->banner().show();
        BannerWindow* banner = panel->banner().window();
        QVERIFY(banner);
        QCOMPARE(banner->windowTitle(), QStringLiteral("P r e g o n a r"));
        QVERIFY(banner->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(banner->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(banner->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(qRound(banner->windowOpacity() * 255), 128);
        const double tpp = banner->twipsPerPixel();
        QCOMPARE(banner->size(), QSize(qRound(13500 / tpp), qRound(5055 / tpp)));
        QCOMPARE(banner->scrollTimer().interval(), 10);
        panel->unload();
    }

    void comesWithTheShow() {
        auto panel = makePanel();
        panel->clickButton(ControlPanel::Message);
        panel->clickButton(ControlPanel::Advertising);
        BannerWindow* banner = panel->banner().window();
        QVERIFY(banner->isVisible());
        QVERIFY(banner->scrollTimer().isActive());
        QVERIFY(!panel->isVisible());

        banner->close(); // the title bar and Alt+F4 close nothing
        QVERIFY(banner->isVisible());

        // Escape brings the panel back for a while; the message scrolls on.
        QTest::keyClick(banner, Qt::Key_Escape);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->shop().autoHideTimer().isActive());
        QVERIFY(banner->scrollTimer().isActive());

        panel->clickButton(ControlPanel::Advertising);
        QVERIFY(!panel->shop().messageShowing());
        QVERIFY(!banner->isVisible());
        QVERIFY(!banner->scrollTimer().isActive());
    }

    void speedReachesTheNextTick() {
        auto panel = makePanel();
        panel->speedSlider()->setValue(1);
        panel->banner().show();
        BannerWindow& banner = *panel->banner().window();
        banner.tick();
        QCOMPARE(banner.layout().topY(), -1);
        panel->speedSlider()->setValue(40);
        banner.tick();
        QCOMPARE(banner.layout().topY(), -41);
    }

    void onePassWhileDetecting() {
        auto panel = makePanel();
        panel->speedSlider()->setValue(100);
        panel->clickButton(ControlPanel::Detection);
        panel->clickButton(ControlPanel::Message);
        panel->clickButton(ControlPanel::Advertising);
        BannerWindow& banner = *panel->banner().window();
        const int ticks = ticksToPassEnd(banner, 10000);
        QVERIFY(ticks > 0);
        QVERIFY(!panel->shop().messageShowing());
        QVERIFY(panel->shop().holdingOff());
        QVERIFY(!banner.isVisible());

        // Without detection the message repeats without end.
        panel->clickButton(ControlPanel::Advertising);
        panel->clickButton(ControlPanel::Detection);
        panel->clickButton(ControlPanel::Advertising);
        QCOMPARE(ticksToPassEnd(banner, 4 * ticks), -1);
        QVERIFY(panel->shop().messageShowing());
    }

    void editedMessageIsLaidOutAgain() {
        auto panel = makePanel();
        panel->banner().show();
        BannerWindow& banner = *panel->banner().window();
        for (int i = 0; i < 30; ++i) {
            banner.tick();
        }
        panel->banner().hide();
        const int keptTop = banner.layout().topY();
        const int keptFirst = banner.layout().firstLine();
        panel->banner().show(); // same message: the scroll goes on from where it stood
        QCOMPARE(banner.layout().topY(), keptTop);
        QCOMPARE(banner.layout().firstLine(), keptFirst);
        panel->banner().hide();
        panel->messageEdit()->setPlainText(QStringLiteral("Nuevo mensaje"));
        panel->banner().show();
        QVERIFY(banner.layout().lines().contains(QStringLiteral("Nuevo mensaje")));
        QCOMPARE(banner.layout().topY(), 0);
        QCOMPARE(banner.layout().firstLine(), 0);
    }
};

QTEST_MAIN(TestBannerWindow)
#include "TestBannerWindow.moc"
