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

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

// The control panel's wiring: a click reaches the shop, the shop's state is drawn, start-up and
// close, hover and hints, links. The rules themselves are the shop's.
class TestPanel : public QObject {
    Q_OBJECT

    static QString appearances(ControlPanel& panel) {
        QString s;
        for (int i = 0; i < 9; ++i)
            s += QString::number(panel.button(i)->appearance());
        return s;
    }
    static void click(ControlPanel& panel, int index) {
        QTest::mouseClick(panel.button(index), Qt::LeftButton);
    }
    // A move of the pointer over a widget of the panel.
    static void moveTo(ControlPanel& panel, QWidget* widget, QPoint at = {5, 5}) {
        QTest::mouseMove(panel.windowHandle(), widget ? widget->mapTo(&panel, at) : at);
    }
    static void createFiles(PanelFixture& f, const QString& folder, const QStringList& names) {
        QDir(f.dir.path()).mkpath(folder);
        for (const QString& name : names)
            QFile(f.path(folder + QLatin1Char('/') + name)).open(QIODevice::WriteOnly);
    }

private slots:
    // Each button reaches the shop and its state is drawn.
    void clicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected"); // appearance of buttons 0..8
        QTest::addRow("detection") << QList<int>{0} << QString() << "100000000";
        QTest::addRow("picture") << QList<int>{1} << "/fondos/oferta.jpg"
                                 << "010000000";
        QTest::addRow("sounds") << QList<int>{3} << QString() << "000010000";
        QTest::addRow("message") << QList<int>{6} << QString() << "000000100";
        QTest::addRow("video") << QList<int>{8} << "/videos/promo.mp4"
                               << "100000001";
        QTest::addRow("advertising") << QList<int>{6, 7} << QString() << "000000110";
    }
    void clicks() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        PanelFixture f;
        f.dialogs.nextFiles = {file};
        for (int index : clicks)
            click(*f.panel, index);
        QCOMPARE(appearances(*f.panel), expected);
        for (int i : {0, 1, 6, 8})
            QCOMPARE(f.panel->button(i)->backColor(),
                     f.panel->button(i)->appearance() ? Colors::On : Colors::Idle);
    }

    // The show takes the panel away and locks the switches and the message; stopped, all is free.
    void showLocksThePanel() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        click(panel, ControlPanel::Message);
        click(panel, ControlPanel::Advertising);
        QVERIFY(!panel.isVisible());
        QCOMPARE(panel.button(ControlPanel::Advertising)->backColor(), Colors::Hover);
        for (bool locked : {true, false}) {
            QCOMPARE(panel.messageEdit()->isEnabled(), !locked);
            QCOMPARE(panel.alignmentSlider()->isEnabled(), !locked);
            for (int i : {0, 1, 2, 3, 4, 6, 8})
                QCOMPARE(panel.button(i)->isEnabled(), !locked);
            QVERIFY(panel.button(ControlPanel::Publish)->isEnabled());
            panel.showPanel();
            click(panel, ControlPanel::Advertising);
        }
    }

    // Hover colours and hints; the hint rests over the background, the frames, the live view and
    // the message box, not over itself; a click on a help label opens its page, F1 the read-me.
    void hoverHintsAndLinks() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        QLabel* hint = panel.hintLabel();
        moveTo(panel, panel.button(ControlPanel::Camera));
        QCOMPARE(panel.button(ControlPanel::Camera)->backColor(), Colors::Idle); // only remembered
        moveTo(panel, panel.button(ControlPanel::Camera), {6, 6});
        QCOMPARE(panel.button(ControlPanel::Camera)->backColor(), Colors::Hover);
        QCOMPARE(hint->text(), QStringLiteral("Configurar Cámara Web"));
        QVERIFY(hint->styleSheet().contains(QStringLiteral("#ff0000")));
        for (QWidget* over :
             {static_cast<QWidget*>(nullptr), static_cast<QWidget*>(panel.findChild<QGroupBox*>()),
              static_cast<QWidget*>(panel.liveView()), panel.messageEdit()->viewport(),
              static_cast<QWidget*>(hint)}) {
            moveTo(panel, panel.button(ControlPanel::Publish));
            moveTo(panel, panel.button(ControlPanel::Publish), {6, 6});
            QCOMPARE(hint->text(), QStringLiteral("Transferir Imágenes por Internet"));
            moveTo(panel, over, over ? QPoint(4, 4) : QPoint(2, 2)); // (2, 2): the window's margin
            QVERIFY(over || !panel.childAt(2, 2));
            const bool rests = over != hint;
            QCOMPARE(panel.button(ControlPanel::Publish)->backColor(), rests ? Colors::Idle : Colors::Hover);
            QCOMPARE(hint->text().contains(ControlPanel::restingHint()), rests);
            QCOMPARE(hint->styleSheet().contains(QStringLiteral("#404040")), rests);
        }
        // An on button keeps its colour and shows the "off" action; button 0 shows the camera help.
        click(panel, ControlPanel::Detection);
        moveTo(panel, panel.button(ControlPanel::Detection));
        moveTo(panel, panel.button(ControlPanel::Detection), {6, 6});
        QCOMPARE(panel.button(ControlPanel::Detection)->backColor(), Colors::On);
        QCOMPARE(hint->text(), QStringLiteral("Desactivar Detección de Movimiento"));
        QVERIFY(!panel.cameraHelpLink()->isHidden());

        QTest::mouseClick(hint, Qt::LeftButton);
        QTest::mouseClick(panel.cameraHelpLink(), Qt::LeftButton);
        for (QLabel* label : panel.findChildren<QLabel*>()) {
            if (label->text().contains(QStringLiteral("Donaciones")))
                QTest::mouseClick(label, Qt::LeftButton);
        }
        QCOMPARE(f.shell.openedUrls, (QList<QUrl>{QUrl("https://pregonar.example/pregonar"),
                                                  QUrl("https://pregonar.example/pregonar/webcam.html"),
                                                  QUrl("https://pregonar.example/donaciones")}));
        moveTo(panel, panel.liveView());
        QVERIFY(panel.cameraHelpLink()->isHidden());
        QTest::keyClick(&panel, Qt::Key_F1);
        QCOMPARE(f.shell.openedFiles.size(), 2);
        QCOMPARE(f.shell.openedFiles.last(), f.path(QString::fromUtf16(ReadMe::kFileName)));
    }

    // The first start shows the welcome and the read-me, once; the tray icon lives from start to close.
    void firstStartAndClose() {
        PanelFixture f;
        QCOMPARE(f.shell.openedFiles, QStringList{f.path(QString::fromUtf16(ReadMe::kFileName))});
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.at(0).title, QStringLiteral("Pregonar - BIENVENIDO"));
        QVERIFY(f.tray.shown);
        QCOMPARE(f.panel->messageEdit()->toPlainText(), QStringLiteral("ESCRIBIR MENSAJE AQUI..."));
        QCOMPARE(f.panel->sourceLabel()->text(), QStringLiteral("Fuente: Cámara predeterminada del sistema"));
        f.panel->close();
        QVERIFY(f.panel->isUnloaded());
        QVERIFY(!f.tray.shown);
        f.restart();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.shell.openedFiles.size(), 1);
    }

    // Sliders, the message, the sound list and the switches with their files come back after a close.
    void stateSurvivesARestart() {
        PanelFixture f([](PanelFixture& f, PanelEnvironment&) {
            createFiles(f, QStringLiteral("Sonidos"), {"hola.mp3", "Bienvenido.WAV", "notas.txt"});
        });
        ControlPanel* panel = f.panel.get();
        QScrollBar* interval = panel->sensorSlider(2);
        QTest::mouseClick(interval, Qt::LeftButton, {},
                          QPoint(interval->width() * 3 / 4, interval->height() / 2));
        QCOMPARE(interval->value(), 600); // one page further
        panel->sensorSlider(0)->setValue(12);
        panel->sensorSlider(1)->setValue(44);
        panel->speedSlider()->setValue(60);
        panel->alignmentSlider()->setValue(2);
        QCOMPARE(panel->messageEdit()->document()->defaultTextOption().alignment(), Qt::AlignRight);
        const QString message = QStringLiteral("Línea uno\nOfertas en portátiles\nAquí, año nuevo");
        panel->messageEdit()->setPlainText(message);
        click(*panel, ControlPanel::SoundsOn);
        QVERIFY(panel->button(ControlPanel::SoundsOn)->isHidden());
        QVERIFY(!panel->soundList()->isHidden());
        QCOMPARE(panel->soundList()->count(), 2);
        QCOMPARE(panel->soundList()->item(0)->text(), QStringLiteral("Bienvenido.WAV"));
        click(*panel, ControlPanel::SoundsOff);
        QVERIFY(panel->button(ControlPanel::SoundsOff)->isHidden());
        QVERIFY(panel->soundList()->isHidden());
        click(*panel, ControlPanel::SoundsOn);
        f.dialogs.nextFiles = {QStringLiteral("/fondos/oferta.jpg"), QStringLiteral("/videos/a.mp4")};
        click(*panel, ControlPanel::Picture);
        click(*panel, ControlPanel::Video);
        click(*panel, ControlPanel::Advertising);

        f.restart();
        panel = f.panel.get();
        QCOMPARE(panel->sensorSlider(0)->value(), 12);
        QCOMPARE(panel->sensorSlider(1)->value(), 44);
        QCOMPARE(panel->capture().tickTimer().interval(), 600);
        const QStringList captions{"62%", "94%", "600 mseg", "60%", "Derecha"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(panel->sensorLabel(QList<int>{1, 3, 5, 9, 7}[i])->text(), captions[i]);
        QCOMPARE(panel->messageEdit()->toPlainText(), message);
        QCOMPARE(appearances(*panel), QStringLiteral("110010011"));
        QCOMPARE(panel->shop().picturePath(), QStringLiteral("/fondos/oferta.jpg"));
        QCOMPARE(panel->shop().videoPath(), QStringLiteral("/videos/a.mp4"));
        QCOMPARE(f.dialogs.fileRequests.size(), 2); // the files came back without a dialog
        QCOMPARE(f.dialogs.fileRequests.at(0).initialFolder, f.path(QStringLiteral("Fondos")));
        QCOMPARE(f.dialogs.fileRequests.at(1).initialFolder, f.path(QStringLiteral("Videos")));
    }

    // Damaged settings: the panel starts with what it can use and writes a sound file on close.
    void damagedSettingsStillStart() {
        QByteArray outOfRange(42 * 7, '\0'); // record 1 with sliders far out of range
        const char rec1[] = {8,  0,    1,    0, '1', 2,    0,    1,          0, -1,
                             -1, 0x10, 0x27, 0, 0,   0x30, 0x75, (char)0xC8, 0};
        outOfRange.replace(0, sizeof rec1, QByteArray(rec1, sizeof rec1));
        for (const QByteArray& bytes : {QByteArray(42 * 7, '\xff'), outOfRange}) {
            PanelFixture f([&bytes](PanelFixture& f, PanelEnvironment&) {
                QFile file(f.path(QStringLiteral("Pregonar.DAT")));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            });
            QCOMPARE(f.panel->button(ControlPanel::Advertising)->appearance(), 0);
            f.panel->close();
            const PanelRecord saved = decodePanelRecord(SettingsFile(f.panel->settingsPath()).read(1));
            QCOMPARE(saved.movement, f.panel->sensorSlider(0)->value());
            QCOMPARE(saved.interval, f.panel->sensorSlider(2)->value());
        }
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

    // "Todos los archivos" shows every file, names without a dot too, in the real file dialog.
    void fileDialogShowsEveryFile() {
        DesktopDialogs dialogs;
        PanelFixture f([&dialogs](PanelFixture& f, PanelEnvironment& env) {
            env.dialogs = &dialogs;
            createFiles(f, QStringLiteral("Desktop"), {"Pregonar.desktop"}); // no welcome
            createFiles(f, QStringLiteral("Fondos"), {"oferta.jpg", "VIDRIERA"});
        });
        QStringList listed;
        int polls = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || ++polls > 200)
                return;
            dialog->selectNameFilter(dialog->nameFilters().constLast()); // "Todos los archivos [*.*]"
            const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
            listed.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            if (listed.contains(QStringLiteral("oferta.jpg")) && polls > 3) {
                dialog->selectFile(QStringLiteral("VIDRIERA"));
                static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept(), as the Open button
            }
        });
        poll.start(50);
        click(*f.panel, ControlPanel::Picture);
        listed.sort(Qt::CaseInsensitive);
        QCOMPARE(listed, (QStringList{"oferta.jpg", "VIDRIERA"}));
        QCOMPARE(f.panel->shop().picturePath(), f.path(QStringLiteral("Fondos/VIDRIERA")));
    }
};

QTEST_MAIN(TestPanel)
#include "TestPanel.moc"
