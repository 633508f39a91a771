// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
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
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=pregonar\nHidden = true\n") << false;
        QTest::newRow("switched off")
            << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("hidden action only")
            << QByteArray("[Desktop Entry]\n[Desktop Action a]\nHidden=true\n") << true;
    }
    void entry() {
        QFETCH(QByteArray, before);
        QFETCH(bool, enabled);
        QTemporaryDir config;
        const Autostart autostart(config.path());
        QFile file(autostart.entryPath());
        if (!before.isEmpty())
            QVERIFY(QDir(config.path()).mkdir("autostart") && file.open(QIODevice::WriteOnly) &&
                    file.write(before) && file.flush());
        QCOMPARE(autostart.isEnabled(), enabled);

        // Switched on, the session starts the program in its folder, whatever the folder's name.
        const QString folder = config.filePath(R"(Mi "tienda" $1 100%)");
        const QString program = config.filePath("pregonar");
        QVERIFY(QDir().mkpath(folder) && QFile::copy(QFINDTESTDATA("record-start.sh"), program));
        QVERIFY(autostart.enable(program, folder) && autostart.isEnabled());
        QProcess::execute("gio", {"launch", autostart.entryPath()});
        QFile started(config.filePath("started.txt"));
        QTRY_VERIFY(started.exists());
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(started.readAll()), folder + "\n--folder\n" + folder + "\n");

        QVERIFY(autostart.disable() && !file.exists() && !autostart.isEnabled());
        QVERIFY(autostart.disable()); // already gone
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "TestAutostart.moc"
