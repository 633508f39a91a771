// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/TestMedia.h"
#include "platform/QtSoundPlayer.h"

#include <QTest>

// The greeting's sound device against a real sound server whose null sink the test records.
class TestSoundDevice : public QObject {
    Q_OBJECT

    TestMedia::PulseNullSink m_pulse; // started before, ended after every test
    QTemporaryDir m_dir;

private slots:
    void playsTheGreetingOnce() {
        QVERIFY2(m_pulse.isRunning(), "the test sound server did not start");
        const QString tone = m_dir.filePath(QStringLiteral("tono.wav"));
        QVERIFY(TestMedia::makeTone(tone, 0.6));
        QtSoundPlayer sound;
        // Twice, the way the next customer gets it: each time one sound, about as long as the tone.
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
            QVERIFY2(loudWindows >= 8 && loudWindows <= 16, qPrintable(QString::number(loudWindows)));
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
