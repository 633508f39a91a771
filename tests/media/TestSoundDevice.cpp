// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/TestMedia.h"
#include "media/WaveSound.h"
#include "platform/QtSoundPlayer.h"

#include <QTest>

// The greeting's sound device against a real sound server whose null sink the test records.
class TestSoundDevice : public QObject {
    Q_OBJECT

    TestMedia::PulseNullSink m_pulse; // started before, ended after every test
    QTemporaryDir m_dir;

private slots:
    // WAV files are played from memory straight to the server; the others through the media player.
    void playsTheGreetingOnce_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::newRow("wav 16 bits") << "tono.wav"
                                     << "-r 44100 -c 1 -b 16";
        QTest::newRow("wav 24 bits, stereo") << "tono24.wav"
                                             << "-r 48000 -c 2 -b 24";
        QTest::newRow("wav floating point") << "tonof.wav"
                                            << "-r 22050 -c 1 -e floating-point -b 32";
        QTest::newRow("flac") << "tono.flac"
                              << "-r 44100 -c 1 -b 16";
    }
    void playsTheGreetingOnce() {
        QFETCH(QString, name);
        QFETCH(QString, format);
        QVERIFY2(m_pulse.isRunning(), "the test sound server did not start");
        const QString tone = m_dir.filePath(name);
        QVERIFY(TestMedia::makeTone(tone, 0.6, 880, format));
        QCOMPARE(WaveSound::read(tone).has_value(), name.endsWith(QLatin1String(".wav")));
        QtSoundPlayer sound;
        // Twice, the way the next customer gets it: each time one sound, as long as the tone (its end
        // is not cut off when the last samples have gone to the server).
        for (int customer = 0; customer < 2; ++customer) {
            QVERIFY(m_pulse.startRecording());
            QTest::qWait(300);
            QVERIFY(sound.play(tone) && sound.playing());
            QTRY_VERIFY_WITH_TIMEOUT(!sound.playing(), 5000);
            QTest::qWait(300);
            const TestMedia::Loudness loud(m_pulse.stopRecording());
            QCOMPARE(loud.onsetsMs().size(), 1);
            const auto loudWindows =
                std::count_if(loud.rms.begin(), loud.rms.end(), [](double v) { return v > 0.1; });
            QVERIFY2(loudWindows >= 11 && loudWindows <= 16, qPrintable(QString::number(loudWindows)));
        }
        sound.play(tone);
        sound.stop();
        QVERIFY(!sound.playing());
    }

    // A file that cannot play, missing or not a sound, never stays "playing": that would silence
    // every later greeting.
    void filesThatCannotPlay() {
        QFile notASound(m_dir.filePath(QStringLiteral("malo.mp3")));
        QVERIFY(notASound.open(QIODevice::WriteOnly) && notASound.write("esto no es un sonido") > 0);
        notASound.close();
        for (const QString& path : {m_dir.filePath(QStringLiteral("borrado.mp3")), notASound.fileName()}) {
            QtSoundPlayer sound;
            QCOMPARE(sound.play(path), path == notASound.fileName());
            QTRY_VERIFY_WITH_TIMEOUT(!sound.playing(), 5000);
        }
    }
};

QTEST_MAIN(TestSoundDevice)
#include "TestSoundDevice.moc"
