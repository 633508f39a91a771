// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>
#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

// The background video player: a borderless window with the picture and nothing else, no
// controls.
class VideoPlayer : public QWidget {
    Q_OBJECT
public:
    explicit VideoPlayer(QWidget* parent = nullptr);
    ~VideoPlayer() override;

    // The file being played; empty when none.
    QString file() const { return m_file; }
    // A local file; the previous one is let go first.
    void open(const QString& path);
    void play();
    void stop();
    // Lets the file go.
    void release();
    // Seconds from the start.
    double position() const;
    // Seconds; 0 until the file is known to be playable.
    double duration() const;

    bool fullScreen() const { return m_fullScreen; }
    // Full screen covers the primary screen; otherwise the player keeps a window of half its size
    // in the middle.
    void setFullScreen(bool on);

    // The file cannot be played: missing, damaged or without a decoder.
    bool failed() const { return m_failed; }
    // The player has reached the end of the file: the end for every file, whether or not its
    // length was known.
    bool atEnd() const { return m_atEnd; }
    // The file says how long it is, so `duration` can be trusted before the end comes. Files
    // written while recording or as a stream do not; the player's guess of their length can be
    // far too short.
    bool lengthKnown() const { return m_lengthKnown; }

signals:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeWindow();

    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    QVideoWidget* m_surface;
    QString m_file;
    bool m_fullScreen = false;
    bool m_failed = false;
    bool m_atEnd = false;
    bool m_lengthKnown = false;
};
