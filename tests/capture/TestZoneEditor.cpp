// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraDialog.h"
#include "capture/Capture.h"
#include "capture/ZoneEditor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// The camera dialog's ignored zones, drawn with the mouse on the 9-pixel cells of the grid, and its
// light switch.
class TestZoneEditor : public QObject {
    Q_OBJECT

    // Pregonar.MSK with the grid points of `ignored` marked.
    static QByteArray maskText(const QRect& ignored) {
        QByteArray text;
        for (int row = 0; row < ZoneMask::Rows; ++row) {
            for (int column = 0; column < ZoneMask::Columns; ++column)
                text += ignored.contains(column, row) ? 'x' : '.';
            text += "\r\n";
        }
        return text;
    }

private slots:
    void drawing_data() {
        QTest::addColumn<QRect>("before");        // ignored in Pregonar.MSK; null: no file
        QTest::addColumn<QList<QPoint>>("drags"); // press and release positions, in pairs
        QTest::addColumn<QString>("buttons");     // pressed at the end, joined by '+'
        QTest::addColumn<QRect>("after");         // ignored in the file; null with `before`: no file
        const QRect marked(QPoint(2, 3), QPoint(5, 6));
        QTest::addRow("drag marks") << QRect() << QList<QPoint>{{20, 30}, {50, 60}} << "Aceptar" << marked;
        QTest::addRow("drag up, out of the view") << QRect() << QList<QPoint>{{50, 60}, {400, -20}}
                                                  << "Aceptar" << QRect(QPoint(5, 0), QPoint(35, 6));
        QTest::addRow("drag from a marked point unmarks")
            << marked << QList<QPoint>{{50, 60}, {20, 40}} << "Aceptar" << QRect(QPoint(2, 3), QPoint(5, 3));
        QTest::addRow("click; twice unmarks")
            << QRect() << QList<QPoint>{{319, 239}, {319, 239}, {0, 0}, {0, 0}, {0, 0}, {0, 0}} << "Aceptar"
            << QRect(35, 26, 1, 1);
        QTest::addRow("Limpiar") << QRect(0, 0, 36, 27) << QList<QPoint>{} << "Limpiar+Aceptar" << QRect();
        QTest::addRow("Cancelar") << QRect() << QList<QPoint>{{20, 30}, {50, 60}} << "Cancelar" << QRect();
    }
    void drawing() {
        QFETCH(QRect, before);
        QFETCH(QList<QPoint>, drags);
        QFETCH(QString, buttons);
        QFETCH(QRect, after);
        QTemporaryDir dir;
        Capture capture(dir.path(), nullptr);
        QFile file(capture.zonesPath());
        if (!before.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(maskText(before)) && file.flush());
        CameraDialog dialog(CameraChoice{.kind = CameraChoice::Kind::Demo}, {}, nullptr, {});
        dialog.editZones(capture, QPixmap());
        dialog.show();
        dialog.zonesButton()->click();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ZoneEditor* editor = dialog.zoneEditor();
        for (qsizetype i = 0; i + 1 < drags.size(); i += 2) {
            QTest::mousePress(editor, Qt::LeftButton, {}, drags[i]);
            QTest::mouseMove(editor, (drags[i] + drags[i + 1]) / 2);
            QTest::mouseRelease(editor, Qt::LeftButton, {}, drags[i + 1]);
        }
        for (const QString& text : buttons.split('+'))
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->text() == text)
                    QTest::mouseClick(button, Qt::LeftButton);
        file.close();
        QCOMPARE(file.exists(), !before.isNull() || !after.isNull());
        if (file.exists()) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), maskText(after));
        }
        // The detector takes them at once.
        QCOMPARE(capture.detector().zones().toText(), maskText(buttons == "Cancelar" ? before : after));
    }

    // On unless switched off; only "off" adds a line, so Pregonar.CAM reads as before everywhere.
    void lightSwitch() {
        CameraDialog dialog(CameraChoice{.kind = CameraChoice::Kind::Demo}, {}, nullptr, {});
        QVERIFY(dialog.lightBox()->isChecked());
        QCOMPARE(dialog.choice().toText(), "source=demo\r\n");
        dialog.lightBox()->click();
        const CameraChoice off = dialog.choice();
        QCOMPARE(off.toText(), "source=demo\r\nlight=0\r\n");
        QVERIFY(!CameraDialog(off, {}, nullptr, {}).lightBox()->isChecked());
        Capture capture(QString(), nullptr);
        capture.setChoice(off);
        QVERIFY(!capture.detector().ignoresLightChanges());
    }
};

QTEST_MAIN(TestZoneEditor)
#include "TestZoneEditor.moc"
