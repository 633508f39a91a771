// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/MotionDetector.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr QRgb Black = 0xff000000, White = 0xffffffff, Red = 0xffff0000, Figure = 0xff0ae6fa;

QImage filled(QRgb colour, QSize size = {320, 240}) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// White at the first grid points of the 320x240 view in reading order: (3, 3), (12, 3), ... (318, 237).
QImage withWhitePoints(int count) {
    QImage picture = filled(Black);
    for (int i = 0; i < count; ++i)
        picture.setPixel(3 + 9 * (i % 36), 3 + 9 * (i / 36), White);
    return picture;
}

} // namespace

class TestMotionDetector : public QObject {
    Q_OBJECT
private slots:
    void colorDistance_data() {
        QTest::addColumn<qint32>("c1");
        QTest::addColumn<qint32>("c2");
        QTest::addColumn<int>("slider");
        QTest::addColumn<bool>("distinct");
        QTest::addRow("same colour") << 0x123456 << 0x123456 << 50 << false;
        QTest::addRow("red by T at 20") << 0x000000 << 0x00009b << 20 << false;
        QTest::addRow("red by T+1 at 20") << 0x000000 << 0x00009c << 20 << true;
        QTest::addRow("blue by T+1 at 50") << 0x060000 << 0x000000 << 50 << true;
        QTest::addRow("T 255 at 0") << 0x000000 << 0x0000ff << 0 << false;
        QTest::addRow("3-4-5 is distance 5") << 0x000403 << 0x000000 << 50 << false;
        QTest::addRow("outside is red -1") << -1 << 0x000004 << 50 << false;
        QTest::addRow("outside is red -1, T+1") << -1 << 0x000005 << 50 << true;
        QTest::addRow("green down by T+1 at 50") << 0x80ff80 << 0x80f980 << 50 << true;
    }
    void colorDistance() {
        QFETCH(qint32, c1);
        QFETCH(qint32, c2);
        QFETCH(int, slider);
        QFETCH(bool, distinct);
        QCOMPARE(colorsDiffer(c1, c2, slider), distinct);
        QCOMPARE(colorsDiffer(c2, c1, slider), distinct);
        if (c1 < 0)
            return;
        // The fast walk over whole frames must draw the line exactly where colorsDiffer does.
        const auto rgb = [](qint32 c) { return qRgb(c & 0xff, c >> 8 & 0xff, c >> 16); };
        MotionDetector detector(Sliders::Movement.designValue, slider);
        detector.setReference(filled(rgb(c1)));
        QCOMPARE(detector.process(filled(rgb(c2)))->changedPoints, distinct ? 972 : 0);
    }

