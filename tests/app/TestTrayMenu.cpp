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
    static Form1& advertising(PanelFixture& f) {
        f.panel->PctBoton_Click(Form1::Mensaje);
        f.panel->PctBoton_Click(Form1::Publicidad);
        if (f.panel->isVisible()) {
            qFatal("advertising did not start");
        }
        return *f.panel;
    }

private slots:
    // Clicks on the icon and the menu items are checked on the real program with a tray host;
    // here the guard, which a real desktop cannot trigger on purpose.
    void menuGuardsTheNextMessage() {
        PanelFixture f;
        Form1& panel = advertising(f);
        QMenu* menu = panel.mnuBar();
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
        emit f.tray.leftClicked();
        QVERIFY(panel.isVisible());
        QCOMPARE(panel.bannerRunning(), QStringLiteral("1")); // advertising goes on
    }
};

QTEST_MAIN(TestTrayMenu)
#include "TestTrayMenu.moc"
