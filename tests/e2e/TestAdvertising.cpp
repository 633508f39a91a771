// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "fakes/TestMedia.h"
#include "platform/TrayIcon.h"

#include <QPainter>
#include <QScopeGuard>

// The real program advertising on a display with a tray host: the background picture over the
// whole screen, customers counted in the audience log, Esc, a second start and the tray icon
// bringing the panel back, and the icon's menu.
using Box = ProgramSandbox;

class TestAdvertising : public QObject {
    Q_OBJECT

    static inline const QString kBackground = QStringLiteral("^Pregonar - Imagen de Fondo$");

    static QString xdotool(const QString& command) { return Box::run("xdotool", command.split(u' ')); }
    static QStringList programWindows() {
        return xdotool("search --onlyvisible --class pregonar").split('\n', Qt::SkipEmptyParts);
    }

    // A click on the icon in the tray's panel (a window manager would keep the panel above the
    // picture; without one, it is raised).
    static void clickIcon(const QString& tray, int button) {
        xdotool("windowraise " + tray);
        xdotool(QStringLiteral("mousemove --window %1 16 16 click %2").arg(tray).arg(button));
    }
    // The icon's menu (a click right after the last menu closed may go unseen: click again), then
    // `keys`; true once the menu went.
    static bool chooseFromMenu(const QString& tray, const QString& keys) {
        const QStringList before = programWindows();
        QString menu;
        bool shown = false;
        for (int tries = 0; tries < 5 && !shown; ++tries) {
            clickIcon(tray, 3);
            shown = QTest::qWaitFor(
                [&] {
                    for (const QString& id : programWindows())
                        menu = before.contains(id) ? menu : id;
                    return !menu.isEmpty();
                },
                1000);
        }
        xdotool("key " + keys);
        return shown && QTest::qWaitFor([&] { return !programWindows().contains(menu); }, 5000);
    }

private slots:
    void backgroundAndTray() {
        // The tray host first: the program looks for it when it starts.
        QProcess trayer;
        trayer.startCommand("trayer --edge top --align right --widthtype request --height 32");
        auto stopTrayer = qScopeGuard([&] { trayer.terminate(), trayer.waitForFinished(3000); });
        QTRY_VERIFY(SystemTray::hostAvailable());

        // The shop's picture: a gradient with a line of text, as the README shows it.
        Box box;
        QImage picture(640, 400, QImage::Format_RGB32);
        QPainter p(&picture);
        QLinearGradient gradient(0, 0, 640, 400);
        gradient.setStops({{0, QColor(0x1e, 0x5a, 0xa0)}, {1, QColor(0xf0, 0x8c, 0x1e)}});
        p.fillRect(picture.rect(), gradient);
        p.setPen(Qt::white);
        p.setFont(QFont(p.font().family(), 33, QFont::Bold));
        p.drawText(picture.rect(), Qt::AlignCenter, "Portátiles en oferta");
        p.end();
        QVERIFY(QDir().mkpath(box.work("Fondos")) && picture.save(box.work("Fondos/oferta.jpg"), "JPG", 90));
        QVERIFY(box.prepare(PanelRecord{.detectionOn = true, .imageOn = true, .interval = 100},
                            BannerRecord{.advertisingOn = true}));
        QVERIFY(box.write("tienda/Pregonar.WPR", box.work("Fondos/oferta.jpg").toUtf8() + "\r\n"));
        // The camera: two customers, nine seconds apart, in a clip too long to loop during the test.
        const QString camera = box.path("tienda.avi");
        QVERIFY(TestMedia::makeClip(camera, 5 * 120, 5, [](int i, QImage& picture) {
            picture.fill(QColor(205, 200, 190));
            if ((i >= 10 && i < 15) || (i >= 55 && i < 60))
                QPainter(&picture).fillRect(90, 30, 150, 210, QColor(30, 35, 50));
        }));
        // The shop's month so far, for the Visitas window.
        const QDateTime now = QDateTime::currentDateTime();
        QByteArray history = "fecha,hora,respuesta,nivel\n";
        for (int day = 29; day >= 0; --day) {
            for (int n = 0; n < 60 + (day * 37) % 90; ++n) {
                const QDateTime at(now.date().addDays(-day), QTime(9 + (n * 7) % 11, n % 60));
                if (at < now)
                    history += at.toString("yyyy-MM-dd,HH:mm:ss").toLatin1() + ",mensaje,12\n";
            }
        }
        QVERIFY(box.write("tienda/Visitas.csv", history));

        // Advertising comes back on at start: the picture covers the screen, the panel is away.
        std::unique_ptr<QProcess> program = box.start({"--camera", camera});
        auto stopProgram = qScopeGuard([&] { program->kill(), program->waitForFinished(); });
        const QString background = Box::waitForWindow(kBackground, 15000);
        QVERIFY2(!background.isEmpty(), "no background window");
        QVERIFY(xdotool("getwindowgeometry " + background).contains("Position: 0,0 "));
        QCOMPARE(QImage(Box::screenshot(background, "background.png")).size(), QSize(1280, 1024));
        QVERIFY(Box::windows(Box::kPanel).isEmpty());
        // Each customer answered is one line at the end of the log, and only those.
        const auto added = [&box, &history] { return box.read("tienda/Visitas.csv").mid(history.size()); };
        QTRY_COMPARE_WITH_TIMEOUT(added().count(",sonido,"), 2, 30000);
        QTest::qWait(1000);
        QCOMPARE(added().count('\n'), 2);

        // Esc on the picture, then a second copy (which leaves at once), bring the panel back, each
        // for five seconds.
        xdotool("key Escape");
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(), "Esc did not bring the panel back");
        QVERIFY2(Box::waitForNoWindow(Box::kPanel, 8000), "the panel stayed over the show");
        const std::unique_ptr<QProcess> second = box.start();
        QVERIFY(second->waitForFinished(5000) && second->exitCode() == 0);
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(), "a second start did not call the panel");
        QVERIFY2(Box::waitForNoWindow(Box::kPanel, 8000), "the panel stayed over the show");

        // The icon sits in the tray's panel, its only client; a left click brings the panel back, the
        // picture stays up.
        const QString tray = xdotool("search --name ^panel$");
        QTRY_VERIFY(Box::run("xwininfo", {"-tree", "-id", tray}).contains("\"Pregonar\": (\"pregonar\""));
        clickIcon(tray, 1);
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(),
                 "the tray icon did not bring the panel back");
        QVERIFY(!Box::windows(kBackground).isEmpty());

        // The menu, top to bottom: Abrir Pregonar, Acerca de..., Visitas, Horario, Iniciar con el
        // equipo (I), Salir; Down first goes to the top. "Acerca de..." opens the product page; "Visitas"
        // shows the month and today as bars.
        QVERIFY(chooseFromMenu(tray, "Down Down Return"));
        QTRY_VERIFY(box.read("opened.txt").contains("https://pregonar.example/pregonar"));
        QVERIFY(chooseFromMenu(tray, "Down Down Down Return"));
        const QString visits = Box::waitForWindow("^Pregonar - Visitas$", 5000);
        QVERIFY2(!visits.isEmpty(), "no Visitas window");
        QVERIFY(!Box::screenshot(visits, "visitas.png").isEmpty());
        // "Iniciar con el equipo" reads the entry each time the menu opens: one written by hand is on.
        const QString autostart = "home/.config/autostart/pregonar.desktop";
        QVERIFY(QDir().mkpath(box.path("home/.config/autostart")) &&
                box.write(autostart, "[Desktop Entry]\n"));
        QVERIFY(chooseFromMenu(tray, "i"));
        QTRY_VERIFY(!QFile::exists(box.path(autostart)));
        QVERIFY(chooseFromMenu(tray, "i"));
        QTRY_VERIFY(box.read(autostart).contains("--folder \"" + box.work().chopped(1).toUtf8() + '"'));

        // "Salir" closes the program, saving advertising as on for the next start.
        QFile::remove(box.work("Pregonar.DAT"));
        QVERIFY(chooseFromMenu(tray, "Up Return"));
        QVERIFY(program->waitForFinished(10000));
        QCOMPARE(program->exitCode(), 0);
        const SettingsFile saved(box.work("Pregonar.DAT"));
        QVERIFY(decodeBannerRecord(saved.read(7)).advertisingOn && decodePanelRecord(saved.read(1)).imageOn);
    }
};

QTEST_MAIN(TestAdvertising)
#include "TestAdvertising.moc"
