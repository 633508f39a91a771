// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace {
void open(const QUrl& url) {
    if (!QDesktopServices::openUrl(url)) {
        // The desktop has no handler registered with Qt; xdg-open knows more of them.
        QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()});
    }
}
} // namespace

void DesktopShell::openFile(const QString& path) {
    open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void DesktopShell::openUrl(const QUrl& url) {
    open(url);
}
