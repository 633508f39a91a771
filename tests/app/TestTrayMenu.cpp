// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// The tray's messages reaching the panel. Right clicks and the menu items are checked on the real
// program with a tray host; here the wiring, and the guard a real desktop cannot trigger on purpose.
class TestTrayMenu : public QObject {
    Q_OBJECT

private slots:
    // Over the show, a click on the icon brings the panel back for a while; "Abrir Pregonar", the
    // menu's default item, brings it back to stay. The show goes on either way.
    void panelComesBack() {
        for (bool thenMenu : {false, true}) {
            PanelFixture f;
            ControlPanel& panel = *f.panel;
            panel.clickButton(ControlPanel::Message);
            panel.clickButton(ControlPanel::Advertising);
            emit f.tray.leftClicked();
            if (thenMenu)
                panel.trayMenu()->defaultAction()->trigger();
            QVERIFY(panel.isVisible() && panel.shop().messageShowing());
            QCOMPARE(panel.shop().autoHideTimer().isActive(), !thenMenu);
        }
    }

    // A click on the icon while its menu is open is ignored.
    void menuGuardsTheNextMessage() {
        PanelFixture f;
        f.panel->hide();
        emit f.tray.menuRequested(QPoint(300, 200));
        QVERIFY(f.panel->trayMenu()->isVisible());
        emit f.tray.leftClicked();
        QVERIFY(!f.panel->isVisible());
        f.panel->trayMenu()->hide();
    }
};

QTEST_MAIN(TestTrayMenu)
#include "TestTrayMenu.moc"
