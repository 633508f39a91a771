// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/DesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// Desktop entry values: backslashes, newlines and the like must be escaped.
QString escapeValue(QString value) {
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

// Exec= arguments are quoted, and inside quotes ", `, $ and \ take a backslash.
QString quoteExec(QString path) {
    QString quoted;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escapeValue(QLatin1Char('"') + quoted + QLatin1Char('"'));
}
} // namespace

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
    text += QStringLiteral("Exec=%1\n").arg(quoteExec(executable));
    text += QStringLiteral("Path=%1\n").arg(escapeValue(workingFolder));
    if (!iconPath.isEmpty()) {
        text += QStringLiteral("Icon=%1\n").arg(escapeValue(iconPath));
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
