// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraDialog.h"
#include "fakes/RecordingDesktop.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Choices are written with designated initialisers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// The camera set-up dialog: every source can be chosen, and what it gives back is what was chosen.
class TestCameraDialog : public QObject {
    Q_OBJECT

    const QList<CameraInfo> m_cameras{
        {"/dev/video0", "Cámara integrada", true, {{QSize(640, 480), 30}}},
        {"/dev/video2", "Cámara USB", false, {{QSize(320, 240), 30}, {QSize(1280, 720), 10}}},
    };
    static CameraChoice usbCamera(const QString& device) {
        return {.kind = CameraChoice::Kind::Camera,
                .device = device,
                .name = "Cámara USB",
                .resolution = {1280, 720}};
    }

private slots:
    void choices() {
        RecordingDialogs dialogs;
        CameraDialog dialog(usbCamera("/dev/video2"), m_cameras, &dialogs, "/tienda/Videos");
        dialog.sourceBox()->setCurrentIndex(0);
        QCOMPARE(dialog.choice(), CameraChoice{});
        QVERIFY(!dialog.formatBox()->isEnabled());

        // A video file: chosen through the file dialog; a cancelled one leaves the list where it was.
        dialogs.nextFiles = {QString()};
        dialog.sourceBox()->setCurrentIndex(4);
        QCOMPARE(dialog.sourceBox()->currentIndex(), 0);
        dialogs.nextFiles = {"/tienda/Videos/entrada.avi"};
        dialog.sourceBox()->setCurrentIndex(4);
        QCOMPARE(dialogs.fileFolders.last(), "/tienda/Videos");
        QCOMPARE(dialog.choice(),
                 (CameraChoice{.kind = CameraChoice::Kind::File, .file = "/tienda/Videos/entrada.avi"}));

        // A network camera: only an address a camera can have is accepted, and it is kept.
        const auto okButton = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        dialog.sourceBox()->setCurrentIndex(5);
        dialog.urlEdit()->setText("camara de la puerta");
        QVERIFY(!okButton->isEnabled());
        dialog.urlEdit()->setText("http://10.0.0.5:8080/video.mjpg");
        QVERIFY(okButton->isEnabled());
        const CameraChoice network = dialog.choice();
        QCOMPARE(network.url, "http://10.0.0.5:8080/video.mjpg");
        QCOMPARE(CameraDialog(network, m_cameras, &dialogs, QString()).choice(), network);
    }

    // The saved camera and its format come back selected; the camera is found again by id or by name.
    // An unplugged one stays the choice, so that Aceptar does not overwrite it with the system's camera,
    // until another source is picked.
    void savedCamera_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("present"); // how many of the two cameras are plugged in
        QTest::addColumn<QString>("shown");
        QTest::addRow("plugged in") << "/dev/video2" << 2 << "Cámara USB";
        QTest::addRow("back under another id") << "/dev/video4" << 2 << "Cámara USB";
        QTest::addRow("unplugged, no camera at all") << "/dev/video2" << 0 << "Cámara USB (no conectada)";
        QTest::addRow("unplugged, another camera there") << "/dev/video2" << 1 << "Cámara USB (no conectada)";
    }
    void savedCamera() {
        QFETCH(QString, device);
        QFETCH(int, present);
        CameraDialog dialog(usbCamera(device), m_cameras.mid(0, present), nullptr, QString());
        QTEST(dialog.sourceBox()->currentText(), "shown");
        QCOMPARE(dialog.formatBox()->currentData().toSize(), QSize(1280, 720));
        QCOMPARE(dialog.choice(), usbCamera("/dev/video2"));
        dialog.sourceBox()->setCurrentIndex(dialog.sourceBox()->count() - 3);
        QCOMPARE(dialog.choice(), CameraChoice{.kind = CameraChoice::Kind::Demo});
    }
};

QTEST_MAIN(TestCameraDialog)
#include "TestCameraDialog.moc"
