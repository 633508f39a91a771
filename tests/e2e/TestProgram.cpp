// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"

#include <QUrl>

#include <csignal>

// The real program, as a shop owner starts it: files, folders, launcher, one copy only, and the
// settings kept across every kind of close.
class TestProgram : public QObject {
    Q_OBJECT

    static const QString kPanel;

    // Starts the program and waits for the panel, answering the welcome message when it comes.
    static QString startAndWait(const ProgramSandbox& box, std::unique_ptr<QProcess>& process,
                                bool expectWelcome) {
        QElapsedTimer clock;
        clock.start();
        process = box.start();
        if (expectWelcome) {
            const QString welcome =
                ProgramSandbox::waitForWindow(QStringLiteral("Pregonar - BIENVENIDO"), 15000);
            if (welcome.isEmpty()) {
                return {};
            }
            ProgramSandbox::pressEnter(welcome);
        }
        const QString panel = ProgramSandbox::waitForWindow(kPanel, 15000);
        if (panel.isEmpty()) {
            qWarning("no panel: process state %d, exit code %d", int(process->state()), process->exitCode());
        }
        if (!expectWelcome && !panel.isEmpty()) {
            qInfo("start-up to the panel shown: %lld ms", static_cast<long long>(clock.elapsed()));
        }
        return panel;
    }

    static int terminate(QProcess& process) {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        if (!process.waitForFinished(10000)) {
            process.kill();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void options() {
        QProcess process;
        process.start(QStringLiteral(PREGONAR_BINARY), {QStringLiteral("--version")});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.readAllStandardOutput(), QByteArray("Pregonar 4.12\n"));
        process.start(QStringLiteral(PREGONAR_BINARY), {QStringLiteral("--help")});
        QVERIFY(process.waitForFinished(5000));
        QVERIFY(process.readAllStandardOutput().contains("--version"));
        process.start(QStringLiteral(PREGONAR_BINARY), {QStringLiteral("--bogus")});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 2);
    }

    void firstStartThenSecondCopyThenSigterm() {
        ProgramSandbox box;
        std::unique_ptr<QProcess> program;
        const QString panel = startAndWait(box, program, true);
        QVERIFY2(!panel.isEmpty(), "the panel did not show");
        QVERIFY(ProgramSandbox::screenshot(panel, QStringLiteral("panel.png")));

        for (const char* folder : {"Sonidos", "Fondos", "Videos"}) {
            QVERIFY(QFileInfo(box.work(QLatin1String(folder))).isDir());
        }
        const QString readMe = box.work(QStringLiteral("Pregonar Léame.txt"));
        const QStringList lines = QString::fromUtf8(box.read(QStringLiteral("tienda/Pregonar Léame.txt")))
                                      .split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 19); // 18 lines, each ended by CR LF
        QCOMPARE(lines.at(0), QStringLiteral("Pregonar 4.12"));
        QCOMPARE(
            lines.at(11),
            QStringLiteral("se acerquen o requieran información adicional del equipo que están viendo."));
        QCOMPARE(lines.at(16), QStringLiteral("Eso es todo, gracias."));
        // The first start shows the read-me in the desktop's viewer.
        QTRY_COMPARE(box.read(QStringLiteral("opened.txt")), QUrl::fromLocalFile(readMe).toEncoded() + '\n');

        const QByteArray launcher = box.read(QStringLiteral("home/Desktop/Pregonar.desktop"));
        QVERIFY(launcher.contains("Exec=\"" PREGONAR_BINARY "\""));
        QVERIFY(launcher.contains("Path=" + box.work().chopped(1).toUtf8()));

