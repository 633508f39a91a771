// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "fakes/TestMedia.h"
#include "platform/TrayIcon.h"

#include <QPainter>
#include <QScopeGuard>
#include <QSet>

// The real program advertising on a display with a tray host: the background picture over the
// whole screen, customers counted in the audience log, the tray icon bringing the panel back, and
// its menu.
using Box = ProgramSandbox;

class TestAdvertising : public QObject {
    Q_OBJECT

    static inline const QString kBackground = QStringLiteral("^Pregonar - Imagen de Fondo$");

    static QString xdotool(const QString& command) { return Box::run("xdotool", command.split(u' ')); }

    static QRect geometryOf(const QString& window) {
        // "WINDOW=..", "X=..", "Y=..", "WIDTH=..", "HEIGHT=.." lines, in this order.
        const QStringList lines = xdotool("getwindowgeometry --shell " + window).split('\n');
        int v[5] = {};
        for (int i = 1; i < 5 && i < lines.size(); ++i)
            v[i] = lines[i].section('=', 1).toInt();
        return {v[1], v[2], v[3], v[4]};
    }

    static QSet<QString> visibleWindowsOfTheProgram() {
        const QStringList ids =
            xdotool("search --onlyvisible --class pregonar").split('\n', Qt::SkipEmptyParts);
        return {ids.begin(), ids.end()};
    }

    static void clickAt(QPoint at, int button) {
        xdotool(QStringLiteral("mousemove %1 %2 click %3").arg(at.x()).arg(at.y()).arg(button));
    }

    // Right click on the icon; the menu's window once it shows.
    static QRect openMenu(QPoint icon) {
        const QSet<QString> before = visibleWindowsOfTheProgram();
        clickAt(icon, 3);
        QRect menu;
        const bool shown = QTest::qWaitFor(
            [&] {
                for (const QString& id : visibleWindowsOfTheProgram() - before)
                    menu = geometryOf(id);
                return !menu.isEmpty();
            },
            5000);
        return shown ? menu : QRect();
    }

    // The shop's picture: a gradient with a line of text, so the screenshot shows it stretched.
    static bool makePicture(const QString& path) {
        QImage image(640, 400, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient gradient(0, 0, 640, 400);
        gradient.setStops({{0, QColor(0x1e, 0x5a, 0xa0)}, {1, QColor(0xf0, 0x8c, 0x1e)}});
        p.fillRect(image.rect(), gradient);
        p.setPen(Qt::white);
        p.setFont(QFont(p.font().family(), 33, QFont::Bold));
        p.drawText(image.rect(), Qt::AlignCenter, "Portátiles en oferta");
        p.end();
        return image.save(path, "JPG", 90);
    }

private slots:
    void backgroundAndTray() {
        // The tray host first: the program looks for it when it starts.
        QProcess trayer;
        trayer.startCommand("trayer --edge top --align right --widthtype request --height 32");
        QVERIFY(trayer.waitForStarted());
        auto stopTrayer = qScopeGuard([&] { // killed, if need be, as it is destroyed
            trayer.terminate();
            trayer.waitForFinished(3000);
        });
        QTRY_VERIFY(SystemTray::hostAvailable());

        ProgramSandbox box;
        QDir().mkpath(box.work("Fondos"));
        QVERIFY(makePicture(box.work("Fondos/oferta.jpg")));
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
        auto stopProgram = qScopeGuard([&] {
            program->kill();
            program->waitForFinished();
        });
        const QString background = Box::waitForWindow(kBackground, 15000);
        QVERIFY2(!background.isEmpty(), "no background window");
        QCOMPARE(geometryOf(background), QRect(0, 0, 1280, 1024));
        QVERIFY(Box::waitForWindow(Box::kPanel, 500).isEmpty());
        const QImage shot(Box::screenshot(background, "background.png"));
        QCOMPARE(shot.size(), QSize(1280, 1024));
        // Stretched: the picture's corners are the screen's corners.
        QVERIFY(qAbs(shot.pixelColor(4, 4).blue() - 0xa0) < 24);
        QVERIFY(qAbs(shot.pixelColor(1275, 1019).red() - 0xf0) < 24);
        // Each customer answered is one line at the end of the log, and only those.
        const auto added = [&box, &history] { return box.read("tienda/Visitas.csv").mid(history.size()); };
        QTRY_COMPARE_WITH_TIMEOUT(added().count(",sonido,"), 2, 30000);
        QTest::qWait(1000);
        QCOMPARE(added().count('\n'), 2);

        // Esc on the picture, then a second start, bring the panel back, each for five seconds.
        xdotool("key Escape");
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(), "Esc did not bring the panel back");
        QVERIFY2(Box::waitForNoWindow(Box::kPanel, 8000), "the panel stayed over the show");
        QVERIFY(box.start()->waitForFinished(5000));
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(), "a second start did not call the panel");
        QVERIFY2(Box::waitForNoWindow(Box::kPanel, 8000), "the panel stayed over the show");

        // The icon sits in the tray's panel, its only client.
        const QString trayPanel = xdotool("search --name ^panel$");
        QVERIFY(!trayPanel.isEmpty());
        QTRY_VERIFY(
            Box::run("xwininfo", {"-tree", "-id", trayPanel}).contains("\"Pregonar\": (\"pregonar\""));
        // A window manager keeps the tray's panel above an ordinary window; without one, raise it.
        xdotool("windowraise " + trayPanel);
        const QPoint iconCentre = geometryOf(trayPanel).center();
        // A left click on the icon brings the panel back; the picture stays up.
        clickAt(iconCentre, 1);
        QVERIFY2(!Box::waitForWindow(Box::kPanel, 5000).isEmpty(),
                 "the tray icon did not bring the panel back");
        QVERIFY(!Box::waitForWindow(kBackground, 100).isEmpty());

        // The menu: "Acerca de..." opens the product page.
        QRect menu = openMenu(iconCentre);
        QVERIFY2(!menu.isEmpty(), "the right click opened no menu");
        // Items top to bottom: Abrir, Acerca, Visitas, Horario, Iniciar con el equipo, separator, Salir
        // (about 6.5 item heights); Salir is the last line.
        clickAt(QPoint(menu.center().x(), menu.top() + menu.height() * 3 / 13), 1);
        QTRY_VERIFY(box.read("opened.txt").contains("https://pregonar.example/pregonar"));
        // "Visitas": the month and today as bars.
        menu = openMenu(iconCentre);
        QVERIFY(!menu.isEmpty());
        clickAt(QPoint(menu.center().x(), menu.top() + menu.height() * 5 / 13), 1);
        const QString visits = Box::waitForWindow("^Pregonar - Visitas$", 5000);
        QVERIFY2(!visits.isEmpty(), "no Visitas window");
        QVERIFY(!Box::screenshot(visits, "visitas.png").isEmpty());

        // "Salir" closes the program, saving advertising as on for the next start.
        QFile::remove(box.work("Pregonar.DAT"));
        menu = openMenu(iconCentre);
        QVERIFY(!menu.isEmpty());
        clickAt(QPoint(menu.center().x(), menu.bottom() - 8), 1);
        QVERIFY(program->waitForFinished(10000));
        QCOMPARE(program->exitCode(), 0);
        const SettingsFile saved(box.work("Pregonar.DAT"));
        QVERIFY(decodeBannerRecord(saved.read(7)).advertisingOn);
        QVERIFY(decodePanelRecord(saved.read(1)).imageOn);
    }
};

QTEST_MAIN(TestAdvertising)
#include "TestAdvertising.moc"
