// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/QtSoundPlayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() {
    stop();
}

bool QtSoundPlayer::play(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    if (!m_player) {
        m_player = std::make_unique<QMediaPlayer>();
        m_output = std::make_unique<QAudioOutput>();
        m_player->setAudioOutput(m_output.get());
    }
    // Loaded anew every time: once a medium has reached its end, GStreamer plays it again without a
    // sound unless it is reloaded.
    m_player->stop();
    m_player->setSource(QUrl());
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    m_player->play();
    return true;
}

bool QtSoundPlayer::playing() {
    if (!m_player)
        return false;
    const QMediaPlayer::MediaStatus media = m_player->mediaStatus();
    // A file that cannot be decoded leaves the player "playing" with invalid media: nothing sounds.
    if (media == QMediaPlayer::InvalidMedia || media == QMediaPlayer::EndOfMedia ||
        m_player->error() != QMediaPlayer::NoError)
        return false;
    return m_player->playbackState() != QMediaPlayer::StoppedState;
}

void QtSoundPlayer::stop() {
    if (m_player)
        m_player->stop();
}
