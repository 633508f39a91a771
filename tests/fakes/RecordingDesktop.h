// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"

#include <QStringList>

// Dialogs that show nothing: messages are recorded, file dialogs return the queued answers.
class RecordingDialogs : public Dialogs {
public:
    struct Message {
        Icon icon;
        QString title;
        QString text;
    };
    QList<Message> messages;
    QStringList fileFolders; // the folder each file dialog opened in
    QStringList nextFiles;
    QList<Message> questions; // asked with question(), answered from nextAnswers ("No" when empty)
    QList<bool> nextAnswers;

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override {
        messages.append({icon, title, text});
    }
    bool question(QWidget*, const QString& title, const QString& text) override {
        questions.append({Icon::Information, title, text});
        return !nextAnswers.isEmpty() && nextAnswers.takeFirst();
    }
    QString fileDialog(QWidget*, bool, const QString&, const QString&, const QString&, const QString&,
                       const QString& initialFolder) override {
        fileFolders << initialFolder;
        return nextFiles.isEmpty() ? QString() : nextFiles.takeFirst();
    }
};

class RecordingShell : public Shell {
public:
    QStringList openedFiles;
    QList<QUrl> openedUrls;
    void openFile(const QString& path) override { openedFiles << path; }
    void openUrl(const QUrl& url) override { openedUrls << url; }
};

class RecordingTray : public Tray {
public:
    bool shown = false;
    void add(const QIcon&, const QString&) override { shown = true; }
    void remove() override { shown = false; }
    bool isShown() const override { return shown; }
};
