// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/BackgroundVideo.h"

#include "platform/VideoPlayer.h"

BackgroundVideo::BackgroundVideo(std::function<bool()> panelVisible, QObject* parent)
    : QObject(parent)
    , m_panelVisible(std::move(panelVisible)) {
    m_watch.setInterval(10);
    m_watch.setTimerType(Qt::PreciseTimer);
    connect(&m_watch, &QTimer::timeout, this, &BackgroundVideo::watch);
}

BackgroundVideo::~BackgroundVideo() = default;

VideoPlayer& BackgroundVideo::ensurePlayer() {
    if (!m_player) {
        m_player = std::make_unique<VideoPlayer>();
        connect(m_player.get(), &VideoPlayer::escapePressed, this, &BackgroundVideo::escapePressed);
    }
    return *m_player;
}

void BackgroundVideo::play(const QString& path) {
    VideoPlayer& player = ensurePlayer();
    player.open(path);
    player.play();
    // Full screen from the first frame when the panel is away, not only from the first watch tick.
    if (!m_panelVisible())
        player.setFullScreen(true);
    player.setVisible(true);
    m_watch.start();
}

void BackgroundVideo::stop() {
    if (!m_watch.isActive())
        return;
    m_watch.stop();
    if (m_player) {
        m_player->setVisible(false);
        m_player->stop();
        m_player->release();
    }
}

void BackgroundVideo::watch() {
    VideoPlayer& player = ensurePlayer();
    const double position = player.position();
    const double duration = player.duration();
    // The end of the file is the end. When the file says how long it is the video ends half a
    // second before it; a guessed length could cut it short. A file that cannot be played never
    // reaches its end; it ends here at once instead of leaving the shop with a black screen and
    // detection stopped.
    const bool nearTheEnd = player.lengthKnown() && duration > 0 && duration - position < 0.5;
    if (nearTheEnd || player.atEnd() || player.failed()) {
        emit finished();
        return;
    }
    if (!m_panelVisible()) {
        player.setFullScreen(true);
        player.play();
    }
}
