// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerLayout.h"
#include "banner/TextMeasure.h"

#include <QTest>

// The real font, under the offscreen platform: plausible sizes, twips that do not depend on the
// pixel density, and a layout that fits the text area.
class TestFontTextMeasure : public QObject {
    Q_OBJECT
private slots:
    void measuresInTwipsAndFits() {
        const FontTextMeasure at96(bannerFont(15), 15);
        const FontTextMeasure at192(bannerFont(7.5), 7.5);
        // 36 pt is 720 twips; a line with its leading is somewhat taller.
        QVERIFY(at96.textHeight("A") > 720 && at96.textHeight("A") < 1100);
        QVERIFY(qAbs(at96.textHeight("A") - at192.textHeight("A")) < 0.05 * at96.textHeight("A"));
        QVERIFY(qAbs(at96.textWidth("Hola") - at192.textWidth("Hola")) < 0.05 * at96.textWidth("Hola"));
        QCOMPARE(at96.textWidth(""), 0.0);
        QVERIFY(at96.textWidth("HolaHola") > 1.9 * at96.textWidth("Hola"));
        // The design area: 5 to 8 lines, a centred line inside it.
        BannerLayout b(at96);
        b.setAlignmentFromSlider(1);
        b.layOut(QStringLiteral("Ofertas de la semana"), true);
        QVERIFY(b.visibleLines() >= 5 && b.visibleLines() <= 8);
        QVERIFY(b.lineX(6) > 100 && b.lineX(6) < 6780);
    }
};

QTEST_MAIN(TestFontTextMeasure)
#include "TestFontTextMeasure.moc"
