// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/MediaMci.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QRegularExpression>
#include <QUrl>

MediaMci::MediaMci() = default;

MediaMci::~MediaMci() {
    if (m_player) {
        m_player->stop();
    }
}

QString MediaMci::status() const {
    if (!m_player) {
        return QStringLiteral("stopped");
    }
    const QMediaPlayer::MediaStatus media = m_player->mediaStatus();
    // A file that cannot be decoded leaves the player "playing" with invalid media: nothing sounds.
    if (media == QMediaPlayer::InvalidMedia || media == QMediaPlayer::EndOfMedia ||
        m_player->error() != QMediaPlayer::NoError) {
        return QStringLiteral("stopped");
    }
    switch (m_player->playbackState()) {
    case QMediaPlayer::PlayingState:
        return QStringLiteral("playing");
    case QMediaPlayer::PausedState:
        return QStringLiteral("paused");
    case QMediaPlayer::StoppedState:
        break;
    }
    return QStringLiteral("stopped");
}

QString MediaMci::send(const QString& command) {
    static const QRegularExpression open(QStringLiteral("^open\\s+\"([^\"]*)\"\\s+alias\\s+(\\S+)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString text = command.trimmed();
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0).toLower();

    if (verb == QLatin1String("close")) {
        if (m_player && (words.value(1).compare(QLatin1String("all"), Qt::CaseInsensitive) == 0 ||
                         words.value(1) == m_alias)) {
            m_player->stop();
            m_alias.clear();
        }
        return {};
    }
    if (verb == QLatin1String("open")) {
        const QRegularExpressionMatch match = open.match(text);
        if (!match.hasMatch() || !QFileInfo(match.captured(1)).isFile()) {
            return {};
        }
        if (!m_player) {
            m_player = std::make_unique<QMediaPlayer>();
            m_output = std::make_unique<QAudioOutput>();
            m_player->setAudioOutput(m_output.get());
        }
        const QString path = QFileInfo(match.captured(1)).absoluteFilePath();
        // Loaded anew every time: once a medium has reached its end, GStreamer plays it again
        // without a sound unless it is reloaded.
        m_player->stop();
        m_player->setSource(QUrl());
        m_player->setSource(QUrl::fromLocalFile(path));
        m_path = path;
        m_alias = match.captured(2);
        return QStringLiteral("1");
    }
    if (!m_player || words.size() < 2 || words.value(1) != m_alias) {
        return {};
    }
    if (verb == QLatin1String("set")) {
        return {}; // times are in milliseconds anyway
    }
    if (verb == QLatin1String("play")) {
        m_player->play();
        return {};
    }
    if (verb == QLatin1String("status") &&
        words.value(2).compare(QLatin1String("mode"), Qt::CaseInsensitive) == 0) {
        return status();
    }
    return {};
}
