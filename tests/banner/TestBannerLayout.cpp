// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerLayout.h"
#include "banner/Rounding.h"
#include "banner/TextMeasure.h"

#include <QTest>

namespace {
// Hand-workable metrics: lines 735 twips high (TopFadeEnd 883, BottomFadeStart 2937, FadeLength 928,
// 7 visible lines), 301 twips a character wide (odd, so centring hits .5).
struct FakeMeasure final : TextMeasure {
    double height = 735;
    double textHeight(const QString&) const override { return height; }
    double textWidth(const QString& line) const override { return 301.0 * line.size(); }
};
} // namespace

class TestBannerLayout : public QObject {
    Q_OBJECT
    FakeMeasure m;
    BannerLayout laidOut(const QString& message, bool detection = true, int speed = 35, int slider = 0) {
        BannerLayout b(m, [] { return 0.0; });
        b.setSpeed(speed);
        b.setAlignmentFromSlider(slider);
        b.layOut(message, detection);
        return b;
    }

private slots:
    void roundsHalfToEven() { // on both sides of zero, and no help from the floating-point rounding mode
        for (auto [v, r] : {std::pair{-0.5, 0}, {-1.5, -2}, {0.5, 0}, {1.5, 2}})
            QCOMPARE(roundHalfEven(v), r);
    }

    // VisibleLines, LineHeight, TopFadeEnd, BottomFadeStart, FadeLength; the last height is the others'.
    // 612: 4590/612 + 1 = 8.5 -> 8 (even); 918 - 612 + 700 = 1006; 4590 - 1006 - 1224 + 700 = 3060.
    // 637.5: LineHeight 637.5 -> 638 (even); 4590/637.5 + 1 = 8.2 -> 8; 918 - 638 + 700 = 980.
    // Then the ramp index by y (-1: BaseColour): -500 gives -56.6, clamped; 882 x 100 / 883 = 99.89;
    // the middle runs from TopFadeEnd to BottomFadeStart; then 927 x 100 / 928 = 99.89, 116 x 100 /
    // 928 = 12.5 and -135 x 100 / 928 = -14.5, clamped; below the area, the middle colour again.
    void geometryAndFadeBands() {
        using Row = std::pair<double, QList<int>>;
        for (const auto& [height, expected] :
             {Row{612, {8, 612, 1006, 3060, 928}}, Row{637.5, {8, 638, 980, 3034, 928}},
              Row{735, {7, 735, 883, 2937, 928}}}) {
            m.height = height;
            const BannerLayout b = laidOut("Hola");
            QCOMPARE((QList<int>{b.visibleLines(), b.lineHeight(), b.topFadeEnd(), b.bottomFadeStart(),
                                 b.fadeLength()}),
                     expected);
        }
        const BannerLayout b = laidOut("Hola");
        const std::pair<int, int> bands[] = {{-500, 0},   {882, 100}, {883, -1}, {2937, -1},
                                             {2938, 100}, {3749, 12}, {4000, 0}, {4590, -1}};
        for (auto [y, index] : bands) {
            QCOMPARE(b.rampIndexAt(y).value_or(-1), index);
            QCOMPARE(b.colourAt(y), index < 0 ? b.baseColour() : b.ramp()[index]);
        }
    }

    // 13560 twips to lay out in: centred, (13560 - 903) / 2 = 6328.5; right, 13560 - 15050 - 100 for a
    // line wider than that; sliders 3 and -1 change nothing.
    void lineX() {
        const QString wide(50, 'W');
        using Row = std::tuple<int, QString, int>; // slider, line, x
        for (const auto& [slider, line, x] : {Row{0, "Hola", 100}, Row{1, "abc", 6328}, Row{2, wide, -1590},
                                              Row{3, wide, 100}, Row{-1, wide, 100}})
            QCOMPARE(laidOut(line, true, 35, slider).lineX(6), x);
    }

