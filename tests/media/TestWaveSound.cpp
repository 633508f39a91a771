// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/WaveSound.h"

#include <QTest>
#include <QtEndian>

namespace {

QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char* id, const QByteArray& body, quint32 declared = 0) {
    QByteArray out = QByteArray(id, 4) + le32(declared ? declared : quint32(body.size())) + body;
    return body.size() % 2 ? out + '\0' : out;
}

QByteArray format(quint16 tag, int channels, int rate, int bits) {
    return chunk("fmt ", le16(tag) + le16(quint16(channels)) + le32(quint32(rate)) +
                             le32(quint32(rate * channels * bits / 8)) + le16(quint16(channels * bits / 8)) +
                             le16(quint16(bits)));
}

QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

} // namespace

// Files as other programs write them, and as a copy cut short or a wrong format leaves them.
class TestWaveSound : public QObject {
    Q_OBJECT
private slots:
    void readsWhatCanBePlayedAndNothingElse() {
        const QByteArray samples("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
        // A list chunk of odd length (padded) before the samples, as editors write their notes.
        auto wave =
            WaveSound::parse(riff(format(1, 2, 44100, 16) + chunk("LIST", "abc") + chunk("data", samples)));
        QVERIFY(wave);
        QCOMPARE(wave->channels, 2);
        QCOMPARE(wave->sampleRate, 44100);
        QCOMPARE(int(wave->sample), int(WaveSound::Sample::Int16));
        QCOMPARE(wave->pcm, samples);

        // Cut in the middle of a frame: the whole frames before the cut are kept.
        wave = WaveSound::parse(riff(format(1, 2, 44100, 16) + chunk("data", samples, 4000)).chopped(2));
        QVERIFY(wave);
        QCOMPARE(wave->pcm, samples.left(4));

        // 24-bit samples become 32-bit ones of the same value.
        wave = WaveSound::parse(
            riff(format(1, 1, 8000, 24) + chunk("data", QByteArray("\x11\x22\x33\xff\xee\xdd", 6))));
        QVERIFY(wave);
        QCOMPARE(int(wave->sample), int(WaveSound::Sample::Int32));
        QCOMPARE(wave->pcm, QByteArray("\x00\x11\x22\x33\x00\xff\xee\xdd", 8));

        // Compressed, samples before their format, a format too short, no samples, not a WAV.
        QVERIFY(!WaveSound::parse(riff(format(0x11, 1, 8000, 4) + chunk("data", samples))));
        QVERIFY(!WaveSound::parse(riff(chunk("data", samples) + format(1, 1, 8000, 16))));
        QVERIFY(!WaveSound::parse(riff(chunk("fmt ", le16(1)) + chunk("data", samples))));
        QVERIFY(!WaveSound::parse(riff(format(1, 1, 8000, 16) + chunk("data", {}))));
        QVERIFY(!WaveSound::parse(riff(format(1, 0, 8000, 16) + chunk("data", samples))));
        QVERIFY(!WaveSound::parse("ID3\x03 esto es un mp3"));
    }
};

QTEST_APPLESS_MAIN(TestWaveSound)
#include "TestWaveSound.moc"
