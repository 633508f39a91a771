// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the background video and the background picture.
#include "app/ControlPanel.h"
#include "banner/BannerWindow.h"
#include "media/BackgroundWindow.h"
#include "platform/VideoPlayer.h"

#include <QLabel>

// ---------------------------------------------------------------- background video

VideoPlayer& ControlPanel::ensureVideoPlayer() {
    if (!m_videoPlayer) {
        m_videoPlayer = std::make_unique<VideoPlayer>();
        connect(m_videoPlayer.get(), &VideoPlayer::escapePressed, this, [this] {
            showPanel();
            m_autoHideTimer.start();
        });
    }
    return *m_videoPlayer;
}

void ControlPanel::startVideo() {
    m_detectorTimer.stop();
    VideoPlayer& player = ensureVideoPlayer();
    player.setURL(m_videoPath);
    player.controls().play();
    // Full screen from the first frame when the panel is away, not only from the first watch tick.
    if (!isVisible()) {
        player.setFullScreen(true);
    }
    player.setVisible(true);
    m_videoWatchTimer.start();
}

void ControlPanel::stopVideo() {
    if (!m_videoWatchTimer.isActive()) {
        return;
    }
    m_videoWatchTimer.stop();
    if (m_videoPlayer) {
        m_videoPlayer->setVisible(false);
        m_videoPlayer->controls().stop();
        m_videoPlayer->close();
    }
    m_detectorTimer.start();
}

void ControlPanel::watchVideo() {
    VideoPlayer& player = ensureVideoPlayer();
    const double position = player.controls().currentPosition();
    const double duration = player.currentMedia().duration();
    // The end of the file is the end. When the file says how long it is the video ends half a
    // second before it; a guessed length could cut it short. A file that cannot be played never
    // reaches its end; it ends here at once instead of leaving the shop with a black screen and
    // detection stopped.
    const bool nearTheEnd = player.lengthKnown() && duration > 0 && duration - position < 0.5;
    const bool ended = nearTheEnd || player.atEnd() || player.failed();
    if (!ended) {
        if (!isVisible()) {
            player.setFullScreen(true);
            player.controls().play();
        }
        return;
    }
    m_holdOffTimer.start();
    stopVideo();
}

// ---------------------------------------------------------------- background picture

BackgroundWindow& ControlPanel::ensureBackgroundWindow() {
    if (!m_backgroundWindow) {
        m_backgroundWindow = std::make_unique<BackgroundWindow>();
        connect(m_backgroundWindow.get(), &BackgroundWindow::escapePressed, this, [this] {
            showPanel();
            m_autoHideTimer.start();
        });
    }
    return *m_backgroundWindow;
}

bool ControlPanel::loadBackgroundPicture() {
    if (m_wallpaperPath.isEmpty()) {
        return false;
    }
    BackgroundWindow& form = ensureBackgroundWindow();
    form.coverScreen();
    // A picture that cannot be read leaves the window black; the background still counts as there.
    form.loadPicture(m_wallpaperPath);
    form.pictureLabel()->show();
    form.setEnabled(true);
    return true;
}

void ControlPanel::showBackgroundPicture() {
    if (!m_backgroundWindow) {
        ensureBackgroundWindow();
        if (!loadBackgroundPicture()) {
            m_backgroundWindow->coverScreen();
        }
    }
    m_backgroundWindow->show();
    m_backgroundWindow->raise();
    if (!isVisible()) {
        // Esc on the picture brings the panel back: the picture needs the keyboard.
        m_backgroundWindow->activateWindow();
    }
    // Without a window manager nothing keeps the panel and the banner above a window raised
    // after them; raise them again.
    if (m_bannerWindow && m_bannerWindow->isVisible()) {
        m_bannerWindow->raise();
    }
    if (isVisible()) {
        raise();
    }
}
