// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "ProgramSandbox.h"

#include "fakes/TestMedia.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"

#include <QDateTime>
#include <algorithm>
#include <csignal>

// The real program watching a clip in which a customer steps in at known times, greeting through a
// real sound server: heard after each entry, never while the shop is still, never twice within the
// hold-off.
class TestGreeting : public QObject {
    Q_OBJECT

    static constexpr int kFps = 10;
    static constexpr int kSeconds = 24;
    // Someone in front of the camera from..to, in seconds of the clip.
    static constexpr std::pair<double, double> kVisits[] = {{3.0, 5.0}, {6.0, 7.0}, {15.0, 17.0}};

    static bool someoneThere(double t) {
        return std::any_of(std::begin(kVisits), std::end(kVisits),
                           [t](const auto& v) { return t >= v.first && t < v.second; });
    }

private slots:
    void greetsEachCustomerOnce() {
        TestMedia::PulseNullSink pulse;
        QVERIFY2(pulse.isRunning(), "the test sound server did not start");
        ProgramSandbox box;
        const QString clip = box.path(QStringLiteral("tienda.avi"));
        QVERIFY(TestMedia::makeClip(clip, kFps * kSeconds, kFps, [](int i, QImage& picture) {
            picture.fill(QColor(205, 200, 190));
            QPainter p(&picture);
            p.fillRect(0, 170, 320, 70, QColor(140, 135, 130));
            p.fillRect(30, 40, 120, 10, QColor(110, 80, 50));
            if (someoneThere(double(i) / kFps)) {
                p.fillRect(90, 30, 150, 210, QColor(30, 35, 50));
            }
        }));
        QDir(box.work()).mkpath(QStringLiteral("Sonidos"));
        QVERIFY(TestMedia::makeTone(box.work(QStringLiteral("Sonidos/tono.wav")), 0.5));

        // Detection every 100 ms, greeting sounds and advertising on, as a shop leaves them.
        PanelRecord panel;
        panel.detectionOn = true;
        panel.soundsOn = true;
        panel.interval = 100;
        BannerRecord banner;
        banner.advertisingOn = true;
        banner.soundIndex = 0;
        QVERIFY(SettingsFile(box.work(QStringLiteral("Pregonar.DAT")))
                    .write({{1, encodePanelRecord(panel)}, {7, encodeBannerRecord(banner)}}));
        QFile(box.path(QStringLiteral("home/Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly);

        QVERIFY(pulse.startRecording());
        const QDateTime started = QDateTime::currentDateTime();
        QProcessEnvironment env = box.environment();
        env.insert(QStringLiteral("PULSE_SERVER"),
                   QStringLiteral("unix:") + pulse.runtimeFolder() + QStringLiteral("/pulse/native"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(box.work());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(PREGONAR_BINARY), {QStringLiteral("--camera"), clip});
        QVERIFY(program.waitForStarted());
        QTest::qWait(21000); // up to just before the clip starts again
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(10000));
        const TestMedia::Loudness loud = TestMedia::loudness(pulse.stopRecording());

        const QList<int> onsets = loud.onsetsMs();
        qInfo("greetings heard at %s ms after the start", qPrintable([&] {
                  QStringList s;
                  for (int ms : onsets) {
                      s << QString::number(ms);
                  }
                  return s.join(QStringLiteral(", "));
              }()));
        // The first and the third visit; the second falls in the seven seconds after the first.
        QCOMPARE(onsets.size(), 2);
        QVERIFY(onsets[0] >= 3000 && onsets[0] < 4500);
        QVERIFY(onsets[1] >= 15000 && onsets[1] < 16500);
        QVERIFY(qAbs((onsets[1] - onsets[0]) - 12000) < 400);

        // The pictures of the customers, each taken when the detector saw them: the greeting
        // follows within a few tenths of a second.
        const QStringList pictures =
            QDir(box.work(QStringLiteral("Fotos"))).entryList(QDir::Files, QDir::Name);
        QVERIFY(!pictures.isEmpty());
        const QDateTime firstPicture =
            QDateTime::fromString(pictures.first().mid(5, 19), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
        const qint64 toSound = onsets[0] - started.msecsTo(firstPicture);
        qInfo("detection to greeting heard: %lld ms", static_cast<long long>(toSound));
        // Generous for a loaded machine; the recording's start is known to within a few windows.
        QVERIFY2(toSound > -200 && toSound < 2000, qPrintable(QString::number(toSound)));
    }
};

QTEST_MAIN(TestGreeting)
#include "TestGreeting.moc"
