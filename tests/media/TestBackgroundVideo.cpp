// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"
#include "fakes/TestMedia.h"
#include "media/BackgroundVideo.h"
#include "media/VideoLength.h"
#include "platform/VideoPlayer.h"

#include <QBuffer>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

// The background video on real clips made by ffmpeg: detection stops while it plays, it ends half a
// second before its last frame (at its last frame when the file does not say how long it is), and a
// file that cannot be played ends at once instead of holding the display.
class TestBackgroundVideo : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

    // Three seconds of test picture, made by ffmpeg in the media folder with these output arguments.
    bool make(const QString& arguments) {
        return TestMedia::run("sh -c", {QStringLiteral("cd '%1' && ffmpeg -v error -y -f lavfi -i "
                                                       "testsrc=size=160x120:rate=25:duration=3 %2")
                                            .arg(m_media.path(), arguments)});
    }

private slots:
    void initTestCase() {
        QVERIFY(make("-c:v mpeg4 normal.mp4"));
        QVERIFY(make("-c:v mpeg4 -g 10 -movflags frag_keyframe+empty_moov grabado.mp4"));
        QVERIFY(make("-c:v libvpx -deadline realtime normal.webm"));
        // Written as a stream, as a live recorder or a streaming server does: the file cannot be gone
        // back to for its length.
        QVERIFY(make("-c:v libvpx -deadline realtime -f webm - > emitido.webm"));
        QFile text(m_media.filePath("roto.mp4"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("esto no es un video\n") > 0);
    }

    void playsUntilItsEnd_data() {
        QTest::addColumn<QString>("file");
        // Where the video stands when it ends; both 0 for a file that cannot be played. A file that
        // ends before 3 s (or is not a video) says how long it is in its header.
        QTest::addColumn<double>("endsAfter");
        QTest::addColumn<double>("endsBefore");
        // Half a second before the end of a file that says how long it is.
        QTest::addRow("mp4") << QStringLiteral("normal.mp4") << 2.3 << 2.75;
        QTest::addRow("webm") << QStringLiteral("normal.webm") << 2.3 << 2.75;
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
        const QString path = file.isEmpty() ? QString() : m_media.filePath(file);
        QCOMPARE(videoStatesItsLength(path), endsBefore < 3);
        // Cut anywhere, a header is never read past its end (run under AddressSanitizer).
        QFile whole(path);
        const QByteArray head = whole.open(QIODevice::ReadOnly) ? whole.read(2048) : QByteArray();
        for (qsizetype cut = 0; cut < head.size(); cut += 7) {
            QBuffer part;
            part.setData(head.left(cut));
            part.open(QIODevice::ReadOnly);
            videoStatesItsLength(part);
        }

        BackgroundVideo video([] { return false; });
        QSignalSpy finished(&video, &BackgroundVideo::finished);
        video.play(path);
        VideoPlayer* player = video.player();
        QVERIFY(player->isVisible() && player->fullScreen()); // the panel is away

        double lastPosition = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (finished.isEmpty())
                    lastPosition = player->position();
                return !finished.isEmpty();
            },
            10000);
        QVERIFY2(ended, "the video never ended");
        QVERIFY2(lastPosition >= endsAfter && lastPosition <= endsBefore,
                 qPrintable(QString::number(lastPosition)));
        video.stop();
        QVERIFY(!player->isVisible() && player->file().isEmpty());
    }

    // While the panel is back over the show the video plays on beside it, full screen again once the
    // panel goes; the show's stop ends the video at once, without holding detection off.
    void windowedWhileThePanelIsBack() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        f.choose(ControlPanel::Video, m_media.filePath("normal.mp4")); // switches detection on too
        panel.clickButton(ControlPanel::Advertising);
        panel.shop().answerCustomer();
        VideoPlayer* player = panel.video().player();
        QTRY_VERIFY(player->position() > 0.1);
        panel.shop().autoHideTimer().setInterval(600);
        QTest::keyClick(player, Qt::Key_Escape);
        QVERIFY(panel.isVisible() && panel.shop().autoHideTimer().isActive());
        QTRY_VERIFY(player->position() > 0.4);
        QVERIFY(panel.isVisible() && !player->fullScreen() && player->geometry().width() < screen.width());
        QTRY_VERIFY(!panel.isVisible());
        QTRY_VERIFY(player->fullScreen());
        QCOMPARE(player->geometry(), screen);
        panel.clickButton(ControlPanel::Advertising);
        QVERIFY(!panel.video().playing() && !player->isVisible());
        QVERIFY(panel.shop().detectorRunning() && !panel.shop().holdingOff());
    }
};

QTEST_MAIN(TestBackgroundVideo)
#include "TestBackgroundVideo.moc"
