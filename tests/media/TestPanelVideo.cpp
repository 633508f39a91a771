// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"
#include "media/BackgroundVideo.h"
#include "media/VideoLength.h"
#include "platform/VideoPlayer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

// The background video on real clips: detection stops while it plays, it ends half a second before
// its last frame (at its last frame when the file does not say how long it is), and a file that
// cannot be played ends at once instead of holding the display.
class TestPanelVideo : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_clip; // three seconds, made by the test

    static QRect screenArea() { return QGuiApplication::primaryScreen()->geometry(); }

    // The panel with detection on, the video chosen and advertising hiding the panel: the moment
    // a customer is seen.
    static ControlPanel& readyToPlay(PanelFixture& f, const QString& video) {
        ControlPanel& panel = *f.panel;
        if (video.isEmpty()) {
            panel.clickButton(ControlPanel::Detection);
        } else {
            f.choose(ControlPanel::Video, video); // switches detection on too
        }
        panel.hide();
        return panel;
    }

    // The show starts and a customer comes: the video plays.
    static void answerWithTheVideo(ControlPanel& panel) {
        panel.clickButton(ControlPanel::Advertising);
        panel.shop().answerCustomer();
        QVERIFY(panel.video().playing());
    }

    // Three seconds of test picture, made by ffmpeg; `toPipe`: written as a stream, as a live
    // recorder or a streaming server does, so the file cannot be gone back to for its length.
    bool makeWithFfmpeg(const QString& name, const QStringList& output, bool toPipe = false) {
        QProcess ffmpeg;
        ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString path = QDir(m_media.path()).filePath(name);
        if (toPipe) {
            ffmpeg.setStandardOutputFile(path);
        }
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                 QStringLiteral("testsrc=size=160x120:rate=25:duration=3")} +
                         output + QStringList{toPipe ? QStringLiteral("pipe:1") : path});
        return ffmpeg.waitForFinished(30000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
               ffmpeg.exitCode() == 0;
    }

