// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/Autostart.h"

#include "platform/DesktopEntry.h"
#include "settings/AtomicSave.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

Autostart::Autostart(QString configFolder)
    : m_configFolder(std::move(configFolder)) {}

QString Autostart::userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString Autostart::entryPath() const {
    return QDir(m_configFolder).filePath(QStringLiteral("autostart/pregonar.desktop"));
}

bool Autostart::isEnabled() const {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    bool mainGroup = false;
    while (!file.atEnd()) {
        // "Key = value" may carry blanks around the '='.
        const QString line = QString::fromUtf8(file.readLine()).remove(QLatin1Char(' ')).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            mainGroup = line == QLatin1String("[DesktopEntry]");
        } else if (mainGroup && (line == QLatin1String("Hidden=true") ||
                                 line == QLatin1String("X-GNOME-Autostart-enabled=false"))) {
            return false;
        }
    }
    return true;
}

bool Autostart::enable(const QString& executable, const QString& workFolder, QString* error) const {
    const QString folder = QDir(m_configFolder).filePath(QStringLiteral("autostart"));
    if (!QDir().mkpath(folder)) {
        if (error) {
            *error = QStringLiteral("%1: no se pudo crear la carpeta").arg(QDir::toNativeSeparators(folder));
        }
        return false;
    }
    // The folder twice: in Exec= for sessions that ignore Path=, in Path= for the others.
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Pregonar\n"
                       "Comment=Publicidad inteligente en la pantalla de la tienda\n"
                       "Exec=%1 --folder %2\n"
                       "Path=%3\n"
                       "Icon=pregonar\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(DesktopEntry::execArgument(executable), DesktopEntry::execArgument(workFolder),
                 DesktopEntry::escapeValue(workFolder));
    return saveAtomically(entryPath(), text.toUtf8(), std::nullopt, {}, error);
}

bool Autostart::disable(QString* error) const {
    QFile file(entryPath());
    if (file.exists() && !file.remove()) {
        if (error) {
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(entryPath()), file.errorString());
        }
        return false;
    }
    return true;
}
