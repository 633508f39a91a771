// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerLayout.h"
#include "banner/Rounding.h"
#include "banner/TextMeasure.h"

#include <QTest>

namespace {
// Hand-workable metrics: every line is TextHeight high and 301 twips per character wide (odd, so
// that centring hits .5).
struct FakeMeasure final : TextMeasure {
    double height = 735;
    double textHeight(const QString&) const override { return height; }
    double textWidth(const QString& line) const override { return 301.0 * line.size(); }
};
const QString TenLines = QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
} // namespace

class TestBannerLayout : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        for (auto [v, r] : {std::pair{0.5, 0},
                            {1.5, 2},
                            {2.5, 2},
                            {-0.5, 0},
                            {-1.5, -2},
                            {-2.5, -2},
                            {2.4999, 2},
                            {2.5001, 3},
                            {127.49999999999999, 127}})
            QTest::addRow("%g", v) << v << r;
    }
    void roundsHalfToEven() {
        QFETCH(double, value);
        QTEST(roundHalfEven(value), "rounded");
    }

    void geometry_data() {
        QTest::addColumn<double>("textHeight");
        QTest::addColumn<QList<int>>(
            "expected"); // VisibleLines, LineHeight, TopFadeEnd, BottomFadeStart, FadeLength
        // 4590/735 + 1 = 7.24 -> 7; TopFadeEnd = 918 - 735 + 700 = 883;
        // BottomFadeStart = 4590 - 883 - 2 x 735 + 700 = 2937; FadeLength = 4590 - 725 - 2937 = 928.
        QTest::addRow("735") << 735.0 << QList<int>{7, 735, 883, 2937, 928};
        // 4590/612 + 1 = 8.5 -> 8 (even); 918 - 612 + 700 = 1006; 4590 - 1006 - 1224 + 700 = 3060.
        QTest::addRow("612") << 612.0 << QList<int>{8, 612, 1006, 3060, 928};
        // LineHeight 637.5 -> 638 (even); 4590/637.5 + 1 = 8.2 -> 8; 918 - 638 + 700 = 980;
        // 4590 - 980 - 1276 + 700 = 3034; 4590 - 628 - 3034 = 928.
        QTest::addRow("637.5") << 637.5 << QList<int>{8, 638, 980, 3034, 928};
    }
    void geometry() {
        QFETCH(double, textHeight);
        QFETCH(QList<int>, expected);
        FakeMeasure m;
        m.height = textHeight;
        BannerLayout b(m, [] { return 0.0; });
        b.layOut(QStringLiteral("Hola"), true);
        QCOMPARE((QList<int>{b.visibleLines(), b.lineHeight(), b.topFadeEnd(), b.bottomFadeStart(),
                             b.fadeLength()}),
                 expected);
        QCOMPARE(b.topFactor(), 100.0 / expected[2]);
        QCOMPARE(b.bottomFactor(), 100.0 / expected[4]);
    }

    void padding_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("detection");
        QTest::addColumn<int>("lineCount"); // elements - 1: 6 leading + message lines + 8 or 1
        QTest::addRow("short, detecting") << "Hola" << true << 14;
        QTest::addRow("short, repeating") << "Hola" << false << 7;
        QTest::addRow("ten lines") << TenLines << true << 23;
        QTest::addRow("CR LF kept as one break") << "a\r\nb" << true << 15;
        QTest::addRow("empty, detecting") << "" << true << 14;
        QTest::addRow("empty, repeating") << "" << false << 7;
    }
    void padding() {
        QFETCH(QString, message);
        QFETCH(bool, detection);
        QFETCH(int, lineCount);
        FakeMeasure m;
        BannerLayout b(m);
        b.layOut(message, detection);
        QCOMPARE(b.lineCount(), lineCount);
        QCOMPARE(b.lines().size(), lineCount + 1);
        const QStringList body = QString(message).replace("\r\n", "\n").split('\n');
        QCOMPARE(b.lines().mid(6, body.size()), body);
        QCOMPARE(b.lines().join(QString()), body.join(QString()));
    }

    void lineX_data() {
        QTest::addColumn<int>("slider");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("x");
        const QString wide(50, 'W'); // 15050 twips, wider than 13560
        QTest::addRow("left") << 0 << "Hola" << 100;
        QTest::addRow("centre") << 1 << "Hola" << 6178;    // (13560 - 1204) / 2
        QTest::addRow("centre .5") << 1 << "abc" << 6328;  // (13560 - 903) / 2 = 6328.5
        QTest::addRow("right") << 2 << "Hola" << 12256;    // 13560 - 1204 - 100
        QTest::addRow("right, empty") << 2 << "" << 13460; // 13560 - 0 - 100
        QTest::addRow("left, wide") << 0 << wide << 100;
        QTest::addRow("centre, wide") << 1 << wide << -745; // (13560 - 15050) / 2
        QTest::addRow("right, wide") << 2 << wide << -1590; // 13560 - 15050 - 100
    }
    void lineX() {
        QFETCH(int, slider);
        QFETCH(QString, line);
        FakeMeasure m;
        BannerLayout b(m);
        QVERIFY(b.setAlignmentFromSlider(slider));
        QCOMPARE(b.alignment(), slider + 1);
        b.layOut(line, true);
        QTEST(b.lineX(6), "x");
    }

    void alignmentIgnoresOtherValues() {
        FakeMeasure m;
        BannerLayout b(m);
        QVERIFY(b.setAlignmentFromSlider(2));
        QVERIFY(!b.setAlignmentFromSlider(3));
        QVERIFY(!b.setAlignmentFromSlider(-1));
        QCOMPARE(b.alignment(), 3);
    }

    void colour_data() {
        QTest::addColumn<double>("random");
        QTest::addColumn<quint32>("base");
        QTest::addColumn<quint32>("middle"); // Ramp(50): 255 / 100 x 50 = 127.49999999999999 -> 127
        QTest::addRow("yellow") << 0.3333 << quint32(0x0000FFFF) << quint32(0x00007F7F);
        QTest::addRow("green") << 0.34 << quint32(0x0000FF00) << quint32(0x00007F00);
        QTest::addRow("cyan") << 0.9999 << quint32(0x00FFFF00) << quint32(0x007F7F00);
    }
    void colour() {
        QFETCH(double, random);
        QFETCH(quint32, base);
        FakeMeasure m;
        BannerLayout b(m, [random] { return random; });
        b.layOut(QStringLiteral("Hola"), true);
        QCOMPARE(b.baseColour(), base);
        QCOMPARE(b.ramp()[0], BgrColour::Black);
        QCOMPARE(b.ramp()[100], base);
        QTEST(b.ramp()[50], "middle");
        QCOMPARE(b.ramp()[10] & 0xFF, base & 0xFF ? 26u : 0u); // 2.55 x 10 = 25.5 -> 26 (even)
    }

    void bgrToQColor() {
        QCOMPARE(BgrColour::toQColor(0x00FFC0C0), QColor(0xC0, 0xC0, 0xFF));
        QCOMPARE(BgrColour::toQRgb(0x00123456), qRgb(0x56, 0x34, 0x12));
    }

    void fadeBands_data() {
        // LineHeight 735: TopFadeEnd 883, BottomFadeStart 2937, FadeLength 928; -1 is BaseColour.
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("index");
        QTest::addRow("above the area") << -500 << 0; // -56.6, clamped
        QTest::addRow("top edge") << 0 << 0;
        QTest::addRow("top band") << 735 << 83;      // 735 x 100 / 883 = 83.24
        QTest::addRow("top band end") << 882 << 100; // 99.89
        QTest::addRow("middle from TopFadeEnd") << 883 << -1;
        QTest::addRow("middle up to BottomFadeStart") << 2937 << -1;
        QTest::addRow("bottom band start") << 2938 << 100;  // 927 x 100 / 928 = 99.89
        QTest::addRow("bottom band .5") << 3749 << 12;      // 116 x 100 / 928 = 12.5
        QTest::addRow("bottom band, clamped") << 4000 << 0; // -135 x 100 / 928 = -14.5
        QTest::addRow("below the area") << 4590 << -1;
    }
    void fadeBands() {
        QFETCH(int, y);
        QFETCH(int, index);
        FakeMeasure m;
        BannerLayout b(m);
        b.layOut(QStringLiteral("Hola"), true);
        QCOMPARE(b.rampIndexAt(y).value_or(-1), index);
        QCOMPARE(b.colourAt(y), index < 0 ? b.baseColour() : b.ramp()[index]);
    }

    void tickStops_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("ticks");
        // Speed > LineHeight: one line per tick, FirstLine = tick number. 7 lines drawn, k up to
        // FirstLine + 7; it stops when that is LineCount - 1.
        QTest::addRow("short") << "Hola" << 1000 << 6; // 6 + 7 = 13 = 14 - 1
        QTest::addRow("empty") << "" << 1000 << 6;
        QTest::addRow("ten lines") << TenLines << 1000 << 15; // 15 + 7 = 22 = 23 - 1
        // Speed = LineHeight: -735 is not below -735, so two ticks per line.
        QTest::addRow("speed = LineHeight") << "Hola" << 735 << 12;
        // Speed 100: -800 at the 8th tick, so 8 ticks per line.
        QTest::addRow("slow") << "Hola" << 100 << 48;
    }
    void tickStops() {
        QFETCH(QString, message);
        QFETCH(int, speed);
        QFETCH(int, ticks);
        FakeMeasure m;
        BannerLayout b(m);
        b.setSpeed(speed);
        b.layOut(message, true);
        for (int t = 1; t < ticks; ++t)
            QVERIFY2(!b.tick(true).stop, qPrintable(QString::number(t)));
        const BannerLayout::Tick last = b.tick(true);
        QVERIFY(last.stop);
        QCOMPARE(last.lines.back().index, b.lineCount() - 1);
        QCOMPARE(b.topY(), 0);
        QCOMPARE(b.firstLine(), 0);
        QVERIFY(!b.tick(true).stop); // the next start scrolls from the top again
    }

    void tickAdvancesOneLinePerTickAndRepeats() {
        FakeMeasure m;
        BannerLayout b(m);
        b.setAlignmentFromSlider(2);
        b.setSpeed(1000);
        b.layOut(QStringLiteral("Hola"), false);
        for (int t = 1; t <= 30; ++t) {
            const BannerLayout::Tick tick = b.tick(false);
            QVERIFY(!tick.stop);
            QCOMPARE(b.firstLine(), t % 7); // LineCount 7: FirstLine wraps after 6
            QCOMPARE(b.topY(), 0);
            QCOMPARE(tick.lines.size(), 7u);
            for (int i = 0; i < 7; ++i) {
                const int k = (t % 7 + i + 1) % 7;
                QCOMPARE(tick.lines[i].index, k);
                QCOMPARE(tick.lines[i].x, k == 6 ? 12256 : 13460);
                QCOMPARE(tick.lines[i].y, i * 735);
                QCOMPARE(tick.lines[i].colour, b.colourAt(i * 735));
            }
        }
    }

    void speedTakesEffectAtNextTick() {
        FakeMeasure m;
        BannerLayout b(m);
        b.layOut(QStringLiteral("Hola"), true);
        b.setSpeed(100);
        b.tick(true);
        b.setSpeed(30);
        QCOMPARE(b.tick(true).lines.front().y, -130);
    }

    void startLaysOutAgainOnlyOnChange() {
        FakeMeasure m;
        double random = 0.0;
        BannerLayout b(m, [&random] { return random; });
        QVERIFY(b.layOutIfChanged(QStringLiteral("Hola"), true));
        random = 0.9; // the colour is chosen once
        b.tick(true);
        QVERIFY(!b.layOutIfChanged(QStringLiteral("Hola"), true));
        QCOMPARE(b.topY(), -35); // a stop and start resumes where the text stood
        b.setAlignmentFromSlider(1);
        QVERIFY(b.layOutIfChanged(QStringLiteral("Hola"), true));
        QCOMPARE(b.topY(), 0);
        QCOMPARE(b.lineX(6), 6178);
        QVERIFY(b.layOutIfChanged(QStringLiteral("Adiós"), true));
        QVERIFY(b.layOutIfChanged(QStringLiteral("Adiós"), false));
        QCOMPARE(b.baseColour(), BgrColour::Yellow);
    }

    void tickBeforeLayoutDrawsNothing() {
        FakeMeasure m;
        BannerLayout b(m);
        const BannerLayout::Tick tick = b.tick(true);
        QVERIFY(tick.lines.empty());
        QVERIFY(!tick.stop);
    }
};

QTEST_GUILESS_MAIN(TestBannerLayout)
#include "TestBannerLayout.moc"
