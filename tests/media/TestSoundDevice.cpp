// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/TestMedia.h"
#include "platform/QtSoundPlayer.h"

#include <QTest>

// The greeting's sound device against a real sound server whose null sink the test records.
class TestSoundDevice : public QObject {
    Q_OBJECT

    std::unique_ptr<TestMedia::PulseNullSink> m_pulse;
    QTemporaryDir m_dir;
    QString m_tone;

private slots:
    void initTestCase() {
        m_pulse = std::make_unique<TestMedia::PulseNullSink>();
        QVERIFY2(m_pulse->isRunning(), "the test sound server did not start");
        m_tone = m_dir.filePath(QStringLiteral("tono.wav"));
        QVERIFY(TestMedia::makeTone(m_tone, 0.6));
    }

    void cleanupTestCase() { m_pulse.reset(); }

    void playsTheGreetingOnce() {
        QtSoundPlayer sound;
        QVERIFY(!sound.playing());
        // Twice, the way the next customer gets it: each time one sound, about as long as the tone.
        for (int customer = 0; customer < 2; ++customer) {
            QVERIFY(m_pulse->startRecording());
            QTest::qWait(300);
            QVERIFY(sound.play(m_tone));
            QVERIFY(sound.playing());
            QTRY_VERIFY_WITH_TIMEOUT(!sound.playing(), 5000);
            QTest::qWait(300);
            const TestMedia::Loudness loud(m_pulse->stopRecording());
            QCOMPARE(loud.onsetsMs().size(), 1);
            const auto loudWindows =
                std::count_if(loud.rms.begin(), loud.rms.end(), [](double v) { return v > 0.1; });
            QVERIFY2(loudWindows >= 8 && loudWindows <= 16, qPrintable(QString::number(loudWindows)));
        }
        sound.play(m_tone);
        sound.stop();
        QVERIFY(!sound.playing());
    }

    void filesThatCannotPlay_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("opens");
        QTest::addRow("missing file") << QByteArray() << false;
        QTest::addRow("not a sound") << QByteArray("esto no es un sonido") << true;
    }

    // A file that cannot play never stays "playing": that would silence every later greeting.
    void filesThatCannotPlay() {
        QFETCH(QByteArray, content);
        QFETCH(bool, opens);
        const QString path = m_dir.filePath(QStringLiteral("malo.mp3"));
        QFile::remove(path);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QtSoundPlayer sound;
        QCOMPARE(sound.play(path), opens);
        QTRY_VERIFY_WITH_TIMEOUT(!sound.playing(), 5000);
    }
};

QTEST_MAIN(TestSoundDevice)
#include "TestSoundDevice.moc"
