// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <unistd.h>

// The real program in a fresh folder of its own, with its own home, runtime folder and desktop
// opener, under the X server the test runs in.
class ProgramSandbox {
public:
    static inline const QString kPanel = QStringLiteral("^Pregonar 4\\.12$");

    ProgramSandbox() {
        for (const char* sub : {"tienda", "home/Desktop", "run", "bin"})
            QDir(m_dir.path()).mkpath(sub);
        QFile::setPermissions(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The desktop's opener records what the program asked it to open.
        write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/../opened.txt\"\n");
        QFile::setPermissions(path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
    }

    QString path(const QString& relative) const { return QDir(m_dir.path()).filePath(relative); }
    QString work(const QString& name = {}) const { return path("tienda/" + name); }

    bool write(const QString& relative, const QByteArray& bytes) const {
        QFile file(path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QByteArray read(const QString& relative) const {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Settings as a shop left them, the launcher on the desktop (no welcome) unless told otherwise.
    bool prepare(const PanelRecord& panel, const BannerRecord& banner, bool launcher = true) const {
        return (!launcher || write("home/Desktop/Pregonar.desktop", {})) &&
               SettingsFile(work("Pregonar.DAT"))
                   .write({{1, encodePanelRecord(panel)}, {7, encodeBannerRecord(banner)}});
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", path("home"));
        env.insert("XDG_RUNTIME_DIR", path("run"));
        env.insert("XDG_CONFIG_HOME", path("home/.config"));
        env.insert("PATH", path("bin") + u':' + env.value("PATH"));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("XDG_CURRENT_DESKTOP");
        env.remove("DESKTOP_SESSION");
        return env;
    }

    // The program; `asOrdinaryUser`: run by `nobody`, for whom a read-only file is read-only (root
    // writes anything): the whole sandbox, with a copy of the program, is handed to that user.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}, bool asOrdinaryUser = false,
                                    const QProcessEnvironment& env = {}) const {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env.isEmpty() ? environment() : env);
        process->setWorkingDirectory(work());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList command{PREGONAR_BINARY};
        if (asOrdinaryUser && ::geteuid() == 0) {
            QFile::copy(PREGONAR_BINARY, path("bin/pregonar"));
            run("chown", {"-R", "nobody:nogroup", m_dir.path()});
            command = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                       path("bin/pregonar")};
        }
        command += arguments;
        process->start(command.takeFirst(), command);
        process->waitForStarted();
        return process;
    }

    // SIGTERM, as a system shutdown sends it: the exit code, or -1.
    static int terminate(QProcess& process) {
        process.terminate();
        const bool ended = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
        return ended ? process.exitCode() : -1; // one still running is killed as its QProcess goes
    }

    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    static QStringList windows(const QString& title) {
        return run("xdotool", {"search", "--onlyvisible", "--name", title}).split(u'\n', Qt::SkipEmptyParts);
    }

    // The id of the newest visible top-level window whose title matches, or empty after `timeoutMs`.
    static QString waitForWindow(const QString& title, int timeoutMs) {
        QStringList ids;
        const bool found = QTest::qWaitFor([&] { return !(ids = windows(title)).isEmpty(); }, timeoutMs);
        return found ? ids.constLast() : QString();
    }
    // True once no visible window's title matches, false if one still does after `timeoutMs`.
    static bool waitForNoWindow(const QString& title, int timeoutMs) {
        return QTest::qWaitFor([&] { return windows(title).isEmpty(); }, timeoutMs);
    }

    // A screenshot of one window, kept in the build folder (the README shows them).
    static QString screenshot(const QString& window, const QString& name) {
        const QString file = PREGONAR_BUILD_DIR "/screenshots/" + name;
        QDir().mkpath(QFileInfo(file).path());
        QFile::remove(file);
        QThread::msleep(300); // let the window finish its first paint
        run("import", {"-window", window, file});
        return QFile::exists(file) ? file : QString();
    }

private:
    QTemporaryDir m_dir;
};
