// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/PanelFixture.h"
#include "platform/VideoPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTest>

// The background video on a real clip: detection stops while it plays, it ends half a second before
// its last frame, and a file that cannot be played ends at once instead of holding the display.
class TestPanelVideo : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_clip; // three seconds, made by the test

    static QRect screenArea() { return QGuiApplication::primaryScreen()->geometry(); }

    // The panel with detection on, the video chosen and advertising hiding the panel: the moment
    // a customer is seen.
    static Form1& readyToPlay(PanelFixture& f, const QString& video) {
        Form1& panel = *f.panel;
        if (video.isEmpty()) {
            panel.PctBoton_Click(Form1::Deteccion);
        } else {
            f.choose(Form1::Video, video); // switches detection on too
        }
        panel.hide();
        return panel;
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
        QFile text(QDir(m_media.path()).filePath(QStringLiteral("roto.mp4")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("esto no es un video\n");
    }

    void playsUntilItsEnd_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("playable");
        QTest::addRow("clip") << QStringLiteral("promo.ogv") << true;
        QTest::addRow("text file named .mp4") << QStringLiteral("roto.mp4") << false;
        QTest::addRow("missing file") << QStringLiteral("borrado.mp4") << false;
        QTest::addRow("no video chosen") << QString() << false;
    }

    void playsUntilItsEnd() {
        QFETCH(QString, file);
        QFETCH(bool, playable);
        PanelFixture f;
        Form1& panel = readyToPlay(f, file.isEmpty() ? QString() : QDir(m_media.path()).filePath(file));
        QVERIFY(panel.tmrReloj().isActive());

        panel.IniciarVideo();
        VideoPlayer* player = panel.mplayer();
        QVERIFY(!panel.tmrReloj().isActive());
        QVERIFY(player->isVisible());
        QVERIFY(panel.tmrVideoPlay().isActive());

        double duration = 0;
        double lastPosition = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (!panel.tmrVideoPlay().isActive()) {
                    return true;
                }
                duration = player->currentMedia().duration();
                lastPosition = player->controls().currentPosition();
                return false;
            },
            10000);
        QVERIFY2(ended, "the video never ended");
        if (playable) {
            QCOMPARE(duration, 3.0);
            // Stopped in the last half second, not at the end of the file.
            QVERIFY2(lastPosition > 2.3 && lastPosition < 2.9, qPrintable(QString::number(lastPosition)));
        } else {
            QCOMPARE(lastPosition, 0.0);
        }
        QVERIFY(!player->isVisible());
        QVERIFY(player->URL().isEmpty());
        QVERIFY(panel.tmrAutoOFF().isActive());
        QVERIFY(panel.tmrReloj().isActive());
    }

    void fullScreenOnlyWhileThePanelIsAway() {
        PanelFixture f;
        Form1& panel = readyToPlay(f, m_clip);
        panel.IniciarVideo();
        VideoPlayer* player = panel.mplayer();
        QTRY_VERIFY(player->controls().currentPosition() > 0.1);
        QVERIFY(player->fullScreen());
        QCOMPARE(player->geometry(), screenArea());

        // Escape: the panel comes back and will go again; the video plays on in a window.
        panel.tmrAutoHide().setInterval(600);
        QTest::keyClick(player, Qt::Key_Escape);
        QVERIFY(panel.isVisible());
        QVERIFY(panel.tmrAutoHide().isActive());
        const double atEscape = player->controls().currentPosition();
        QTRY_VERIFY(player->controls().currentPosition() > atEscape + 0.3);
        QVERIFY(panel.isVisible());
        QVERIFY(!player->fullScreen());
        QVERIFY(player->geometry().width() < screenArea().width());
        QVERIFY(panel.tmrVideoPlay().isActive());

        QTRY_VERIFY(!panel.isVisible());
        QTRY_VERIFY(player->fullScreen());
        QCOMPARE(player->geometry(), screenArea());
    }

    void stoppingAdvertisingStopsTheVideo() {
        PanelFixture f;
        Form1& panel = readyToPlay(f, m_clip);
        panel.tmrReloj().stop();
        panel.DetenerVideo(); // nothing plays: detection stays off
        QVERIFY(!panel.tmrReloj().isActive());

        panel.PctBoton_Click(Form1::Publicidad);
        panel.IniciarVideo();
        QTRY_VERIFY(panel.mplayer()->controls().currentPosition() > 0.1);
        panel.PctBoton_Click(Form1::Publicidad);
        QVERIFY(!panel.tmrVideoPlay().isActive());
        QVERIFY(!panel.mplayer()->isVisible());
        QVERIFY(panel.tmrReloj().isActive());
        QVERIFY(!panel.tmrAutoOFF().isActive()); // a stop is not an answer: no hold-off
    }
};

QTEST_MAIN(TestPanelVideo)
#include "TestPanelVideo.moc"