private slots:
    void initTestCase() {
        m_clip = QDir(m_media.path()).filePath(QStringLiteral("promo.ogv"));
        QProcess gst;
        gst.start(QStringLiteral("gst-launch-1.0"),
                  {QStringLiteral("-q"), QStringLiteral("videotestsrc"), QStringLiteral("num-buffers=90"),
                   QStringLiteral("!"), QStringLiteral("video/x-raw,width=160,height=120,framerate=30/1"),
                   QStringLiteral("!"), QStringLiteral("theoraenc"), QStringLiteral("!"),
                   QStringLiteral("oggmux"), QStringLiteral("!"), QStringLiteral("filesink"),
                   QStringLiteral("location=") + m_clip});
        QVERIFY2(gst.waitForFinished(30000) && gst.exitCode() == 0, "gst-launch-1.0 could not make the clip");
        const QString mpeg4 = QStringLiteral("mpeg4");
        QVERIFY(makeWithFfmpeg(QStringLiteral("normal.mp4"), {QStringLiteral("-c:v"), mpeg4}));
        QVERIFY(makeWithFfmpeg(QStringLiteral("grabado.mp4"),
                               {QStringLiteral("-c:v"), mpeg4, QStringLiteral("-g"), QStringLiteral("10"),
                                QStringLiteral("-movflags"), QStringLiteral("frag_keyframe+empty_moov"),
                                QStringLiteral("-f"), QStringLiteral("mp4")}));
        QVERIFY(makeWithFfmpeg(QStringLiteral("normal.webm"),
                               {QStringLiteral("-c:v"), QStringLiteral("libvpx"), QStringLiteral("-deadline"),
                                QStringLiteral("realtime")}));
        QVERIFY(makeWithFfmpeg(QStringLiteral("emitido.webm"),
                               {QStringLiteral("-c:v"), QStringLiteral("libvpx"), QStringLiteral("-deadline"),
                                QStringLiteral("realtime"), QStringLiteral("-f"), QStringLiteral("webm")},
                               true));
        QFile text(QDir(m_media.path()).filePath(QStringLiteral("roto.mp4")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("esto no es un video\n");
    }

    void knowsWhichFilesStateTheirLength_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("stated");
        QTest::addRow("ogg") << QStringLiteral("promo.ogv") << true;
        QTest::addRow("mp4") << QStringLiteral("normal.mp4") << true;
        QTest::addRow("fragmented mp4") << QStringLiteral("grabado.mp4") << false;
        QTest::addRow("webm") << QStringLiteral("normal.webm") << true;
        QTest::addRow("webm stream") << QStringLiteral("emitido.webm") << false;
        QTest::addRow("not a video") << QStringLiteral("roto.mp4") << true;
    }

    void knowsWhichFilesStateTheirLength() {
        QFETCH(QString, file);
        QFETCH(bool, stated);
        QFile video(QDir(m_media.path()).filePath(file));
        QVERIFY(video.open(QIODevice::ReadOnly));
        const QByteArray bytes = video.readAll();
        QCOMPARE(videoStatesItsLength(video.fileName()), stated);
        // Cut anywhere, a header is never read past its end (run under AddressSanitizer).
        for (qsizetype cut = 0; cut < std::min<qsizetype>(bytes.size(), 2048); cut += 7) {
            QBuffer part;
            part.setData(bytes.left(cut));
            part.open(QIODevice::ReadOnly);
            videoStatesItsLength(part);
        }
    }

    void playsUntilItsEnd_data() {
        QTest::addColumn<QString>("file");
        // Where the video stands when it ends; both 0 for a file that cannot be played.
        QTest::addColumn<double>("endsAfter");
        QTest::addColumn<double>("endsBefore");
        // Half a second before the end of a file that says how long it is.
        QTest::addRow("clip") << QStringLiteral("promo.ogv") << 2.3 << 2.9;
        // Files that do not: the player's guess is too short; they play to their last picture.
        QTest::addRow("fragmented mp4") << QStringLiteral("grabado.mp4") << 2.7 << 3.5;
        QTest::addRow("webm stream") << QStringLiteral("emitido.webm") << 2.7 << 3.5;
        QTest::addRow("text file named .mp4") << QStringLiteral("roto.mp4") << 0.0 << 0.0;
        QTest::addRow("missing file") << QStringLiteral("borrado.mp4") << 0.0 << 0.0;
        QTest::addRow("no video chosen") << QString() << 0.0 << 0.0;
    }

    void playsUntilItsEnd() {
        QFETCH(QString, file);
        QFETCH(double, endsAfter);
        QFETCH(double, endsBefore);
        BackgroundVideo video([] { return false; });
        QSignalSpy finished(&video, &BackgroundVideo::finished);
        video.play(file.isEmpty() ? QString() : QDir(m_media.path()).filePath(file));
        VideoPlayer* player = video.player();
        QVERIFY(player->isVisible());
        QVERIFY(player->fullScreen()); // the panel is away

        double lastPosition = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (!finished.isEmpty()) {
                    return true;
                }
                lastPosition = player->position();
                return false;
            },
            10000);
        QVERIFY2(ended, "the video never ended");
        QVERIFY2(lastPosition >= endsAfter && lastPosition <= endsBefore,
                 qPrintable(QString::number(lastPosition)));
        video.stop();
        QVERIFY(!player->isVisible());
        QVERIFY(player->file().isEmpty());
    }

    void fullScreenOnlyWhileThePanelIsAway() {
        PanelFixture f;
        ControlPanel& panel = readyToPlay(f, m_clip);
        answerWithTheVideo(panel);
        VideoPlayer* player = panel.video().player();
        QTRY_VERIFY(player->position() > 0.1);
        QVERIFY(player->fullScreen());
        QCOMPARE(player->geometry(), screenArea());

        // Escape: the panel comes back and will go again; the video plays on in a window.
        panel.shop().autoHideTimer().setInterval(600);
        QTest::keyClick(player, Qt::Key_Escape);
        QVERIFY(panel.isVisible());
        QVERIFY(panel.shop().autoHideTimer().isActive());
        const double atEscape = player->position();
        QTRY_VERIFY(player->position() > atEscape + 0.3);
        QVERIFY(panel.isVisible());
        QVERIFY(!player->fullScreen());
        QVERIFY(player->geometry().width() < screenArea().width());
        QVERIFY(panel.video().playing());

        QTRY_VERIFY(!panel.isVisible());
        QTRY_VERIFY(player->fullScreen());
        QCOMPARE(player->geometry(), screenArea());
    }

    void stoppingAdvertisingStopsTheVideo() {
        PanelFixture f;
        ControlPanel& panel = readyToPlay(f, m_clip);
        answerWithTheVideo(panel);
        QTRY_VERIFY(panel.video().player()->position() > 0.1);
        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!panel.video().playing());
        QVERIFY(!panel.video().player()->isVisible());
        QVERIFY(panel.shop().detectorRunning());
        QVERIFY(!panel.shop().holdingOff()); // a stop is not an answer: no hold-off
    }
};

QTEST_MAIN(TestPanelVideo)
#include "TestPanelVideo.moc"
