// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/WaveSound.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatFloat = 3;
constexpr quint16 FormatExtensible = 0xFFFE;

} // namespace

int WaveSound::bytesPerFrame() const {
    switch (sample) {
    case Sample::UInt8:
        return channels;
    case Sample::Int16:
        return channels * 2;
    case Sample::Int32:
    case Sample::Float:
        return channels * 4;
    }
    return 0;
}

std::optional<WaveSound> WaveSound::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxBytes + 4096)
        return std::nullopt;
    return parse(file.readAll());
}

std::optional<WaveSound> WaveSound::parse(const QByteArray& file) {
    const char* data = file.constData();
    const qint64 size = file.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WaveSound sound;
    int bits = 0;
    bool haveFormat = false;
    for (qint64 at = 12; at + 8 <= size;) {
        const char* chunk = data + at;
        const qint64 declared = u32(chunk + 4);
        const qint64 available = std::min(declared, size - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < 16)
                return std::nullopt;
            quint16 tag = u16(chunk + 8);
            sound.channels = u16(chunk + 10);
            sound.sampleRate = int(u32(chunk + 12));
            bits = u16(chunk + 22);
            // The extensible header names the real format in the first two bytes of its sub-format.
            if (tag == FormatExtensible) {
                if (available < 40)
                    return std::nullopt;
                tag = u16(chunk + 32);
            }
            if (sound.channels < 1 || sound.channels > 8 || sound.sampleRate < 1000 ||
                sound.sampleRate > 384000)
                return std::nullopt;
            if (tag == FormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32))
                sound.sample = bits == 8 ? Sample::UInt8 : bits == 16 ? Sample::Int16 : Sample::Int32;
            else if (tag == FormatFloat && bits == 32)
                sound.sample = Sample::Float;
            else
                return std::nullopt;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            // A file cut short keeps what arrived, in whole frames.
            const int inFrame = sound.channels * bits / 8;
            const qint64 frames = available / inFrame;
            if (frames == 0 || frames * sound.bytesPerFrame() > MaxBytes)
                return std::nullopt;
            const char* samples = chunk + 8;
            if (bits == 24) {
                sound.pcm.resize(frames * sound.channels * 4);
                auto* out = reinterpret_cast<uchar*>(sound.pcm.data());
                for (qint64 i = 0; i < frames * sound.channels; ++i, samples += 3, out += 4) {
                    out[0] = 0;
                    out[1] = uchar(samples[0]);
                    out[2] = uchar(samples[1]);
                    out[3] = uchar(samples[2]);
                }
            } else {
                sound.pcm = QByteArray(samples, frames * inFrame);
            }
            return sound;
        }
        // Chunks are padded to an even length.
        at += 8 + declared + (declared & 1);
    }
    return std::nullopt;
}
