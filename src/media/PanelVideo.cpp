// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the background video and the background picture.
#include "app/Form1.h"
#include "banner/Form3.h"
#include "media/Form4.h"
#include "platform/VideoPlayer.h"

#include <QLabel>

// ---------------------------------------------------------------- background video

VideoPlayer& Form1::MPlayer() {
    if (!m_mplayer) {
        m_mplayer = std::make_unique<VideoPlayer>();
        connect(m_mplayer.get(), &VideoPlayer::escapePressed, this, [this] {
            showPanel();
            m_tmrAutoHide.start();
        });
    }
    return *m_mplayer;
}

void Form1::IniciarVideo() {
    m_tmrReloj.stop();
    VideoPlayer& player = MPlayer();
    player.setURL(m_videoPath);
    player.controls().play();
    // Full screen from the first frame when the panel is away, not only from the first watch tick.
    if (!isVisible()) {
        player.setFullScreen(true);
    }
    player.setVisible(true);
    m_tmrVideoPlay.start();
}

void Form1::DetenerVideo() {
    if (!m_tmrVideoPlay.isActive()) {
        return;
    }
    m_tmrVideoPlay.stop();
    if (m_mplayer) {
        m_mplayer->setVisible(false);
        m_mplayer->controls().stop();
        m_mplayer->close();
    }
    m_tmrReloj.start();
}

void Form1::TmrVideoPlay_Timer() {
    VideoPlayer& player = MPlayer();
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
    m_tmrAutoOFF.start();
    DetenerVideo();
}

// ---------------------------------------------------------------- background picture

Form4& Form1::form4Window() {
    if (!m_form4) {
        m_form4 = std::make_unique<Form4>();
        connect(m_form4.get(), &Form4::escapePressed, this, [this] {
            showPanel();
            m_tmrAutoHide.start();
        });
    }
    return *m_form4;
}

bool Form1::ExisteWallpaper() {
    if (m_wallpaperPath.isEmpty()) {
        return false;
    }
    Form4& form = form4Window();
    form.coverScreen();
    // A picture that cannot be read leaves the window black; the background still counts as there.
    form.loadPicture(m_wallpaperPath);
    form.imgFondo()->show();
    form.setEnabled(true);
    return true;
}

void Form1::MostrarFondo() {
    if (!m_form4) {
        form4Window();
        if (!ExisteWallpaper()) {
            m_form4->coverScreen();
        }
    }
    m_form4->show();
    m_form4->raise();
    if (!isVisible()) {
        // Esc on the picture brings the panel back: the picture needs the keyboard.
        m_form4->activateWindow();
    }
    // Without a window manager nothing keeps the panel and the banner above a window raised
    // after them; raise them again.
    if (m_form3 && m_form3->isVisible()) {
        m_form3->raise();
    }
    if (isVisible()) {
        raise();
    }
}
