// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "platform/TrayIcon.h"

#include <QScopeGuard>
#include <QSettings>

using Box = ProgramSandbox;

// The installed program as the applications menu starts it, and "Iniciar con el equipo" in its
// tray menu.
class TestMenuStart : public QObject {
    Q_OBJECT

    static QString xdotool(const QString& command) { return Box::run("xdotool", command.split(u' ')); }
    static int windows() { return xdotool("search --onlyvisible --class pregonar").count(u'\n'); }

private slots:
    void startedFromTheMenu() {
        QProcess trayer;
        trayer.startCommand("trayer --edge top --align right --widthtype request --height 32");
        auto stopTrayer = qScopeGuard([&] { trayer.terminate(), trayer.waitForFinished(3000); });
        QTRY_VERIFY(SystemTray::hostAvailable());

        // Started in the home folder with the menu entry's command, it works in ~/Pregonar.
        Box box;
        QProcess program;
        program.setProcessEnvironment(box.environment());
        program.setWorkingDirectory(box.path("home"));
        const QSettings entry(PREGONAR_SOURCE_DIR "/packaging/pregonar.desktop", QSettings::IniFormat);
        program.start(PREGONAR_BINARY, entry.value("Desktop Entry/Exec").toString().split(u' ').mid(1));
        auto stopProgram = qScopeGuard([&] { Box::terminate(program); });
        const QString welcome = Box::waitForWindow("Pregonar - BIENVENIDO", 15000);
        QVERIFY2(!welcome.isEmpty(), "no welcome on the first start");
        xdotool("key --window " + welcome + " Return");
        QVERIFY(!Box::waitForWindow(Box::kPanel, 15000).isEmpty());
        const QString folder = box.path("home/Pregonar");
        QVERIFY(QFile::exists(folder + "/Pregonar Léame.txt") && QFileInfo(folder + "/Sonidos").isDir());
        QCOMPARE(QDir(box.path("home")).entryList(QDir::Files), QStringList());
        QVERIFY(box.read("home/Desktop/Pregonar.desktop").contains("\nPath=" + folder.toUtf8() + '\n'));

        // "Iniciar con el equipo" (key I) switches the autostart entry on and off; the item shows an
        // entry removed by hand as off.
        const QString tray = xdotool("search --name ^panel$");
        QTRY_VERIFY(Box::run("xwininfo", {"-tree", "-id", tray}).contains("\"Pregonar\""));
        const auto toggle = [&] {
            xdotool("windowraise " + tray);
            const int before = windows();
            bool menu = false; // a click right after the menu closed may go unseen: click again
            for (int tries = 0; tries < 5 && !menu; ++tries) {
                xdotool("mousemove --window " + tray + " 16 16 click 3");
                menu = QTest::qWaitFor([&] { return windows() > before; }, 1000);
            }
            xdotool("key i");
            return menu && QTest::qWaitFor([&] { return windows() == before; }, 5000);
        };
        const QString autostart = box.path("home/.config/autostart/pregonar.desktop");
        QVERIFY(toggle());
        QTRY_VERIFY(QFile::exists(autostart));
        QVERIFY(
            box.read("home/.config/autostart/pregonar.desktop").contains("--folder \"" + folder.toUtf8()));
        QFile::remove(autostart);
        QVERIFY(toggle());
        QTRY_VERIFY2(QFile::exists(autostart), "the item stayed on after the entry was removed");
        QVERIFY(toggle());
        QTRY_VERIFY(!QFile::exists(autostart));
    }
};

QTEST_MAIN(TestMenuStart)
#include "TestMenuStart.moc"
