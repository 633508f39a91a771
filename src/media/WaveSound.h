// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The samples of a plain WAV file (PCM or floating point), read whole so that a greeting starts the
// moment it is asked for. Anything else (a compressed WAV, an MP3, a damaged header) gives nothing and
// is left to the media player.
struct WaveSound {
    enum class Sample { UInt8, Int16, Int32, Float };

    int sampleRate = 0;
    int channels = 0;
    Sample sample = Sample::Int16;
    QByteArray pcm; // whole frames only; 24-bit samples are widened to 32 bits

    // The largest sound read this way (about a minute of CD sound); longer ones go to the media player.
    static constexpr qint64 MaxBytes = 12 * 1024 * 1024;

    static std::optional<WaveSound> read(const QString& path);
    static std::optional<WaveSound> parse(const QByteArray& file);
    int bytesPerFrame() const;
};
