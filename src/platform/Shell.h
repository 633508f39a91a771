// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>
#include <QUrl>

// Opening documents and web pages with the desktop's default application.
class Shell {
public:
    virtual ~Shell() = default;
    // Failures stay silent: a page that cannot be opened leaves no message.
    virtual void openFile(const QString& path) = 0;
    virtual void openUrl(const QUrl& url) = 0;
};

class DesktopShell : public Shell {
public:
    void openFile(const QString& path) override;
    void openUrl(const QUrl& url) override;
};
