// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraDialog.h"
#include "capture/Capture.h"
#include "capture/ZoneEditor.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The camera dialog: ignored zones drawn with the mouse on the grid's 9-pixel cells, and the light switch.
class TestZoneEditor : public QObject {
    Q_OBJECT
private slots:
    void drawing_data() {
        QTest::addColumn<QList<QLine>>("drags"); // from press to release, in the view
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QRect>("ignored"); // grid points, in Pregonar.MSK and the detector; none: no file
        QTest::addRow("drag marks") << QList<QLine>{{50, 60, 20, 30}} << "Aceptar" << QRect(2, 3, 4, 4);
        QTest::addRow("drag from marked unmarks")
            << QList<QLine>{{20, 30, 50, 60}, {50, 60, 20, 40}} << "Aceptar" << QRect(2, 3, 4, 1);
        QTest::addRow("Limpiar") << QList<QLine>{{2, 2, 99, 99}} << "Limpiar+Aceptar" << QRect();
        QTest::addRow("Cancelar") << QList<QLine>{{20, 30, 50, 60}} << "Cancelar" << QRect();
        QTest::addRow("light") << QList<QLine>{} << "Ignorar cambios de luz+Aceptar" << QRect();
    }
    void drawing() {
        QFETCH(QList<QLine>, drags);
        QFETCH(QString, buttons);
        QFETCH(QRect, ignored);
        QTemporaryDir dir;
        Capture capture(dir.path(), nullptr);
        CameraDialog dialog({}, {}, nullptr, {});
        dialog.editZones(capture, QPixmap());
        dialog.show();
        dialog.zonesButton()->click();
        for (const QLine& drag : drags) {
            QTest::mousePress(dialog.zoneEditor(), Qt::LeftButton, {}, drag.p1());
            QTest::mouseRelease(dialog.zoneEditor(), Qt::LeftButton, {}, drag.p2());
        }
        for (const QString& text : buttons.split('+'))
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                if (button->text() == text)
                    QTest::mouseClick(button, Qt::LeftButton);
        ZoneMask expected;
        expected.setIgnored(ignored, true);
        QCOMPARE(capture.detector().zones(), expected); // at once
        QFile file(capture.zonesPath());
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : "no file",
                 ignored.isNull() ? "no file" : expected.toText());
        // The light switch: on unless switched off, and the detector follows it.
        const bool lightIgnored = !buttons.contains("luz");
        capture.setChoice(dialog.choice());
        QCOMPARE(capture.detector().ignoresLightChanges(), lightIgnored);
        QCOMPARE(CameraDialog(dialog.choice(), {}, nullptr, {}).lightBox()->isChecked(), lightIgnored);
    }
};

QTEST_MAIN(TestZoneEditor)
#include "TestZoneEditor.moc"
