// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/Greeting.h"

#include "app/WorkFolder.h"
#include "media/SoundPlayer.h"

#include <QDir>

Greeting::Greeting(const QString& soundsFolder, SoundPlayer* player)
    : m_folder(soundsFolder)
    , m_player(player) {}

bool Greeting::playing() {
    return m_player && m_player->playing();
}

void Greeting::play() {
    const QString path = QDir(m_folder).filePath(m_chosen);
    if (m_player && !m_chosen.isEmpty() && FileExists(path))
        m_player->play(path);
}

void Greeting::stopAll() {
    if (m_player)
        m_player->stop();
}

void Greeting::preview(const QString& fileName) {
    if (m_player)
        m_player->play(QDir(m_folder).filePath(fileName));
}
