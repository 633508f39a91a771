// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include <QSettings>
#include <QUrl>

using Box = ProgramSandbox;

// The real program, as a shop owner starts it: options, files, folders, launcher, and the settings
// kept across every kind of close.
class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void options() {
        QCOMPARE(Box::run(PREGONAR_BINARY, {"--version"}), QStringLiteral("Pregonar 4.12"));
        QVERIFY(Box::run(PREGONAR_BINARY, {"--help"}).contains("--version"));
        QCOMPARE(QProcess::execute(PREGONAR_BINARY, {"--bogus"}), 2);
    }

    // The first start, with the command of the package's menu entry: the program works in ~/Pregonar,
    // not in the folder it was started in.
    void firstStartFromTheMenuThenSigterm() {
        Box box;
        const QSettings entry(PREGONAR_SOURCE_DIR "/packaging/pregonar.desktop", QSettings::IniFormat);
        const auto program = box.start(entry.value("Desktop Entry/Exec").toString().split(u' ').mid(1));
        const QString welcome = Box::waitForWindow("Pregonar - BIENVENIDO", 15000);
        QVERIFY2(!welcome.isEmpty(), "no welcome on the first start");
        Box::run("xdotool", {"key", "--window", welcome, "Return"});
        const QString panel = Box::waitForWindow(Box::kPanel, 15000);
        QVERIFY2(!panel.isEmpty(), "the panel did not show");
        QVERIFY(!Box::screenshot(panel, "panel.png").isEmpty());

        const QString folder = box.path("home/Pregonar");
        for (const char* sub : {"/Sonidos", "/Fondos", "/Videos"})
            QVERIFY(QFileInfo(folder + sub).isDir());
        QCOMPARE(QDir(box.work()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        const QByteArray readMe = box.read("home/Pregonar/Pregonar Léame.txt");
        QVERIFY(readMe.startsWith("Pregonar 4.12\r\n") &&
                readMe.endsWith("\r\nEso es todo, gracias.\r\n\r\n"));
        QCOMPARE(readMe.count("\r\n"), 18);
        // The first start shows the read-me in the desktop's viewer.
        QTRY_COMPARE(box.read("opened.txt"),
                     QUrl::fromLocalFile(folder + "/Pregonar Léame.txt").toEncoded() + '\n');
        const QByteArray launcher = box.read("home/Desktop/Pregonar.desktop");
        QVERIFY(launcher.contains("Exec=\"" PREGONAR_BINARY "\""));
        QVERIFY(launcher.contains("\nPath=" + folder.toUtf8() + '\n'));

        // SIGTERM is a system shutdown: the settings are saved.
        QCOMPARE(Box::terminate(*program), 0);
        QCOMPARE(box.read("home/Pregonar/Pregonar.LST"), QByteArray("ESCRIBIR MENSAJE AQUI...\r\n"));
        QCOMPARE(decodePanelRecord(SettingsFile(folder + "/Pregonar.DAT").read(1)), PanelRecord{});
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
            QVERIFY(box.read("tienda/Pregonar Léame.txt").startsWith("Pregonar 4.12\r\n"));
            if (::geteuid() == 0) // it runs as that user, not as root
                QCOMPARE(QFileInfo(QStringLiteral("/proc/%1").arg(program->processId())).owner(), "nobody");
        }
        QCOMPARE(Box::terminate(*program), 0);

        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(box.read("tienda/" + names[i]) == before[i], qPrintable(names[i]));
        QCOMPARE(QDir(box.work()).entryList({"Pregonar.*"}, QDir::Files), names);
        QVERIFY(!box.read("opened.txt").contains("Léame"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "TestProgram.moc"
