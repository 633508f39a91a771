// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraDialog.h"
#include "fakes/RecordingDesktop.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The camera set-up dialog: every source can be chosen, and what it gives back is what was chosen.
class TestCameraDialog : public QObject {
    Q_OBJECT

    const QList<CameraInfo> m_cameras{
        {QStringLiteral("/dev/video0"), QStringLiteral("Cámara integrada"), true, {{QSize(640, 480), 30}}},
        {QStringLiteral("/dev/video2"),
         QStringLiteral("Cámara USB"),
         false,
         {{QSize(320, 240), 30}, {QSize(1280, 720), 10}}},
    };

private slots:
    void choices() {
        RecordingDialogs dialogs;
        CameraChoice current;
        current.kind = CameraChoice::Kind::Camera;
        current.device = QStringLiteral("/dev/video2");
        current.name = QStringLiteral("Cámara USB");
        current.resolution = QSize(1280, 720);
        CameraDialog dialog(current, m_cameras, &dialogs, QStringLiteral("/tienda/Videos"));
        // The stored camera and format come back selected.
        QCOMPARE(dialog.sourceBox()->currentText(), QStringLiteral("Cámara USB"));
        QCOMPARE(dialog.formatBox()->currentData().toSize(), QSize(1280, 720));
        QCOMPARE(dialog.choice(), current);

        dialog.sourceBox()->setCurrentIndex(0);
        QCOMPARE(int(dialog.choice().kind), int(CameraChoice::Kind::SystemDefault));
        QVERIFY(!dialog.formatBox()->isEnabled());

        dialog.sourceBox()->setCurrentIndex(3);
        QCOMPARE(int(dialog.choice().kind), int(CameraChoice::Kind::Demo));

        // A video file: chosen through the file dialog; a cancelled one leaves the list where it was.
        dialogs.nextFiles = {QString()};
        dialog.sourceBox()->setCurrentIndex(4);
        QCOMPARE(dialog.sourceBox()->currentIndex(), 3);
        dialogs.nextFiles = {QStringLiteral("/tienda/Videos/entrada.avi")};
        dialog.sourceBox()->setCurrentIndex(4);
        QCOMPARE(dialogs.fileFolders.last(), QStringLiteral("/tienda/Videos"));
        QCOMPARE(dialog.choice().file, QStringLiteral("/tienda/Videos/entrada.avi"));
        QCOMPARE(int(dialog.choice().kind), int(CameraChoice::Kind::File));

        // A network camera: only an address a camera can have is accepted, and it is kept.
        const auto okButton = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        dialog.sourceBox()->setCurrentIndex(5);
        dialog.urlEdit()->setText(QStringLiteral("camara de la puerta"));
        QVERIFY(!okButton->isEnabled());
        dialog.urlEdit()->setText(QStringLiteral("http://10.0.0.5:8080/video.mjpg"));
        QVERIFY(okButton->isEnabled());
        const CameraChoice network = dialog.choice();
        QCOMPARE(network.url, QStringLiteral("http://10.0.0.5:8080/video.mjpg"));
        CameraDialog again(network, m_cameras, &dialogs, QString());
        QCOMPARE(again.choice(), network);
    }

    // The saved camera is found again by id or by name; an unplugged one stays the choice, so that
    // Aceptar does not overwrite it with the system's camera.
    void savedCamera_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("present"); // how many of the two cameras are plugged in
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("chosenDevice");
        QTest::addRow("plugged in") << "/dev/video2" << 2 << "Cámara USB"
                                    << "/dev/video2";
        QTest::addRow("back under another id") << "/dev/video4" << 2 << "Cámara USB"
                                               << "/dev/video2";
        QTest::addRow("unplugged, no camera at all") << "/dev/video2" << 0 << "Cámara USB (no conectada)"
                                                     << "/dev/video2";
        QTest::addRow("unplugged, another camera there") << "/dev/video2" << 1 << "Cámara USB (no conectada)"
                                                         << "/dev/video2";
    }

    void savedCamera() {
        QFETCH(QString, device);
        QFETCH(int, present);
        QFETCH(QString, shown);
        QFETCH(QString, chosenDevice);
        CameraChoice saved;
        saved.kind = CameraChoice::Kind::Camera;
        saved.device = device;
        saved.name = QStringLiteral("Cámara USB");
        saved.resolution = QSize(320, 240);
        CameraDialog dialog(saved, m_cameras.mid(0, present), nullptr, QString());
        QCOMPARE(dialog.sourceBox()->currentText(), shown);
        QCOMPARE(dialog.formatBox()->currentData().toSize(), QSize(320, 240));
        CameraChoice expected = saved;
        expected.device = chosenDevice;
        QCOMPARE(dialog.choice(), expected);
        // The demo, a file and a network camera are still there, and picking another source is taken.
        QCOMPARE(dialog.sourceBox()->itemText(dialog.sourceBox()->count() - 3),
                 QStringLiteral("Escena de demostración"));
        dialog.sourceBox()->setCurrentIndex(0);
        QCOMPARE(int(dialog.choice().kind), int(CameraChoice::Kind::SystemDefault));
    }
};

QTEST_MAIN(TestCameraDialog)
#include "TestCameraDialog.moc"
