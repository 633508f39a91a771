// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "fakes/PanelFixture.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

// The tray's messages reaching the panel: left click, the menu and its guard.
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

    static QAction* item(Form1& panel, const char* name) {
        return panel.mnuBar()->findChild<QAction*>(QLatin1String(name));
    }

private slots:
    void leftClickBringsThePanelBack() {
        PanelFixture f;
        Form1& panel = advertising(f);
        emit f.tray.leftClicked();
        QVERIFY(panel.isVisible());
        QVERIFY(!panel.isMinimized());
        QCOMPARE(panel.boton(Form1::Publicidad)->appearance(), 1);
        QCOMPARE(panel.bannerRunning(), QStringLiteral("1"));
    }

    void menu() {
        PanelFixture f;
        Form1& panel = advertising(f);
        QMenu* menu = panel.mnuBar();
        QStringList texts;
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(texts, (QStringList{QStringLiteral("Abrir Pregonar"), QStringLiteral("Acerca de..."),
                                     QStringLiteral("-"), QStringLiteral("Salir")}));
        QCOMPARE(menu->defaultAction(), item(panel, "mnuAbrir"));

        emit f.tray.menuRequested(QPoint(300, 200));
        QVERIFY(menu->isVisible());
        // While the menu is open every other tray message is ignored.
        emit f.tray.leftClicked();
        QVERIFY(!panel.isVisible());
        menu->hide();
        emit f.tray.leftClicked();
        QVERIFY(panel.isVisible());

        item(panel, "mnuAcerca")->trigger();
        QCOMPARE(f.shell.openedUrls,
                 (QList<QUrl>{QUrl(QStringLiteral("https://pregonar.example/pregonar"))}));
    }

    void salirShutsDown() {
        PanelFixture f;
        Form1& panel = advertising(f);
        QFile::remove(panel.settingsPath());
        QSignalSpy unloaded(&panel, &Form1::unloaded);
        emit f.tray.menuRequested(QPoint(300, 200));
        item(panel, "mnuSalir")->trigger();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!f.tray.isShown());
        QVERIFY(decodeBannerRecord(SettingsFile(panel.settingsPath()).read(7)).advertisingOn);
        // The icon's messages after the close reach nobody.
        emit f.tray.leftClicked();
        QVERIFY(!panel.isVisible());
    }
};

QTEST_MAIN(TestTrayMenu)
#include "TestTrayMenu.moc"