        // A second copy leaves at once, without a window, and the first one keeps running.
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QProcess> second = box.start();
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitCode(), 0);
        qInfo("a second copy left after %lld ms", static_cast<long long>(clock.elapsed()));
        QCOMPARE(program->state(), QProcess::Running);
        QCOMPARE(ProgramSandbox::run(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), kPanel})
                     .split(QLatin1Char('\n'))
                     .size(),
                 1);

        // SIGTERM is a system shutdown: the settings are saved.
        QCOMPARE(terminate(*program), 0);
        QVERIFY(QFile::exists(box.work(QStringLiteral("Pregonar.DAT"))));
        QCOMPARE(box.read(QStringLiteral("tienda/Pregonar.LST")), QByteArray("ESCRIBIR MENSAJE AQUI...\r\n"));
        const PanelRecord saved =
            decodePanelRecord(SettingsFile(box.work(QStringLiteral("Pregonar.DAT"))).read(1));
        QCOMPARE(saved, PanelRecord{});

        // The next start finds the launcher: no welcome, and the panel comes straight up.
        std::unique_ptr<QProcess> again;
        QVERIFY(!startAndWait(box, again, false).isEmpty());
        QVERIFY(ProgramSandbox::waitForWindow(QStringLiteral("Pregonar - BIENVENIDO"), 300).isEmpty());
        QCOMPARE(terminate(*again), 0);
    }

    // Closing while the message scrolls: the banner refuses to be closed by the user, but the
    // program still ends, with advertising saved as on. Before that a second start calls the panel
    // over the show, and it goes away again by itself.
    void secondStartAndSigtermDuringTheShow() {
        ProgramSandbox box;
        BannerRecord banner;
        banner.messageOn = true;
        banner.advertisingOn = true;
        QVERIFY(
            SettingsFile(box.work(QStringLiteral("Pregonar.DAT"))).write({{7, encodeBannerRecord(banner)}}));
        QFile(box.path(QStringLiteral("home/Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly);
        std::unique_ptr<QProcess> program = box.start();
        QVERIFY(!ProgramSandbox::waitForWindow(QStringLiteral("^P r e g o n a r$"), 15000).isEmpty());
        QVERIFY(ProgramSandbox::waitForWindow(kPanel, 300).isEmpty());

        std::unique_ptr<QProcess> second = box.start();
        QVERIFY(second->waitForFinished(5000));
        QVERIFY2(!ProgramSandbox::waitForWindow(kPanel, 5000).isEmpty(), "the panel did not come back");
        QElapsedTimer shown;
        shown.start();
        QVERIFY2(ProgramSandbox::waitForNoWindow(kPanel, 10000), "the panel stayed over the show");
        qInfo("the panel called back went away after %lld ms", static_cast<long long>(shown.elapsed()));

        QCOMPARE(terminate(*program), 0);
        const BannerRecord saved =
            decodeBannerRecord(SettingsFile(box.work(QStringLiteral("Pregonar.DAT"))).read(7));
        QVERIFY(saved.messageOn);
        QVERIFY(saved.advertisingOn);
    }

    // Settings brought from another machine survive a close at any point of the start: from the
    // panel, and at the start-up messages, before the settings were even applied (a logout).
    void closeKeepsTheStoredSettings_data() {
        QTest::addColumn<QString>("closedAt"); // title of the window open at the SIGTERM
        QTest::addColumn<bool>("launcher");    // already on the desktop: no welcome
        QTest::addColumn<bool>("readMeBlocked");
        QTest::addRow("panel") << kPanel << true << false;
        QTest::addRow("welcome") << QStringLiteral("Pregonar - BIENVENIDO") << false << false;
        QTest::addRow("cannot continue") << QStringLiteral("Pregonar - Imposible Continuar") << true << true;
    }
    void closeKeepsTheStoredSettings() {
        QFETCH(QString, closedAt);
        QFETCH(bool, launcher);
        QFETCH(bool, readMeBlocked);
        ProgramSandbox box;
        // Settings as a shop left them: sliders moved, sounds on, the image on, a message of three
        // lines with accents.
        PanelRecord panel;
        panel.uploadCounter = 7;
        panel.imageOn = true;
        panel.soundsOn = true;
        panel.movement = 12;
        panel.color = 44;
        panel.interval = 2300;
        BannerRecord banner;
        banner.soundIndex = -1;
        banner.speed = 60;
        banner.alignment = 2;
        QVERIFY(SettingsFile(box.work(QStringLiteral("Pregonar.DAT")))
                    .write({{1, encodePanelRecord(panel)}, {7, encodeBannerRecord(banner)}}));
        const QByteArray message =
            QStringLiteral("¡Bienvenido!\r\nPortátiles en oferta\r\nPregunte aquí\r\n").toUtf8();
        const QByteArray wallpaper = box.work(QStringLiteral("Fondos/oferta.jpg")).toUtf8() + "\r\n";
        for (const auto& [name, bytes] : {std::pair{QStringLiteral("Pregonar.LST"), message},
                                          std::pair{QStringLiteral("Pregonar.WPR"), wallpaper}}) {
            QFile file(box.work(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        if (launcher) {
            QFile(box.path(QStringLiteral("home/Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly);
        }
        if (readMeBlocked) { // a folder of that name: the read-me cannot be written
            QVERIFY(QDir(box.work()).mkdir(QStringLiteral("Pregonar Léame.txt")));
        }
        const QStringList names{QStringLiteral("Pregonar.DAT"), QStringLiteral("Pregonar.LST"),
                                QStringLiteral("Pregonar.WPR")};
        QList<QByteArray> before;
        for (const QString& name : names) {
            before << box.read(QStringLiteral("tienda/") + name);
        }

        std::unique_ptr<QProcess> program = box.start();
        const QString window = ProgramSandbox::waitForWindow(closedAt, 15000);
        QVERIFY(!window.isEmpty());
        if (closedAt == kPanel) {
            QVERIFY(ProgramSandbox::screenshot(window, QStringLiteral("panel-restored.png")));
        }
        QCOMPARE(terminate(*program), 0);

        for (int i = 0; i < names.size(); ++i) {
            QVERIFY2(box.read(QStringLiteral("tienda/") + names[i]) == before[i], qPrintable(names[i]));
        }
        QCOMPARE(QDir(box.work()).entryList({QStringLiteral("Pregonar.*")}, QDir::Files), names);
        QVERIFY(!box.read(QStringLiteral("opened.txt")).contains("Léame"));
    }

    // A read-me marked read-only (copied from a CD) is replaced, not taken for a write-protected
    // folder, by an ordinary user.
    void readOnlyReadMeIsReplaced() {
        ProgramSandbox box;
        const QString readMe = box.work(QStringLiteral("Pregonar Léame.txt"));
        {
            QFile file(readMe);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Pregonar 4.11\r\n");
        }
        QVERIFY(QFile::setPermissions(readMe, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QFile(box.path(QStringLiteral("home/Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly);
        std::unique_ptr<QProcess> program = box.startAsOrdinaryUser();
        QVERIFY2(!ProgramSandbox::waitForWindow(kPanel, 15000).isEmpty(), "the program did not start");
        QVERIFY(box.read(QStringLiteral("tienda/Pregonar Léame.txt")).startsWith("Pregonar 4.12\r\n"));
        QCOMPARE(terminate(*program), 0);
        if (::geteuid() == 0) { // the settings it saved are the ordinary user's: it ran as that user
            QCOMPARE(QFileInfo(box.work(QStringLiteral("Pregonar.DAT"))).owner(), QStringLiteral("nobody"));
        }
    }
};

const QString TestProgram::kPanel = QStringLiteral("^Pregonar 4\\.12$");

QTEST_GUILESS_MAIN(TestProgram)
#include "TestProgram.moc"
