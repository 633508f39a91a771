// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/DesktopShortcut.h"

#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString DesktopShortcut::launcherPath() const {
    return QDir(desktopFolder).filePath(QStringLiteral("Pregonar.desktop"));
}

bool DesktopShortcut::createIfMissing() const {
    if (desktopFolder.isEmpty() || QFileInfo::exists(launcherPath())) {
        return false;
    }
    if (!QDir().mkpath(desktopFolder)) {
        return false;
    }
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n"
                                  "Name=Pregonar\n"
                                  "Comment=Publicidad inteligente en la pantalla de la tienda\n");
    text += QStringLiteral("Exec=%1\n").arg(DesktopEntry::execArgument(executable));
    text += QStringLiteral("Path=%1\n").arg(DesktopEntry::escapeValue(workingFolder));
    if (!iconPath.isEmpty()) {
        text += QStringLiteral("Icon=%1\n").arg(DesktopEntry::escapeValue(iconPath));
    }
    text += QStringLiteral("Terminal=false\nCategories=AudioVideo;\n");

    QSaveFile file(launcherPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        return false;
    }
    // Desktops only start launchers that are marked executable.
    QFile::setPermissions(launcherPath(),
                          QFile::permissions(launcherPath()) | QFile::ExeOwner | QFile::ExeUser);
    return true;
}
