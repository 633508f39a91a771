// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "banner/BannerWindow.h"
#include "fakes/RecordingDesktop.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The banner window and the panel's control of it: start, stop, one pass, keys, sliders.
class TestBannerWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;
    RecordingShell m_shell;

    std::unique_ptr<ControlPanel> makePanel() {
        PanelEnvironment env;
        env.workFolder = m_dir.path();
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
            if (!finished.isEmpty())
                return i;
        }
        return -1;
    }

private slots:
    void windowProperties() {
        auto panel = makePanel();
        panel->startBanner();
        BannerWindow* banner = panel->bannerWindow();
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

    void startStopAndKeys() {
        auto panel = makePanel();
        panel->stopBanner(); // never started: nothing happens
        QVERIFY(!panel->bannerWindow());
        QCOMPARE(panel->bannerRunning(), QStringLiteral("0"));
        QVERIFY(panel->isVisible());

        panel->speedSlider()->setValue(1);
        panel->startBanner();
        BannerWindow* banner = panel->bannerWindow();
        panel->startBanner(); // a second start changes nothing
        QCOMPARE(panel->bannerWindow(), banner);
        QCOMPARE(panel->bannerRunning(), QStringLiteral("1"));
        QVERIFY(banner->isVisible() && banner->scrollTimer().isActive() && !panel->isVisible());

        banner->tick(); // the speed reaches the next tick
        panel->speedSlider()->setValue(40);
        banner->tick();
        QCOMPARE(banner->layout().topY(), -41);

        banner->close(); // the title bar and Alt+F4 close nothing
        QVERIFY(banner->isVisible());
        QTest::keyClick(banner, Qt::Key_Escape); // Escape brings the panel back, the banner runs on
        QVERIFY(panel->isVisible() && panel->autoHideTimer().isActive());
        QVERIFY(banner->isVisible() && banner->scrollTimer().isActive());
        QCOMPARE(panel->bannerRunning(), QStringLiteral("1"));

        panel->hide();
        panel->stopBanner();
        QCOMPARE(panel->bannerRunning(), QStringLiteral("0"));
        QVERIFY(!banner->isVisible() && !banner->scrollTimer().isActive());
        QVERIFY(!panel->isVisible()); // stopping does not bring the panel back
    }

    void onePassWhileDetecting() {
        auto panel = makePanel();
        panel->speedSlider()->setValue(100);
        panel->clickButton(ControlPanel::Detection);
        panel->startBanner();
        BannerWindow& banner = *panel->bannerWindow();
        const int ticks = ticksToPassEnd(banner, 10000);
        QVERIFY(ticks > 0);
        QCOMPARE(panel->bannerRunning(), QStringLiteral("0"));
        QVERIFY(panel->holdOffTimer().isActive());
        QVERIFY(!banner.isVisible());

        // Without detection the message repeats without end.
        panel->clickButton(ControlPanel::Detection);
        panel->holdOffTimer().stop();
        panel->startBanner();
        QCOMPARE(ticksToPassEnd(banner, 4 * ticks), -1);
        QCOMPARE(panel->bannerRunning(), QStringLiteral("1"));
    }

    void editedMessageIsLaidOutAgain() {
        auto panel = makePanel();
        panel->startBanner();
        BannerWindow& banner = *panel->bannerWindow();
        for (int i = 0; i < 30; ++i)
            banner.tick();
        panel->stopBanner();
        const QList<int> kept{banner.layout().topY(), banner.layout().firstLine()};
        panel->startBanner(); // same message: the scroll goes on from where it stood
        QCOMPARE(QList<int>({banner.layout().topY(), banner.layout().firstLine()}), kept);
        panel->stopBanner();
        panel->messageEdit()->setPlainText(QStringLiteral("Nuevo mensaje"));
        panel->startBanner();
        QVERIFY(banner.layout().lines().contains(QStringLiteral("Nuevo mensaje")));
        QCOMPARE(QList<int>({banner.layout().topY(), banner.layout().firstLine()}), QList<int>({0, 0}));
    }
};

QTEST_MAIN(TestBannerWindow)
#include "TestBannerWindow.moc"
