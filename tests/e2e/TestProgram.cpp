// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include <QUrl>

using Box = ProgramSandbox;

// The real program, as a shop owner starts it: files, folders, launcher, one copy only, and the
// settings kept across every kind of close.
class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void options() {
        QProcess version;
        version.start(PREGONAR_BINARY, {"--version"});
        QVERIFY(version.waitForFinished(5000));
        QCOMPARE(version.readAllStandardOutput(), QByteArray("Pregonar 4.12\n"));
        QVERIFY(Box::run(PREGONAR_BINARY, {"--help"}).contains("--version"));
        QCOMPARE(QProcess::execute(PREGONAR_BINARY, {"--bogus"}), 2);
    }

    void firstStartThenSecondCopyThenSigterm() {
        Box box;
        std::unique_ptr<QProcess> program = box.start();
        const QString welcome = Box::waitForWindow("Pregonar - BIENVENIDO", 15000);
        QVERIFY2(!welcome.isEmpty(), "no welcome on the first start");
        Box::run("xdotool", {"windowfocus", "--sync", welcome});
        Box::run("xdotool", {"key", "--window", welcome, "Return"});
        const QString panel = Box::waitForWindow(Box::kPanel, 15000);
        QVERIFY2(!panel.isEmpty(), "the panel did not show");
        QVERIFY(!Box::screenshot(panel, "panel.png").isEmpty());

        for (const char* folder : {"Sonidos", "Fondos", "Videos"})
            QVERIFY(QFileInfo(box.work(folder)).isDir());
        const QStringList lines = QString(box.read("tienda/Pregonar Léame.txt")).split("\r\n");
        QCOMPARE(lines.size(), 19); // 18 lines, each ended by CR LF
        QCOMPARE(QStringList({lines[0], lines[11], lines[16]}),
                 QStringList({"Pregonar 4.12",
                              "se acerquen o requieran información adicional del equipo que están viendo.",
                              "Eso es todo, gracias."}));
        // The first start shows the read-me in the desktop's viewer.
        QTRY_COMPARE(box.read("opened.txt"),
                     QUrl::fromLocalFile(box.work("Pregonar Léame.txt")).toEncoded() + '\n');
        const QByteArray launcher = box.read("home/Desktop/Pregonar.desktop");
        QVERIFY(launcher.contains("Exec=\"" PREGONAR_BINARY "\""));
        QVERIFY(launcher.contains("Path=" + box.work().chopped(1).toUtf8()));

        // A second copy leaves at once, without a window, and the first one keeps running.
        std::unique_ptr<QProcess> second = box.start();
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(program->state(), QProcess::Running);
        QCOMPARE(Box::windows(Box::kPanel).size(), 1);

        // SIGTERM is a system shutdown: the settings are saved.
        QCOMPARE(Box::terminate(*program), 0);
        QVERIFY(QFile::exists(box.work("Pregonar.DAT")));
        QCOMPARE(box.read("tienda/Pregonar.LST"), QByteArray("ESCRIBIR MENSAJE AQUI...\r\n"));
        QCOMPARE(decodePanelRecord(SettingsFile(box.work("Pregonar.DAT")).read(1)), PanelRecord{});
    }

    // Settings brought from another machine survive a close at any point: from the panel (run by an
    // ordinary user, who finds the read-me read-only, as copied from a CD), during the show (the
    // banner refuses to be closed by the user, the program still ends), and at the start-up
    // messages, before the settings were even applied (a logout).
    void closeKeepsTheStoredSettings_data() {
        QTest::addColumn<QString>("closedAt"); // title of the window open at the SIGTERM
        QTest::addColumn<bool>("launcher");    // already on the desktop: no welcome
        QTest::addColumn<QString>("readMe");   // "read-only" (an old one), "blocked" (a folder), or none
        QTest::addColumn<bool>("show");        // advertising and the message on
        QTest::addRow("panel") << Box::kPanel << true << "read-only" << false;
        QTest::addRow("show") << "^P r e g o n a r$" << true << "" << true;
        QTest::addRow("welcome") << "Pregonar - BIENVENIDO" << false << "" << false;
        QTest::addRow("cannot continue") << "Pregonar - Imposible Continuar" << true << "blocked" << false;
    }
    void closeKeepsTheStoredSettings() {
        QFETCH(QString, closedAt);
        QFETCH(bool, launcher);
        QFETCH(QString, readMe);
        QFETCH(bool, show);
        Box box;
        // Sliders moved, sounds on, the image on, no greeting sound, a message of three lines with accents.
        QVERIFY(box.prepare({false, 7, true, true, 12, 44, 2300}, {show, show, false, -1, 60, 2}, launcher));
        QVERIFY(
            box.write("tienda/Pregonar.LST", "¡Bienvenido!\r\nPortátiles en oferta\r\nPregunte aquí\r\n"));
        QVERIFY(box.write("tienda/Pregonar.WPR", box.work("Fondos/oferta.jpg").toUtf8() + "\r\n"));
        const QString readMePath = box.work("Pregonar Léame.txt");
        if (readMe == "blocked") // a folder of that name: the read-me cannot be written
            QVERIFY(QDir().mkdir(readMePath));
        if (readMe == "read-only") {
            QVERIFY(box.write("tienda/Pregonar Léame.txt", "Pregonar 4.11\r\n"));
            QVERIFY(
                QFile::setPermissions(readMePath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const QStringList names{"Pregonar.DAT", "Pregonar.LST", "Pregonar.WPR"};
        QList<QByteArray> before;
        for (const QString& name : names)
            before << box.read("tienda/" + name);

        std::unique_ptr<QProcess> program = box.start({}, readMe == "read-only");
        const QString window = Box::waitForWindow(closedAt, 15000);
        QVERIFY(!window.isEmpty());
        if (closedAt == Box::kPanel) {
            QVERIFY(!Box::screenshot(window, "panel-restored.png").isEmpty());
            QVERIFY(box.read("tienda/Pregonar Léame.txt").startsWith("Pregonar 4.12\r\n"));
            if (::geteuid() == 0) // it runs as that user, not as root
                QCOMPARE(QFileInfo(QStringLiteral("/proc/%1").arg(program->processId())).owner(), "nobody");
        }
        if (show)
            QVERIFY(Box::windows(Box::kPanel).isEmpty());
        QCOMPARE(Box::terminate(*program), 0);

        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(box.read("tienda/" + names[i]) == before[i], qPrintable(names[i]));
        QCOMPARE(QDir(box.work()).entryList({"Pregonar.*"}, QDir::Files), names);
        QVERIFY(!box.read("opened.txt").contains("Léame"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "TestProgram.moc"