    void levelAndTrigger_data() {
        QTest::addColumn<int>("movement");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("changed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("watchedRows"); // from the top; the others are ignored
        QTest::addColumn<bool>("triggers");
        QTest::addRow("identical, both at top")
            << 50 << 50 << 0 << "AutoMensaje NIVEL 100 (100)" << 27 << true;
        QTest::addRow("identical, colour below top")
            << 50 << 49 << 0 << "AutoMensaje NIVEL 100 (100)" << 27 << false;
        QTest::addRow("identical, movement below top")
            << 49 << 50 << 0 << "AutoMensaje NIVEL 99 (100)" << 27 << false;
        QTest::addRow("0: 465") << 0 << 20 << 465 << "AutoMensaje NIVEL 50 (49)" << 27 << true;
        QTest::addRow("0: 464") << 0 << 20 << 464 << "AutoMensaje NIVEL 50 (50)" << 27 << false;
        QTest::addRow("50: 10") << 50 << 20 << 10 << "AutoMensaje NIVEL 100 (99)" << 27 << true;
        QTest::addRow("50: 9") << 50 << 20 << 9 << "AutoMensaje NIVEL 100 (100)" << 27 << false;
        QTest::addRow("every point") << 35 << 20 << 972 << "AutoMensaje NIVEL 85 (-6)" << 27 << true;
        QTest::addRow("every watched point") << 35 << 20 << 972 << "AutoMensaje NIVEL 85 (-6)" << 9 << true;
    }
    void levelAndTrigger() {
        QFETCH(int, movement);
        QFETCH(int, color);
        QFETCH(int, changed);
        QFETCH(int, watchedRows);
        MotionDetector detector(movement, color);
        ZoneMask zones;
        zones.setIgnored(QRect(0, watchedRows, 36, 27), true);
        detector.setZones(zones);
        detector.setReference(filled(Black));
        const auto result = detector.process(withWhitePoints(changed));
        QVERIFY(result);
        changed = std::min(changed, 36 * watchedRows);
        QCOMPARE(result->changedPoints, changed);
        QCOMPARE(detector.view().pixel(318, 237) == Red, changed == 972); // no dot where ignored
        QTEST(result->text, "text");
        QTEST(result->triggers, "triggers");
        QCOMPARE(result->presence, changed ? 100 : 0); // the reference is the empty scene too
    }

    // A generated clip, two ticks a second: a noisy grey scene whose light rises by so much a minute, a
    // figure stepping in (+) and out (-) for so many seconds, s a screen flickering in a corner (S: ignored
    // there), L the light up by a third (l: not ignored), D down by a quarter, R the camera on again
    // elsewhere. Seen per step: P a picture kept (with the figure), T answered, L light changed, . nothing.
    void generatedClips_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<int>("scene");
        QTest::addColumn<int>("lightPerMinute");
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("seen");
        QTest::addRow("light rising over a minute, visits")
            << "-20 +3 -20 +3 -20" << 40 << 120 << 20 << ".PTPT";
        QTest::addRow("standing still for 20 s") << "-4 +20 -4 +3 -4" << 40 << 0 << 20 << ".PTPT";
        QTest::addRow("camera on again elsewhere") << "-4 +3 -4 R -4 +3 -4" << 40 << 0 << 20 << ".PT.PT";
        QTest::addRow("screen watched") << "-4s +3s -4s" << 40 << 0 << 20 << "PPP";
        QTest::addRow("screen ignored") << "-4S +3S -4S" << 40 << 0 << 20 << ".PT";
        QTest::addRow("light up, filtered") << "-4 -4L +3 -4" << 144 << 0 << 35 << ".LPT";
        QTest::addRow("light down, filtered") << "-4 -4D -4" << 192 << 0 << 35 << ".L.";
        QTest::addRow("light up, not filtered") << "-4 -4l -4" << 144 << 0 << 35 << ".P.";
        QTest::addRow("visit in rising light") << "-10 +3 -4" << 120 << 120 << 35 << ".PT";
    }
    void generatedClips() {
        QFETCH(QString, clip);
        QFETCH(int, scene);
        QFETCH(int, lightPerMinute);
        QFETCH(int, color);
        MotionDetector detector(Sliders::Movement.designValue, color);
        detector.setTickInterval(500);
        QVERIFY(detector.ignoresLightChanges()); // unless switched off
        detector.setIgnoreLightChanges(!clip.contains('l'));
        ZoneMask zones;
        zones.setIgnored(QRect(0, 0, 11, 17), clip.contains('S'));
        detector.setZones(zones);
        detector.restart();
        QRandomGenerator noise(14);
        int tick = 0;
        QString seen;
        for (const QString& step : clip.split(' ')) {
            if (step == "R") {
                detector.restart();
                scene = 180;
                continue;
            }
            if (step.contains('L', Qt::CaseInsensitive) || step.contains('D'))
                scene = step.contains('D') ? scene * 3 / 4 : scene * 4 / 3;
            int outcome = 0; // the most seen in the step, of ".LTP"
            for (int i = 0; i < 2 * std::abs(std::atoi(qPrintable(step))); ++i, ++tick) {
                const int light = scene + lightPerMinute * tick / 120;
                QImage frame = filled(qRgb(light, light + 10, light + 20));
                for (int y = 3; y < 240; y += 9)
                    for (int x = 3; x < 320; x += 9)
                        frame.setPixel(x, y,
                                       step[0] == '+' && QRect(100, 40, 120, 200).contains(x, y) ? Figure
                                       : step.contains('s', Qt::CaseInsensitive) && x < 96 && y < 150
                                           ? (tick % 2 ? White : Black)
                                           : frame.pixel(x, y) + noise.bounded(40) * 0x10101);
                const auto result = detector.process(frame);
                QCOMPARE(result->statusLine().contains("Cambio de luz"), result->lightChange);
                if (result->keepsSnapshot() && step[0] == '+')
                    QCOMPARE(detector.reference().pixel(165, 120), Figure); // without its red dot
                outcome = std::max(
                    {outcome, 3 * result->keepsSnapshot(), 2 * result->triggers, +result->lightChange});
            }
            seen += QStringLiteral(".LTP")[outcome];
        }
        QTEST(seen, "seen");
    }

    void dotsOnlyAtChangedPoints() {
        QImage frame = filled(0xff204060);
        const QList<QPoint> changed{{3, 3}, {318, 3}, {165, 120}, {318, 237}};
        for (QPoint p : changed)
            frame.setPixel(p, White);
        frame.setPixel(4, 3, White); // between grid points: never looked at
        frame.setPixel(319, 239, White);

        MotionDetector detector;
        detector.setReference(filled(0xff204060));
        QCOMPARE(detector.process(frame)->changedPoints, changed.size());
        QImage expected = frame;
        for (QPoint p : changed)
            expected.setPixel(p, Red);
        QCOMPARE(detector.view(), expected);
        QCOMPARE(detector.reference(), frame);
        QCOMPARE(detector.previousFrame(), filled(0xff204060));
    }

    void unusableFramesLeaveTheReference() {
        MotionDetector detector;
        detector.setReference(withWhitePoints(300));
        QVERIFY(!detector.process(QImage()));
        QVERIFY(!detector.process(FrameView{}));
        QCOMPARE(detector.process(filled(Black))->changedPoints, 300);
    }

    void pictureSizes_data() {
        QTest::addColumn<QImage>("live");
        QTest::addColumn<QImage>("reference");
        QTest::addColumn<int>("changed");
        // No reference yet: everything is compared with -1, so black passes and white counts.
        QTest::addRow("no reference, black") << filled(Black) << QImage() << 0;
        QTest::addRow("no reference, white") << filled(White) << QImage() << 972;
        // The grid runs to three times the live picture: a larger reference is read out there. Red 155
        // is T from black, T + 1 from the -1 read outside a picture: only the outside points count.
        QTest::addRow("small live") << filled(Black, {100, 100}) << filled(0xff9b0000) << 918 - 121;
        QTest::addRow("small reference") << filled(0xff9b0000) << filled(Black, {100, 100}) << 972 - 121;
        QTest::addRow("one pixel") << filled(White, {1, 1}) << filled(White) << 1;
    }
    void pictureSizes() {
        QFETCH(QImage, live);
        QFETCH(QImage, reference);
        QTEST(compareFrames(live, reference, 20), "changed");
    }
};

QTEST_GUILESS_MAIN(TestMotionDetector)
#include "TestMotionDetector.moc"
