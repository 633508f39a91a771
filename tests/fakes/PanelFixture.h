// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/ControlPanel.h"
#include "fakes/RecordingDesktop.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>

// A started panel in a fresh working folder, with recording dialogs, shell and tray.
struct PanelFixture {
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingTray tray;
    std::unique_ptr<ControlPanel> panel;
    PanelEnvironment env;

    // `prepare` may fill the working folder and change the environment before the panel starts.
    explicit PanelFixture(const std::function<void(PanelFixture&, PanelEnvironment&)>& prepare = {}) {
        QDir(dir.path()).mkpath(QStringLiteral("Desktop"));
        env.workFolder = dir.path();
        env.desktopFolder = path(QStringLiteral("Desktop"));
        env.executable = QStringLiteral("/opt/pregonar/pregonar");
        env.dialogs = &dialogs;
        env.shell = &shell;
        env.tray = &tray;
        if (prepare)
            prepare(*this, env);
        start();
    }
    ControlPanel& start() {
        panel = std::make_unique<ControlPanel>(env);
        if (!panel->load())
            qFatal("load failed");
        panel->show();
        return *panel;
    }
    // Closes the program (saving its state) and starts it again in the same folder.
    void restart() {
        panel->unload();
        panel.reset();
        start();
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    // Chooses a file with button `index` (1 the picture, 8 the video), as the user would.
    void choose(int index, const QString& file) {
        dialogs.nextFiles = {file};
        panel->clickButton(index);
    }
};
