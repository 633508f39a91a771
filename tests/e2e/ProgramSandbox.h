// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QDir>
#include <QElapsedTimer>
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
    ProgramSandbox() {
        for (const char* sub : {"tienda", "home/Desktop", "run", "bin"}) {
            QDir(m_dir.path()).mkpath(QLatin1String(sub));
        }
        QFile::setPermissions(path(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The desktop's opener records what the program asked it to open.
        QFile opener(path(QStringLiteral("bin/xdg-open")));
        opener.open(QIODevice::WriteOnly);
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/../opened.txt\"\n");
        opener.close();
        opener.setPermissions(opener.permissions() | QFile::ExeOwner);
    }

    QString path(const QString& relative) const { return QDir(m_dir.path()).filePath(relative); }
    QString work(const QString& name = {}) const { return path(QStringLiteral("tienda/") + name); }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("home/.config")));
        env.insert(QStringLiteral("PATH"),
                   path(QStringLiteral("bin")) + QLatin1Char(':') + env.value("PATH"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        env.remove(QStringLiteral("DESKTOP_SESSION"));
        return env;
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) const {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setWorkingDirectory(work());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(PREGONAR_BINARY), arguments);
        process->waitForStarted();
        return process;
    }

    // The program run by an ordinary user, for whom a read-only file is read-only (root writes
    // anything): the whole sandbox, with a copy of the program, is handed to `nobody`.
    std::unique_ptr<QProcess> startAsOrdinaryUser() const {
        if (::geteuid() != 0) {
            return start();
        }
        const QString copy = path(QStringLiteral("bin/pregonar"));
        QFile::copy(QStringLiteral(PREGONAR_BINARY), copy);
        run(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("nobody:nogroup"), m_dir.path()});
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setWorkingDirectory(work());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral("setpriv"),
                       {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                        QStringLiteral("--clear-groups"), copy});
        process->waitForStarted();
        return process;
    }

    QByteArray read(const QString& relative) const {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    // The id of a visible top-level window whose title matches, or empty after `timeoutMs`.
    static QString waitForWindow(const QString& title, int timeoutMs, qint64* elapsedMs = nullptr) {
        QElapsedTimer clock;
        clock.start();
        do {
            const QString ids =
                run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--name"), title});
            if (!ids.isEmpty()) {
                if (elapsedMs) {
                    *elapsedMs = clock.elapsed();
                }
                return ids.split(QLatin1Char('\n')).constLast();
            }
            QThread::msleep(20);
        } while (clock.elapsed() < timeoutMs);
        return {};
    }

    // True once no visible window's title matches, false if one still does after `timeoutMs`.
    static bool waitForNoWindow(const QString& title, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        do {
            if (run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--name"), title})
                    .isEmpty()) {
                return true;
            }
            QThread::msleep(50);
        } while (clock.elapsed() < timeoutMs);
        return false;
    }

    static void pressEnter(const QString& window) {
        run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        run(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Return")});
    }

    // A screenshot of one window, kept in the build folder (the README shows them).
    static bool screenshot(const QString& window, const QString& name) {
        const QString folder = QStringLiteral(PREGONAR_BUILD_DIR "/screenshots");
        QDir().mkpath(folder);
        const QString file = QDir(folder).filePath(name);
        QFile::remove(file);
        QThread::msleep(300); // let the window finish its first paint
        run(QStringLiteral("import"), {QStringLiteral("-window"), window, file});
        return QFile::exists(file);
    }

private:
    QTemporaryDir m_dir;
};
