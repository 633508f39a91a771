// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// The tray's messages reaching the panel while advertising runs.
class TestTrayMenu : public QObject {
    Q_OBJECT

    // Advertising with the message: the panel is away and the banner runs.
    static ControlPanel& advertising(PanelFixture& f) {
        f.panel->clickButton(ControlPanel::Message);
        f.panel->clickButton(ControlPanel::Advertising);
        if (f.panel->isVisible()) {
            qFatal("advertising did not start");
        }
        return *f.panel;
    }

private slots:
    // Right clicks and the menu items are checked on the real program with a tray host; here the
    // guard, which a real desktop cannot trigger on purpose.
    void menuGuardsTheNextMessage() {
        PanelFixture f;
        ControlPanel& panel = advertising(f);
        QMenu* menu = panel.trayMenu();
        QStringList texts;
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(texts, (QStringList{QStringLiteral("Abrir Pregonar"), QStringLiteral("Acerca de..."),
                                     QStringLiteral("-"), QStringLiteral("Salir")}));
        QCOMPARE(menu->defaultAction(), menu->actions().constFirst());

        emit f.tray.menuRequested(QPoint(300, 200));
        QVERIFY(menu->isVisible());
        emit f.tray.leftClicked(); // ignored while the menu is open
        QVERIFY(!panel.isVisible());
        menu->hide();
    }

    // Called back over the show, the panel goes away again after the auto-hide time unless
    // "Abrir Pregonar" asked for it; advertising goes on either way.
    void panelComesBack_data() {
        QTest::addColumn<bool>("advertising");
        QTest::addColumn<bool>("thenMenu"); // "Abrir Pregonar" after the click on the icon
        QTest::addColumn<bool>("autoHide");
        QTest::addRow("icon, advertising") << true << false << true;
        QTest::addRow("icon, then Abrir Pregonar") << true << true << false;
        QTest::addRow("icon, no advertising") << false << false << false;
    }
    void panelComesBack() {
        QFETCH(bool, advertising);
        QFETCH(bool, thenMenu);
        QFETCH(bool, autoHide);
        PanelFixture f;
        ControlPanel& panel = advertising ? TestTrayMenu::advertising(f) : *f.panel;
        panel.hide();
        emit f.tray.leftClicked();
        if (thenMenu) {
            panel.trayMenu()->actions().constFirst()->trigger();
        }
        QVERIFY(panel.isVisible());
        QCOMPARE(panel.shop().autoHideTimer().isActive(), autoHide);
        QCOMPARE(panel.shop().autoHideTimer().interval(), 5000);
        QCOMPARE(panel.shop().messageShowing(), advertising);
    }
};

QTEST_MAIN(TestTrayMenu)
#include "TestTrayMenu.moc"
