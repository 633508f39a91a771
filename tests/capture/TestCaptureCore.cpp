// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraChoice.h"
#include "capture/DemoSource.h"
#include "capture/MotionDetector.h"
#include "capture/SnapshotWriter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The camera choice file, the demo scene as the detector sees it, and the snapshots.
class TestCaptureCore : public QObject {
    Q_OBJECT

private slots:
    void choiceFile_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QSize>("resolution");
        QTest::addRow("camera with format")
            << "source=camera\r\ndevice=/dev/video2\r\nname=Cámara USB\r\nsize=640x480\r\nfps=30\r\n"
            << int(CameraChoice::Kind::Camera) << "/dev/video2" << QSize(640, 480);
        QTest::addRow("demo") << "source=demo\r\n" << int(CameraChoice::Kind::Demo) << "" << QSize();
        QTest::addRow("no file: the system's camera")
            << QString() << int(CameraChoice::Kind::SystemDefault) << "" << QSize();
        QTest::addRow("unknown source: the system's camera")
            << "source=satellite\n"
            << int(CameraChoice::Kind::SystemDefault) << "" << QSize();
        QTest::addRow("garbage: the system's camera")
            << "\x01\x02 not a choice" << int(CameraChoice::Kind::SystemDefault) << "" << QSize();
        QTest::addRow("file without a file: the system's camera")
            << "source=file\n"
            << int(CameraChoice::Kind::SystemDefault) << "" << QSize();
        QTest::addRow("absurd size ignored") << "source=camera\ndevice=x\nsize=99999x-3\n"
                                             << int(CameraChoice::Kind::Camera) << "x" << QSize();
    }

    void choiceFile() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, device);
        QFETCH(QSize, resolution);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Pregonar.CAM"));
        QFile file(path);
        if (!text.isNull()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text.toUtf8());
            file.close();
        }
        const CameraChoice choice = CameraChoice::read(path);
        QCOMPARE(int(choice.kind), kind);
        QCOMPARE(choice.device, device);
        QCOMPARE(choice.resolution, resolution);
        // What is written reads back the same.
        QVERIFY(choice.write(path));
        QCOMPARE(CameraChoice::read(path), choice);
    }

    void cameraArgument() {
        QTemporaryDir dir;
        const QString clip = dir.filePath(QStringLiteral("tienda.avi"));
        QFile(clip).open(QIODevice::WriteOnly);
        QCOMPARE(int(CameraChoice::fromArgument(QStringLiteral("demo")).kind), int(CameraChoice::Kind::Demo));
        QCOMPARE(CameraChoice::fromArgument(clip).file, clip);
        const CameraChoice named = CameraChoice::fromArgument(QStringLiteral("Cámara USB"));
        QCOMPARE(int(named.kind), int(CameraChoice::Kind::Camera));
        QCOMPARE(named.name, QStringLiteral("Cámara USB"));
    }

    // At the design sliders and a 100 ms tick, the demo's walker is a customer and its sensor noise
    // is not.
    void demoSceneAtTheDesignSliders() {
        DemoScene scene;
        MotionDetector detector;
        int stillTriggers = 0;
        int walkTriggers = 0;
        for (qint64 ms = 0; ms < 2 * DemoScene::PeriodMs; ms += 100) {
            const std::optional<MotionResult> result = detector.process(scene.render(ms, quint32(ms)));
            QVERIFY(result);
            if (ms == 0)
                continue; // against an empty reference
            const bool walking =
                !DemoScene::figureAt(ms).isEmpty() || !DemoScene::figureAt(ms - 100).isEmpty();
            (walking ? walkTriggers : stillTriggers) += result->triggers ? 1 : 0;
        }
        QCOMPARE(stillTriggers, 0);
        QVERIFY2(walkTriggers >= 4, qPrintable(QString::number(walkTriggers)));
    }

    void snapshotsAtMostOneASecondAndTheNewestKept() {
        QTemporaryDir dir;
        SnapshotWriter writer(dir.path(), QStringLiteral("Fotos"), 3);
        QSignalSpy saved(&writer, &SnapshotWriter::saved);
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QDateTime start(QDate(2026, 12, 6), QTime(15, 30, 12, 250));
        QVERIFY(writer.offer(picture, start));
        QVERIFY(!writer.offer(picture, start.addMSecs(999)));
        for (int s = 1; s <= 4; ++s)
            QVERIFY(writer.offer(picture, start.addSecs(s)));
        writer.waitForWrites();
        QTRY_COMPARE(saved.size(), 5);
        QCOMPARE(saved.at(0).at(0).toString(), QStringLiteral("Fotos/Foto-20261206-153012-250.jpg"));
        const QStringList kept =
            QDir(dir.filePath(QStringLiteral("Fotos"))).entryList(QDir::Files, QDir::Name);
        QCOMPARE(kept, (QStringList{QStringLiteral("Foto-20261206-153014-250.jpg"),
                                    QStringLiteral("Foto-20261206-153015-250.jpg"),
                                    QStringLiteral("Foto-20261206-153016-250.jpg")}));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("Fotos/") + kept.last())).size(), QSize(320, 240));
    }
};

QTEST_GUILESS_MAIN(TestCaptureCore)
#include "TestCaptureCore.moc"
