// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/QtSoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace {

QAudioFormat formatOf(const WaveSound& wave) {
    QAudioFormat format;
    format.setSampleRate(wave.sampleRate);
    format.setChannelCount(wave.channels);
    switch (wave.sample) {
    case WaveSound::Sample::UInt8:
        format.setSampleFormat(QAudioFormat::UInt8);
        break;
    case WaveSound::Sample::Int16:
        format.setSampleFormat(QAudioFormat::Int16);
        break;
    case WaveSound::Sample::Int32:
        format.setSampleFormat(QAudioFormat::Int32);
        break;
    case WaveSound::Sample::Float:
        format.setSampleFormat(QAudioFormat::Float);
        break;
    }
    return format;
}

} // namespace

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() {
    stop();
}

bool QtSoundPlayer::play(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    stop();
    if (playWave(file.absoluteFilePath()))
        return true;
    if (!m_player) {
        m_player = std::make_unique<QMediaPlayer>();
        m_output = std::make_unique<QAudioOutput>();
        m_player->setAudioOutput(m_output.get());
    }
    // Loaded anew every time: once a medium has reached its end, GStreamer plays it again without a
    // sound unless it is reloaded.
    m_player->setSource(QUrl());
    m_player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    m_player->play();
    return true;
}

bool QtSoundPlayer::playWave(const QString& path) {
    const QFileInfo file(path);
    if (path != m_wavePath || file.size() != m_waveSize || file.lastModified() != m_waveModified) {
        m_samples.close();
        m_wave = WaveSound::read(path);
        m_wavePath = path;
        m_waveSize = file.size();
        m_waveModified = file.lastModified();
    }
    if (!m_wave)
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = formatOf(*m_wave);
    if (device.isNull() || !device.isFormatSupported(format))
        return false;
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_samples.close();
    m_samples.setData(m_wave->pcm);
    m_samples.open(QIODevice::ReadOnly);
    // The sink goes idle when it has handed the last samples to the sound server, which still has
    // them to play: it is let go once they have been heard (stopping it at once would cut the end).
    QObject::connect(m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [this](QAudio::State state) {
        if (state != QAudio::IdleState || !m_sink)
            return;
        const qint64 tailMs = m_sink->format().durationForBytes(m_sink->bufferSize()) / 1000;
        QTimer::singleShot(tailMs + 20, m_sink.get(), [this] {
            // Idle also while starved for a moment: only the sound's end stops it.
            if (m_sink->state() == QAudio::IdleState && m_samples.atEnd())
                m_sink->stop();
        });
    });
    m_sink->start(&m_samples);
    return m_sink->error() == QAudio::NoError;
}

bool QtSoundPlayer::playing() {
    if (m_sink)
        return m_sink->error() == QAudio::NoError && m_sink->state() != QAudio::StoppedState;
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
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
    if (m_player)
        m_player->stop();
}
