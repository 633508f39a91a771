// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "app/PictureButton.h"
#include "app/ReadMe.h"
#include "capture/Capture.h"
#include "capture/LiveView.h"
#include "fakes/PanelFixture.h"
#include "platform/Dialogs.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SideFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The control panel's wiring: clicks, exclusions, hover, captions, start-up and close.
class TestPanel : public QObject {
    Q_OBJECT

    // A working folder that the test may fill before the panel starts.
    struct Fixture : PanelFixture {
        Fixture()
            : PanelFixture(NotStarted{}) {}
        ControlPanel& started() { return start(); }
    };

    static QString appearances(ControlPanel& panel) {
        QString s;
        for (int i = 0; i < 9; ++i) {
            s += QString::number(panel.button(i)->appearance());
        }
        return s;
    }

    static void click(ControlPanel& panel, int index) {
        QTest::mouseClick(panel.button(index), Qt::LeftButton);
    }

    // Two moves over a widget, as the pointer makes them: the second shows the hover.
    static void hoverTwice(ControlPanel& panel, QWidget* widget) {
        for (const QPoint at : {QPoint(5, 5), QPoint(6, 6)}) {
            QTest::mouseMove(panel.windowHandle(), widget->mapTo(&panel, at));
        }
    }

    static void moveOver(QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

private slots:
    // Each button reaches the shop and its state is drawn; the rules themselves are the shop's.
    void clicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected"); // Appearance of buttons 0..8
        QTest::addColumn<bool>("detecting");

        const QString video = QStringLiteral("/videos/promo.mp4");
        const QString image = QStringLiteral("/fondos/oferta.jpg");
        QTest::addRow("detection on") << QList<int>{0} << QStringList{} << "100000000" << true;
        QTest::addRow("image chosen") << QList<int>{1} << QStringList{image} << "010000000" << false;
        QTest::addRow("image dialog cancelled")
            << QList<int>{1} << QStringList{QString()} << "000000000" << false;
        QTest::addRow("sounds on") << QList<int>{3} << QStringList{} << "000010000" << false;
        QTest::addRow("message on") << QList<int>{6} << QStringList{} << "000000100" << false;
        QTest::addRow("video turns detection on")
            << QList<int>{8} << QStringList{video} << "100000001" << true;
        QTest::addRow("advertising with the message")
            << QList<int>{6, 7} << QStringList{} << "000000110" << false;
        QTest::addRow("advertising with detection and sounds")
            << QList<int>{0, 3, 7} << QStringList{} << "100010010" << true;
        QTest::addRow("advertising stopped") << QList<int>{6, 7, 7} << QStringList{} << "000000100" << false;
    }

