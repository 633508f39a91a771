// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "platform/TrayIcon.h"

#include <QScopeGuard>

using Box = ProgramSandbox;

// The installed program as the applications menu starts it, and "Iniciar con el equipo" in its
// tray menu.
class TestMenuStart : public QObject {
    Q_OBJECT

    static QString xdotool(const QString& command) { return Box::run("xdotool", command.split(u' ')); }

    // The arguments of the menu entry's command.
    static QStringList menuArguments() {
        QFile entry(PREGONAR_SOURCE_DIR "/packaging/pregonar.desktop");
        entry.open(QIODevice::ReadOnly);
        for (const QString& line : QString::fromUtf8(entry.readAll()).split(u'\n'))
            if (line.startsWith("Exec=pregonar"))
                return line.split(u' ', Qt::SkipEmptyParts).mid(1);
        return {"no Exec= line"};
    }

private slots:
    void startedFromTheMenu() {
        QProcess trayer;
        trayer.startCommand("trayer --edge top --align right --widthtype request --height 32");
        QVERIFY(trayer.waitForStarted());
        auto stopTrayer = qScopeGuard([&] {
            trayer.terminate();
            trayer.waitForFinished(3000);
        });
        QTRY_VERIFY(SystemTray::hostAvailable());

        // Started in the home folder, it works in ~/Pregonar, made on the way.
        Box box;
        QProcess program;
        program.setProcessEnvironment(box.environment());
        program.setWorkingDirectory(box.path("home"));
        program.start(PREGONAR_BINARY, menuArguments());
        auto stopProgram = qScopeGuard([&] { Box::terminate(program); });
        const QString welcome = Box::waitForWindow("Pregonar - BIENVENIDO", 15000);
        QVERIFY2(!welcome.isEmpty(), "no welcome on the first start");
        xdotool("key --window " + welcome + " Return");
        QVERIFY(!Box::waitForWindow(Box::kPanel, 15000).isEmpty());
        const QString folder = box.path("home/Pregonar");
        QVERIFY(QFile::exists(folder + "/Pregonar Léame.txt") && QFileInfo(folder + "/Sonidos").isDir());
        QCOMPARE(QDir(box.path("home")).entryList(QDir::Files), QStringList());
        QVERIFY(box.read("home/Desktop/Pregonar.desktop").contains("\nPath=" + folder.toUtf8() + '\n'));

        // "Iniciar con el equipo" (its key: I) switches the autostart entry on and off; an entry
        // removed by hand shows the item off.
        const QString trayPanel = xdotool("search --name ^panel$");
        QTRY_VERIFY(Box::run("xwininfo", {"-tree", "-id", trayPanel}).contains("\"Pregonar\""));
        const auto windows = [] { return xdotool("search --onlyvisible --class pregonar").count(u'\n'); };
        const auto toggle = [&] {
            xdotool("windowraise " + trayPanel);
            // "WINDOW=..", "X=..", "Y=..", "WIDTH=..", "HEIGHT=.." lines: a right click in the middle.
            const QStringList v = xdotool("getwindowgeometry --shell " + trayPanel).split(u'\n');
            const auto at = [&](int i) { return v.value(i).section(u'=', 1).toInt(); };
            const int before = windows();
            // A click right after the menu went away may go unseen: click again after a while.
            bool menu = false;
            for (int tries = 0; tries < 5 && !menu; ++tries) {
                xdotool(
                    QStringLiteral("mousemove %1 %2 click 3").arg(at(1) + at(3) / 2).arg(at(2) + at(4) / 2));
                menu = QTest::qWaitFor([&] { return windows() > before; }, 1000);
            }
            QVERIFY2(menu, "no menu");
            xdotool("key i");
            QVERIFY(QTest::qWaitFor([&] { return windows() == before; }, 5000));
        };
        const QString entry = box.path("home/.config/autostart/pregonar.desktop");
        toggle();
        QTRY_VERIFY(QFile::exists(entry));
        QVERIFY(
            box.read("home/.config/autostart/pregonar.desktop").contains("--folder \"" + folder.toUtf8()));
        QFile::remove(entry);
        toggle();
        QTRY_VERIFY2(QFile::exists(entry), "the item stayed on after the entry was removed");
        toggle();
        QTRY_VERIFY(!QFile::exists(entry));
    }
};

QTEST_MAIN(TestMenuStart)
#include "TestMenuStart.moc"