    // Yellow, green and cyan; Ramp(50) is 255 / 100 x 50 = 127.49999999999999 -> 127 in each channel
    // the colour lights.
    void colour() {
        for (auto [random, base] :
             {std::pair{0.3333, 0x0000FFFFu}, {0.34, 0x0000FF00u}, {0.9999, 0x00FFFF00u}}) {
            BannerLayout b(m, [random] { return random; });
            b.layOut("Hola", true);
            // Green is on in all three: Ramp(10) has 2.55 x 10 = 25.5 -> 26 of it.
            QCOMPARE((QList<quint32>{b.baseColour(), b.ramp()[0], b.ramp()[10] & 0xFF00, b.ramp()[50],
                                     b.ramp()[100]}),
                     (QList<quint32>{base, 0, 0x1A00, base / 0xFF * 0x7F, base}));
        }
        QCOMPARE(BgrColour::toQColor(0x00FFC0C0), QColor(0xC0, 0xC0, 0xFF));
    }

    // LineCount: 6 leading breaks + the message's lines + 8 trailing ones. Speed > LineHeight: one line
    // per tick, FirstLine = tick number; 7 lines drawn, k up to FirstLine + 7; it stops when that is
    // LineCount - 1: 6 + 7 = 13 = 14 - 1, 15 + 7 = 22 = 23 - 1. Speed = LineHeight: -735 is not below
    // -735, so two ticks per line.
    void tickStops() {
        using Row = std::tuple<QString, int, int>; // message, speed, ticks
        for (const auto& [message, speed, ticks] :
             {Row{"Hola", 1000, 6}, Row{QString(9, '\n'), 1000, 15}, Row{"Hola", 735, 12}}) {
            BannerLayout b = laidOut(message, true, speed);
            for (int t = 1; t < ticks; ++t)
                QVERIFY2(!b.tick(true).stop, qPrintable(QString::number(t)));
            QVERIFY(b.tick(true).stop);
            QCOMPARE(QList<int>({b.topY(), b.firstLine()}), QList<int>({0, 0}));
        }
    }

    void tickRepeatsWithoutDetection() {
        BannerLayout b = laidOut("Hola", false, 1000, 2); // LineCount 7, "Hola" is line 6
        for (int t = 1; t <= 30; ++t) {
            const BannerLayout::Tick tick = b.tick(false);
            QCOMPARE(QList<int>({tick.stop, b.firstLine(), b.topY(), int(tick.lines.size())}),
                     QList<int>({false, t % 7, 0, 7}));
            for (int i = 0, k = (t + 1) % 7; i < 7; ++i, k = (k + 1) % 7)
                QCOMPARE((QList<qint64>{tick.lines[i].index, tick.lines[i].x, tick.lines[i].y,
                                        tick.lines[i].colour}),
                         (QList<qint64>{k, k == 6 ? 12256 : 13460, i * 735, b.colourAt(i * 735)}));
        }
    }

    void startLaysOutAgainOnlyOnChange() {
        double random = 0.0;
        BannerLayout b(m, [&random] { return random; });
        b.setSpeed(100);
        QVERIFY(b.layOutIfChanged("Hola", true));
        random = 0.9; // the colour is chosen once
        b.tick(true);
        QVERIFY(!b.layOutIfChanged("Hola", true));
        b.setSpeed(30); // at the next tick, without a new layout
        b.tick(true);
        QCOMPARE(b.topY(), -130); // a stop and start resumes where the text stood
        b.setAlignmentFromSlider(1);
        QVERIFY(b.layOutIfChanged("Hola", true));
        QCOMPARE(QList<int>({b.topY(), b.lineX(6)}), QList<int>({0, 6178}));
        for (const auto& [message, detection] :
             {std::pair{"Adiós", true}, {"Adiós", false}, {"a\r\nb", false}})
            QVERIFY(b.layOutIfChanged(message, detection)); // CR LF is one break
        QCOMPARE(b.lines().mid(5, 4), QStringList({"", "a", "b", ""}));
        QCOMPARE(b.baseColour(), BgrColour::Yellow);
        QVERIFY(BannerLayout(m).tick(true).lines.empty()); // never laid out: nothing to draw
    }
};

QTEST_GUILESS_MAIN(TestBannerLayout)
#include "TestBannerLayout.moc"
