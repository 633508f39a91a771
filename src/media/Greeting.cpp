// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/Greeting.h"

#include "app/WorkFolder.h"
#include "media/Mci.h"

#include <QDir>

Greeting::Greeting(const QString& soundsFolder, Mci* device)
    : m_folder(soundsFolder)
    , m_device(device) {}

QString Greeting::send(const QString& command) {
    if (!m_device)
        return {};
    QString reply = m_device->send(command);
    reply.remove(QChar(0));
    return reply;
}

void Greeting::open(const QString& path) {
    stopAll();
    send(QStringLiteral("open \"") + path + QStringLiteral("\" alias med"));
    send(QStringLiteral("set med time format milliseconds"));
    m_current = path;
}

bool Greeting::playing() {
    const QString mode = send(QStringLiteral("status med mode"));
    return mode == QLatin1String("playing") || mode == QLatin1String("paused");
}

void Greeting::play() {
    const QString path = QDir(m_folder).filePath(m_chosen);
    if (m_chosen.isEmpty() || !FileExists(path))
        return;
    open(path);
    send(QStringLiteral("play med"));
}

void Greeting::stopAll() {
    send(QStringLiteral("close all"));
}

void Greeting::preview(const QString& fileName) {
    open(QDir(m_folder).filePath(fileName));
    send(QStringLiteral("play med"));
}
