// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/WorkFolder.h"

#include <QDir>
#include <QFileInfo>

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

void EnsureFolder(const QString& path) {
    if (!QFileInfo(path).isDir()) {
        QDir().mkpath(path);
    }
}
