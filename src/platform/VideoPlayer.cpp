// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/VideoPlayer.h"

#include "media/VideoLength.h"

#include <QAudioOutput>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

void VideoPlayer::play() {
    m_player->play();
}

void VideoPlayer::stop() {
    m_player->stop();
}

double VideoPlayer::position() const {
    return double(m_player->position()) / 1000.0;
}

double VideoPlayer::duration() const {
    return double(m_player->duration()) / 1000.0;
}

VideoPlayer::VideoPlayer(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_player(new QMediaPlayer(this))
    , m_audio(new QAudioOutput(this))
    , m_surface(new QVideoWidget(this)) {
    setWindowTitle(QStringLiteral("Pregonar - Video de Fondo"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_surface);
    m_surface->setAspectRatioMode(Qt::KeepAspectRatio);
    // The keys belong to the window, not to the picture.
    m_surface->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_surface);

    // A missing decoder leaves the playback state at Playing: only the status and the error tell.
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError && !m_file.isEmpty()) {
            m_failed = true;
        }
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (m_file.isEmpty()) {
            return;
        }
        if (status == QMediaPlayer::InvalidMedia) {
            m_failed = true;
        } else if (status == QMediaPlayer::EndOfMedia) {
            m_atEnd = true;
        }
    });
    placeWindow();
}

VideoPlayer::~VideoPlayer() {
    m_player->stop();
}

void VideoPlayer::open(const QString& path) {
    release();
    m_file = path;
    // Nothing to play is as broken as a file that cannot be played. Set before the source is handed
    // over: a player may report a missing file from inside setSource().
    m_failed = path.isEmpty();
    m_lengthKnown = !path.isEmpty() && videoStatesItsLength(path);
    m_player->setSource(path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path));
}

void VideoPlayer::release() {
    m_file.clear();
    m_failed = false;
    m_atEnd = false;
    m_lengthKnown = false;
    m_player->stop();
    m_player->setSource(QUrl());
}

void VideoPlayer::setFullScreen(bool on) {
    if (on == m_fullScreen) {
        return;
    }
    m_fullScreen = on;
    placeWindow();
    if (on && isVisible()) {
        raise();
        activateWindow();
    }
}

void VideoPlayer::placeWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // Without a window manager a full-screen state alone leaves the size as it was: set it.
    const QRect area = screen->geometry();
    if (m_fullScreen) {
        setGeometry(area);
    } else {
        QRect half(QPoint(), area.size() / 2);
        half.moveCenter(area.center());
        setGeometry(half);
    }
}

void VideoPlayer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    raise();
    // Full screen, the player is all there is to see: it takes the keyboard, so that Escape
    // reaches it. (Activation asked for before the window is on screen is done once it is.)
    if (m_fullScreen) {
        activateWindow();
    }
}

void VideoPlayer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Escape leaves full screen, as it does in any player; the video goes on.
        setFullScreen(false);
        emit escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}
