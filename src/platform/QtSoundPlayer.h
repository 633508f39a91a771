// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "media/SoundPlayer.h"
#include "media/WaveSound.h"

#include <QBuffer>
#include <QDateTime>

#include <memory>

class QAudioOutput;
class QAudioSink;
class QMediaPlayer;

// The greeting's sound over Qt Multimedia. A plain WAV file is kept in memory and played straight to
// the sound server, which starts it within a few milliseconds; other formats go through the media
// player, which needs a tenth of a second or more to set up its decoder.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool play(const QString& path) override;
    bool playing() override;
    void stop() override;

private:
    bool playWave(const QString& path);

    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_output;

    std::unique_ptr<QAudioSink> m_sink;
    QBuffer m_samples;
    // The sound last read, and the file as it was then: a file replaced since is read again.
    std::optional<WaveSound> m_wave;
    QString m_wavePath;
    qint64 m_waveSize = -1;
    QDateTime m_waveModified;
};
