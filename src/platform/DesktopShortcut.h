// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// A launcher for the program on the user's desktop.
struct DesktopShortcut {
    QString desktopFolder; // the user's desktop
    QString executable;    // the running program
    QString workingFolder; // where the program keeps its files
    QString iconPath;      // a file, or a name in the icon theme; may be empty

    QString launcherPath() const;
    // Creates the launcher when it is missing. True only when it was created now.
    bool createIfMissing() const;
};