    void clicks() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QFETCH(bool, detecting);
        Fixture f;
        ControlPanel& panel = f.started();
        f.dialogs.nextFiles = files;
        for (int index : clicks) {
            if (!panel.isVisible()) {
                panel.show(); // advertising hid the panel; the tray brings it back
            }
            click(panel, index);
        }
        QCOMPARE(appearances(panel), expected);
        QCOMPARE(panel.shop().detectorRunning(), detecting);
        for (int i : {0, 1, 6, 8}) {
            if (panel.button(i)->appearance()) {
                QCOMPARE(panel.button(i)->backColor(), Colors::On);
            }
        }
    }

    void fileChoicesAreKept() {
        Fixture f;
        ControlPanel& panel = f.started();
        f.dialogs.nextFiles = {QStringLiteral("/fondos/oferta.jpg"), QString(),
                               QStringLiteral("/videos/a.mp4")};
        click(panel, ControlPanel::Picture);
        QCOMPARE(f.dialogs.fileRequests.at(0).title, QStringLiteral("Seleccionar imagen"));
        QCOMPARE(f.dialogs.fileRequests.at(0).initialFolder, f.path(QStringLiteral("Fondos")));
        QCOMPARE(SideFiles::readPath(f.path(QStringLiteral("Pregonar.WPR"))).value_or(QString()),
                 QStringLiteral("/fondos/oferta.jpg"));
        // Off, then a cancelled choice: the stored path stays.
        click(panel, ControlPanel::Picture);
        click(panel, ControlPanel::Picture);
        QCOMPARE(panel.shop().picturePath(), QStringLiteral("/fondos/oferta.jpg"));
        QCOMPARE(SideFiles::readPath(f.path(QStringLiteral("Pregonar.WPR"))).value_or(QString()),
                 QStringLiteral("/fondos/oferta.jpg"));
        click(panel, ControlPanel::Video);
        QCOMPARE(f.dialogs.fileRequests.at(2).title, QStringLiteral("Seleccionar video"));
        QCOMPARE(f.dialogs.fileRequests.at(2).initialFolder, f.path(QStringLiteral("Videos")));
        QCOMPARE(SideFiles::readPath(f.path(QStringLiteral("Pregonar.VDO"))).value_or(QString()),
                 QStringLiteral("/videos/a.mp4"));
    }

    void soundSwitch() {
        Fixture f;
        QDir(f.dir.path()).mkpath(QStringLiteral("Sonidos"));
        for (const char* name : {"hola.mp3", "Bienvenido.WAV", "notas.txt"}) {
            QFile file(f.path(QStringLiteral("Sonidos/") + QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        ControlPanel& panel = f.started();
        click(panel, ControlPanel::SoundsOn);
        QVERIFY(panel.button(ControlPanel::SoundsOn)->isHidden());
        QVERIFY(!panel.button(ControlPanel::SoundsOff)->isHidden());
        QCOMPARE(panel.button(ControlPanel::SoundsOff)->tag(), QStringLiteral("1"));
        QVERIFY(!panel.soundList()->isHidden());
        QCOMPARE(panel.soundList()->count(), 2);
        QCOMPARE(panel.soundList()->item(0)->text(), QStringLiteral("Bienvenido.WAV"));
        click(panel, ControlPanel::SoundsOff);
        QVERIFY(!panel.button(ControlPanel::SoundsOn)->isHidden());
        QVERIFY(panel.button(ControlPanel::SoundsOff)->isHidden());
        QCOMPARE(panel.button(ControlPanel::SoundsOff)->tag(), QStringLiteral("0"));
        QVERIFY(panel.soundList()->isHidden());
    }

    void advertisingTakesThePanelAway() {
        Fixture f;
        ControlPanel& panel = f.started();
        click(panel, ControlPanel::Message);
        click(panel, ControlPanel::Advertising);
        QVERIFY(!panel.isVisible());
        QCOMPARE(panel.button(ControlPanel::Advertising)->backColor(), Colors::Hover);
        QVERIFY(panel.shop().messageShowing());
        QVERIFY(!panel.messageEdit()->isEnabled());
        QVERIFY(!panel.alignmentSlider()->isEnabled());
        for (int i : {0, 1, 2, 3, 4, 6, 8}) {
            QVERIFY2(!panel.button(i)->isEnabled(), qPrintable(QString::number(i)));
        }
        QVERIFY(panel.button(ControlPanel::Publish)->isEnabled());
        // Starting saved the state: the message and advertising switches are on in the file.
        const BannerRecord saved = decodeBannerRecord(SettingsFile(panel.settingsPath()).read(7));
        QVERIFY(saved.messageOn);
        QVERIFY(saved.advertisingOn);

        panel.showPanel();
        panel.shop().autoHideTimer().start();
        click(panel, ControlPanel::Advertising);
        QVERIFY(!panel.shop().autoHideTimer().isActive());
        QVERIFY(!panel.shop().messageShowing());
        QVERIFY(panel.messageEdit()->isEnabled());
        for (int i : {0, 1, 2, 3, 4, 6, 8}) {
            QVERIFY(panel.button(i)->isEnabled());
        }
    }

    void hover() {
        Fixture f;
        ControlPanel& panel = f.started();
        moveOver(panel.button(2));
        QCOMPARE(panel.button(2)->backColor(), Colors::Idle); // first event: only remembered
        moveOver(panel.button(2));
        QCOMPARE(panel.button(2)->backColor(), Colors::Hover);
        QCOMPARE(panel.hintLabel()->text(), QStringLiteral("Configurar Cámara Web"));
        moveOver(panel.button(5));
        QCOMPARE(panel.button(2)->backColor(), Colors::Idle);
        QCOMPARE(panel.button(5)->backColor(), Colors::Idle);
        moveOver(panel.button(5));
        QCOMPARE(panel.button(5)->backColor(), Colors::Hover);
        QCOMPARE(panel.hintLabel()->text(), QStringLiteral("Transferir Imágenes por Internet"));
        QVERIFY(panel.hintLabel()->styleSheet().contains(QStringLiteral("#ff0000")));

        // An on button keeps its colour and shows the "off" action; button 0 shows the camera help.
        click(panel, ControlPanel::Detection);
        moveOver(panel.button(0));
        moveOver(panel.button(0));
        QCOMPARE(panel.button(0)->backColor(), Colors::On);
        QCOMPARE(panel.hintLabel()->text(), QStringLiteral("Desactivar Detección de Movimiento"));
        QVERIFY(!panel.cameraHelpLink()->isHidden());

        moveOver(panel.liveView());
        QVERIFY(panel.cameraHelpLink()->isHidden());
        QVERIFY(panel.hintLabel()->text().contains(ControlPanel::restingHint()));
        QVERIFY(panel.hintLabel()->styleSheet().contains(QStringLiteral("#404040")));
    }

    void captions() {
        Fixture f;
        ControlPanel& panel = f.started();
        QCOMPARE(panel.sensorLabel(1)->text(), QStringLiteral("85%"));
        QCOMPARE(panel.sensorLabel(3)->text(), QStringLiteral("70%"));
        QCOMPARE(panel.sensorLabel(5)->text(), QStringLiteral("500 mseg"));
        QCOMPARE(panel.sensorLabel(8)->text(), QStringLiteral("AutoMensaje DESACTIVADO"));
        QCOMPARE(panel.sourceLabel()->text(), QStringLiteral("Fuente: Cámara predeterminada del sistema"));
        panel.sensorSlider(2)->setValue(1500);
        QCOMPARE(panel.sensorLabel(5)->text(), QStringLiteral("1500 mseg"));
        QCOMPARE(panel.capture().tickTimer().interval(), 1500);
        panel.speedSlider()->setValue(72);
        QCOMPARE(panel.sensorLabel(9)->text(), QStringLiteral("72%"));
        panel.alignmentSlider()->setValue(2);
        QCOMPARE(panel.sensorLabel(7)->text(), QStringLiteral("Derecha"));
        QCOMPARE(panel.messageEdit()->document()->defaultTextOption().alignment(), Qt::AlignRight);
        panel.alignmentSlider()->setValue(1);
        QCOMPARE(panel.sensorLabel(7)->text(), QStringLiteral("Centrar"));
    }

    // Folders, read-me lines and the launcher are checked on the real program; here what only the
    // panel shows: the welcome and the read-me once, the tray icon from start to close.
    void firstStart() {
        Fixture f;
        ControlPanel& panel = f.started();
        QCOMPARE(f.shell.openedFiles, QStringList{f.path(QString::fromUtf16(ReadMe::kFileName))});
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.at(0).title, QStringLiteral("Pregonar - BIENVENIDO"));
        QCOMPARE(f.tray.tip, QStringLiteral(" Pregonar 4.12 "));
        QCOMPARE(panel.messageEdit()->toPlainText(), QStringLiteral("ESCRIBIR MENSAJE AQUI..."));
        panel.close();
        QVERIFY(panel.isUnloaded());
        QVERIFY(!f.tray.shown);

        f.started();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.shell.openedFiles.size(), 1);
    }

    void stateSurvivesARestart() {
        Fixture f;
        {
            ControlPanel& panel = f.started();
            panel.sensorSlider(0)->setValue(12);
            panel.sensorSlider(1)->setValue(44);
            panel.sensorSlider(2)->setValue(2300);
            panel.speedSlider()->setValue(60);
            panel.alignmentSlider()->setValue(2);
            panel.messageEdit()->setPlainText(
                QStringLiteral("Línea uno\nOfertas en portátiles\nAquí, año nuevo"));
            f.dialogs.nextFiles = {QStringLiteral("/fondos/oferta.jpg")};
            click(panel, ControlPanel::Picture);
            click(panel, ControlPanel::SoundsOn);
            click(panel, ControlPanel::Detection);
            panel.close();
        }
        ControlPanel& panel = f.started();
        QCOMPARE(panel.sensorSlider(0)->value(), 12);
        QCOMPARE(panel.sensorSlider(1)->value(), 44);
        QCOMPARE(panel.sensorSlider(2)->value(), 2300);
        QCOMPARE(panel.capture().tickTimer().interval(), 2300);
        QCOMPARE(panel.sensorLabel(5)->text(), QStringLiteral("2300 mseg"));
        QCOMPARE(panel.speedSlider()->value(), 60);
        QCOMPARE(panel.sensorLabel(7)->text(), QStringLiteral("Derecha"));
        QCOMPARE(panel.messageEdit()->toPlainText(),
                 QStringLiteral("Línea uno\nOfertas en portátiles\nAquí, año nuevo"));
        QCOMPARE(appearances(panel), QStringLiteral("110010000"));
        QVERIFY(panel.shop().detectorRunning());
        QCOMPARE(panel.shop().picturePath(), QStringLiteral("/fondos/oferta.jpg"));
        QCOMPARE(panel.button(ControlPanel::SoundsOff)->tag(), QStringLiteral("1"));
        // No dialog this time: the image came back from the side file.
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
    }

    void advertisingComesBack() {
        Fixture f;
        {
            ControlPanel& panel = f.started();
            click(panel, ControlPanel::Message);
            click(panel, ControlPanel::Advertising);
            panel.unload();
        }
        ControlPanel& panel = f.started();
        QCOMPARE(appearances(panel), QStringLiteral("000000110"));
        QVERIFY(panel.shop().messageShowing());
    }

    void damagedSettingsStillStart_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("garbage") << QByteArray(42 * 7, '\xff');
        // Record 1 with sliders far out of range.
        QByteArray outOfRange(42 * 7, '\0');
        const char rec1[] = {8,  0,    1,    0, '1', 2,    0,    1,          0, -1,
                             -1, 0x10, 0x27, 0, 0,   0x30, 0x75, (char)0xC8, 0};
        outOfRange.replace(0, sizeof rec1, QByteArray(rec1, sizeof rec1));
        QTest::addRow("sliders out of range") << outOfRange;
    }

    void damagedSettingsStillStart() {
        QFETCH(QByteArray, bytes);
        Fixture f;
        {
            QFile file(f.path(QStringLiteral("Pregonar.DAT")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        ControlPanel& panel = f.started();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(panel.sensorSlider(i)->value() >= panel.sensorSlider(i)->minimum());
            QVERIFY(panel.sensorSlider(i)->value() <= panel.sensorSlider(i)->maximum());
        }
        QCOMPARE(panel.button(ControlPanel::Advertising)->appearance(), 0);
        panel.close();
        // The next save writes a sound file.
        const PanelRecord saved = decodePanelRecord(SettingsFile(panel.settingsPath()).read(1));
        QCOMPARE(saved.movement, panel.sensorSlider(0)->value());
        QCOMPARE(saved.interval, panel.sensorSlider(2)->value());
    }

    void unwritableFolderStops() {
        RecordingDialogs dialogs;
        PanelEnvironment env;
        env.workFolder = QStringLiteral("/proc/pregonar-no-such-folder");
        env.dialogs = &dialogs;
        ControlPanel panel(env);
        QVERIFY(!panel.load());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.at(0).title, QStringLiteral("Pregonar - Imposible Continuar"));
        QCOMPARE(
            dialogs.messages.at(0).text,
            QStringLiteral("La carpeta '/proc/pregonar-no-such-folder' está protegida contra escritura."));
    }

    // F1 opens the read-me; a click anywhere on a help label opens its page, whatever it shows.
    void helpKeysAndLinks() {
        Fixture f;
        ControlPanel& panel = f.started();
        f.shell.openedFiles.clear();
        QTest::keyClick(&panel, Qt::Key_F1);
        QCOMPARE(f.shell.openedFiles, QStringList{f.path(QString::fromUtf16(ReadMe::kFileName))});

        QTest::mouseClick(panel.hintLabel(), Qt::LeftButton);
        hoverTwice(panel, panel.button(ControlPanel::Detection)); // shows the camera help and its hint
        QTest::mouseClick(panel.hintLabel(), Qt::LeftButton);
        QTest::mouseClick(panel.cameraHelpLink(), Qt::LeftButton);
        QLabel* donacion = nullptr;
        for (QLabel* label : panel.findChildren<QLabel*>()) {
            if (label->text().contains(QStringLiteral("Donaciones"))) {
                donacion = label;
            }
        }
        QVERIFY(donacion);
        QTest::mouseClick(donacion, Qt::LeftButton);
        QStringList opened;
        for (const QUrl& url : f.shell.openedUrls) {
            opened << url.toString();
        }
        QCOMPARE(opened,
                 (QStringList{"https://pregonar.example/pregonar", "https://pregonar.example/pregonar",
                              "https://pregonar.example/pregonar/webcam.html",
                              "https://pregonar.example/donaciones"}));
    }

    // The hint goes back to rest over the window background, the frames, the live view and the
    // message box; over the hint line itself it stays.
    void hintRests_data() {
        QTest::addColumn<QString>("over");
        QTest::addColumn<bool>("rests");
        QTest::addRow("window background") << "background" << true;
        QTest::addRow("frame") << "frame" << true;
        QTest::addRow("live view") << "view" << true;
        QTest::addRow("message box") << "message" << true;
        QTest::addRow("hint line") << "hint" << false;
    }
    void hintRests() {
        QFETCH(QString, over);
        QFETCH(bool, rests);
        Fixture f;
        ControlPanel& panel = f.started();
        hoverTwice(panel, panel.button(ControlPanel::Camera));
        QCOMPARE(panel.hintLabel()->text(), QStringLiteral("Configurar Cámara Web"));

        QPoint at(2, 2); // the window's margin
        if (over != QLatin1String("background")) {
            QWidget* target = over == QLatin1String("frame")  ? panel.findChild<QGroupBox*>()
                              : over == QLatin1String("view") ? static_cast<QWidget*>(panel.liveView())
                              : over == QLatin1String("hint") ? static_cast<QWidget*>(panel.hintLabel())
                                                              : panel.messageEdit()->viewport();
            at = target->mapTo(&panel, QPoint(4, 4));
        }
        QCOMPARE(panel.childAt(at) == nullptr, over == QLatin1String("background"));
        QTest::mouseMove(panel.windowHandle(), at);
        QCOMPARE(panel.button(ControlPanel::Camera)->backColor(), rests ? Colors::Idle : Colors::Hover);
        QCOMPARE(panel.hintLabel()->text().contains(ControlPanel::restingHint()), rests);
    }

    // "Todos los archivos" shows every file, names without a dot too, in the real file dialog.
    void fileDialogShowsEveryFile() {
        Fixture f;
        DesktopDialogs dialogs;
        f.env.dialogs = &dialogs;
        QFile(f.path(QStringLiteral("Desktop/Pregonar.desktop"))).open(QIODevice::WriteOnly); // no welcome
        QDir(f.dir.path()).mkpath(QStringLiteral("Fondos"));
        for (const char* name : {"oferta.jpg", "VIDRIERA"}) {
            QFile(f.path(QStringLiteral("Fondos/") + QLatin1String(name))).open(QIODevice::WriteOnly);
        }
        ControlPanel& panel = f.started();
        QStringList listed;
        int polls = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || ++polls > 200) {
                return;
            }
            const QString all = dialog->nameFilters().constLast();
            QCOMPARE(all.left(24), QStringLiteral("Todos los archivos [*.*]"));
            dialog->selectNameFilter(all);
            const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
            listed.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            }
            if (listed.contains(QStringLiteral("oferta.jpg")) && polls > 3) {
                dialog->selectFile(QStringLiteral("VIDRIERA"));
                static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept(), as the Open button
            }
        });
        poll.start(50);
        click(panel, ControlPanel::Picture);
        listed.sort(Qt::CaseInsensitive);
        QCOMPARE(listed, (QStringList{"oferta.jpg", "VIDRIERA"}));
        QCOMPARE(panel.shop().picturePath(), f.path(QStringLiteral("Fondos/VIDRIERA")));
    }
};

QTEST_MAIN(TestPanel)
#include "TestPanel.moc"
