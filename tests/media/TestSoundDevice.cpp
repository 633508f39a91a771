// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/TestMedia.h"
#include "platform/MediaMci.h"

#include <QTest>

// The greeting's sound device against a real sound server whose null sink the test records.
class TestSoundDevice : public QObject {
    Q_OBJECT

    std::unique_ptr<TestMedia::PulseNullSink> m_pulse;
    QTemporaryDir m_dir;
    QString m_tone;

    static QString open(const QString& path) { return QStringLiteral("open \"%1\" alias med").arg(path); }

private slots:
    void initTestCase() {
        m_pulse = std::make_unique<TestMedia::PulseNullSink>();
        QVERIFY2(m_pulse->isRunning(), "the test sound server did not start");
        m_tone = m_dir.filePath(QStringLiteral("tono.wav"));
        QVERIFY(TestMedia::makeTone(m_tone, 0.6));
    }

    void cleanupTestCase() { m_pulse.reset(); }

    void playsTheGreetingOnce() {
        MediaMci mci;
        // Twice, the way the next customer gets it: each time one sound, about as long as the tone.
        for (int customer = 0; customer < 2; ++customer) {
            QVERIFY(m_pulse->startRecording());
            QTest::qWait(300);
            QCOMPARE(mci.send(open(m_tone)), QStringLiteral("1"));
            QCOMPARE(mci.send(QStringLiteral("set med time format milliseconds")), QString());
            QCOMPARE(mci.send(QStringLiteral("status med mode")), QStringLiteral("stopped"));
            mci.send(QStringLiteral("play med"));
            QCOMPARE(mci.send(QStringLiteral("status med mode")), QStringLiteral("playing"));
            QTRY_COMPARE_WITH_TIMEOUT(mci.send(QStringLiteral("status med mode")), QStringLiteral("stopped"),
                                      5000);
            QTest::qWait(300);
            const TestMedia::Loudness loud = TestMedia::loudness(m_pulse->stopRecording());
            QCOMPARE(loud.onsetsMs().size(), 1);
            const auto loudWindows =
                std::count_if(loud.rms.begin(), loud.rms.end(), [](double v) { return v > 0.1; });
            QVERIFY2(loudWindows >= 8 && loudWindows <= 16, qPrintable(QString::number(loudWindows)));
        }
        // Closed: no device under the alias any more.
        mci.send(open(m_tone));
        mci.send(QStringLiteral("play med"));
        mci.send(QStringLiteral("close all"));
        QCOMPARE(mci.send(QStringLiteral("status med mode")), QString());
    }

    void filesThatCannotPlay_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("openReply");
        QTest::addRow("missing file") << QByteArray() << QString();
        QTest::addRow("not a sound") << QByteArray("esto no es un sonido") << QStringLiteral("1");
    }

    // A file that cannot play never stays "playing": that would silence every later greeting.
    void filesThatCannotPlay() {
        QFETCH(QByteArray, content);
        QFETCH(QString, openReply);
        const QString path = m_dir.filePath(QStringLiteral("malo.mp3"));
        QFile::remove(path);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        MediaMci mci;
        QCOMPARE(mci.send(open(path)), openReply);
        mci.send(QStringLiteral("play med"));
        QTRY_VERIFY_WITH_TIMEOUT(mci.send(QStringLiteral("status med mode")) != QLatin1String("playing"),
                                 5000);
    }

    void commandsItDoesNotKnow() {
        MediaMci mci;
        QCOMPARE(mci.send(QStringLiteral("status med mode")), QString()); // nothing open
        QCOMPARE(mci.send(QStringLiteral("open sin-comillas alias med")), QString());
        QCOMPARE(mci.send(QStringLiteral("eject med")), QString());
    }
};

QTEST_MAIN(TestSoundDevice)
#include "TestSoundDevice.moc"
