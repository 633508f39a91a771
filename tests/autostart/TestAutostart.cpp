// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/Autostart.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The autostart entry as the user, a desktop's "startup applications" and the session see it.
class TestAutostart : public QObject {
    Q_OBJECT
private slots:
    void entry_data() {
        QTest::addColumn<QByteArray>("before"); // the entry found; empty: none
        QTest::addColumn<bool>("enabled");
        QTest::newRow("none") << QByteArray() << false;
        QTest::newRow("written by hand") << QByteArray("[Desktop Entry]\nExec=pregonar\n") << true;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nHidden = true\n") << false;
        QTest::newRow("switched off")
            << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("hidden action")
            << QByteArray("[Desktop Entry]\n[Desktop Action a]\nHidden=true\n") << true;
    }
    void entry() {
        QFETCH(QByteArray, before);
        QTemporaryDir config;
        const Autostart autostart(config.path());
        QFile file(autostart.entryPath());
        QVERIFY(before.isEmpty() || (QDir(config.path()).mkdir("autostart") &&
                                     file.open(QIODevice::WriteOnly) && file.write(before) && file.flush()));
        QTEST(autostart.isEnabled(), "enabled");

        // Switched on, the session (gio here) starts the program in its folder, whatever its name.
        const QString folder = config.filePath(R"(Mi "tienda" $1 100%)");
        const QString program = config.filePath("pregonar");
        QVERIFY(QDir().mkpath(folder) && QFile::copy(QFINDTESTDATA("record-start.sh"), program));
        QVERIFY(autostart.enable(program, folder) && autostart.isEnabled());
        QProcess::execute("gio", {"launch", autostart.entryPath()});
        QFile started(config.filePath("started.txt"));
        QTRY_VERIFY(started.exists());
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(started.readAll()), folder + "\n--folder\n" + folder + "\n");
        QVERIFY(autostart.disable() && !file.exists() && !autostart.isEnabled() && autostart.disable());
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "TestAutostart.moc"
