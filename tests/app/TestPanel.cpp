// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "app/PictureButton.h"
#include "app/ReadMe.h"
#include "capture/Capture.h"
#include "capture/LiveView.h"
#include "fakes/PanelFixture.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

// The control panel's wiring: a click reaches the shop, the shop's state is drawn, start-up and
// close, hover and hints, links, the tray. The rules themselves are the shop's.
class TestPanel : public QObject {
    Q_OBJECT

    static QString switchesDrawn(ControlPanel& panel) {
        QString s;
        for (int i = 0; i < 9; ++i)
            s += QString::number(int(panel.button(i)->isOn()));
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
    // Each button reaches the shop and its state is drawn; while the show runs the switches and the
    // message are locked, publishing is not.
    void clicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("expected"); // buttons 0..8 drawn on (1) or off (0)
        QTest::addRow("switches, then the show") << QList<int>{0, 1, 3, 6, 7} << "110010110";
        QTest::addRow("video, sounds off, show stopped") << QList<int>{8, 3, 4, 7, 7} << "100000001";
    }
    void clicks() {
        QFETCH(QList<int>, clicks);
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        f.dialogs.nextFiles = {QStringLiteral("/medios/oferta")};
        for (int index : clicks) {
            panel.show(); // the show took the panel away; the tray brings it back
            click(panel, index);
        }
        QTEST(switchesDrawn(panel), "expected");
        const bool sounds = panel.shop().soundsOn(); // buttons 3 and 4 take turns, with the list
        QCOMPARE(panel.button(ControlPanel::SoundsOn)->isHidden(), sounds);
        QCOMPARE(panel.button(ControlPanel::SoundsOff)->isHidden(), !sounds);
        QCOMPARE(panel.soundList()->isHidden(), !sounds);
        const bool locked = panel.shop().advertising();
        QCOMPARE(panel.messageEdit()->isEnabled(), !locked);
        QCOMPARE(panel.alignmentSlider()->isEnabled(), !locked);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(panel.button(i)->isEnabled(),
                     !locked || i == ControlPanel::Publish || i == ControlPanel::Advertising);
            if (panel.button(i)->isOn() && i != ControlPanel::SoundsOff)
                QCOMPARE(panel.button(i)->colour(),
                         i == ControlPanel::Advertising ? Colors::Hover : Colors::On);
        }
    }

    // Hover colours and hints; the hint rests over the background, the frames, the live view and
    // the message box, not over itself; a click on a help label opens its page.
    void hoverHintsAndLinks() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        QLabel* hint = panel.hintLabel();
        PictureButton* globe = panel.button(ControlPanel::Publish);
        moveTo(panel, globe);
        QCOMPARE(globe->colour(), Colors::Idle); // only remembered
        for (QWidget* over : QList<QWidget*>{nullptr, panel.findChild<QGroupBox*>(), panel.liveView(),
                                             panel.messageEdit()->viewport(), hint}) {
            moveTo(panel, globe, {6, 6});
            QCOMPARE(globe->colour(), Colors::Hover);
            QCOMPARE(hint->text(), QStringLiteral("Transferir Imágenes por Internet"));
            moveTo(panel, over, over ? QPoint(4, 4) : QPoint(2, 2)); // (2, 2): the window's margin
            const bool rests = over != hint;
            QCOMPARE(globe->colour(), rests ? Colors::Idle : Colors::Hover);
            QCOMPARE(hint->text().contains(ControlPanel::restingHint()), rests);
            QVERIFY(hint->styleSheet().contains(QLatin1String(rests ? "#404040" : "#ff0000")));
        }
        // An on button keeps its colour and shows the "off" action; button 0 shows the camera help.
        click(panel, ControlPanel::Detection);
        moveTo(panel, panel.button(ControlPanel::Detection));
        moveTo(panel, panel.button(ControlPanel::Detection), {6, 6});
        QCOMPARE(panel.button(ControlPanel::Detection)->colour(), Colors::On);
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

        // The status line paints its own ground, in the colour of the box around it (just above it).
        const QRect status = panel.statusLabel()->geometry();
        const QImage box = panel.statusLabel()->parentWidget()->grab().toImage();
        QCOMPARE(box.pixelColor(status.right() - 2, status.bottom() - 2),
                 box.pixelColor(status.right() - 2, status.top() - 2));
    }

    // Sliders, the message, the sound list and the switches with their files come back at the next
    // start, without a dialog; the welcome and the read-me come once, the read-me again with F1. The
    // tray icon lives from start to close.
    void startCloseAndStartAgain() {
        PanelFixture f([](PanelFixture& f, PanelEnvironment&) {
            createFiles(f, QStringLiteral("Sonidos"), {"hola.mp3", "Bienvenido.WAV", "notas.txt"});
        });
        ControlPanel* panel = f.panel.get();
        QVERIFY(f.tray.shown);
        QCOMPARE(panel->sourceLabel()->text(), QStringLiteral("Fuente: Cámara predeterminada del sistema"));
        QScrollBar* interval = panel->sensorSlider(2);
        QTest::mouseClick(interval, Qt::LeftButton, {},
                          QPoint(interval->width() * 3 / 4, interval->height() / 2));
        panel->sensorSlider(0)->setValue(12);
        panel->sensorSlider(1)->setValue(44);
        panel->speedSlider()->setValue(60);
        panel->alignmentSlider()->setValue(2);
        QCOMPARE(panel->messageEdit()->document()->defaultTextOption().alignment(), Qt::AlignRight);
        const QString message = QStringLiteral("Línea uno\nOfertas en portátiles\nAquí, año nuevo");
        panel->messageEdit()->setPlainText(message);
        click(*panel, ControlPanel::SoundsOn);
        QCOMPARE(panel->soundList()->count(), 2);
        QCOMPARE(panel->soundList()->item(0)->text(), QStringLiteral("Bienvenido.WAV"));
        f.dialogs.nextFiles = {QStringLiteral("/fondos/oferta.jpg"), QStringLiteral("/videos/a.mp4")};
        click(*panel, ControlPanel::Picture);
        click(*panel, ControlPanel::Video);
        click(*panel, ControlPanel::Advertising);
        panel->close();
        QVERIFY(!f.tray.shown);

        f.restart();
        panel = f.panel.get();
        QCOMPARE(panel->capture().tickTimer().interval(), 600);
        QStringList captions;
        for (int label : {1, 3, 5, 9, 7})
            captions << panel->sensorLabel(label)->text();
        QCOMPARE(captions, (QStringList{"62%", "94%", "600 mseg", "60%", "Derecha"}));
        QCOMPARE(panel->messageEdit()->toPlainText(), message);
        QCOMPARE(switchesDrawn(*panel), QStringLiteral("110010011"));
        QCOMPARE(QStringList({panel->shop().picturePath(), panel->shop().videoPath()}),
                 QStringList({"/fondos/oferta.jpg", "/videos/a.mp4"}));
        QCOMPARE(f.dialogs.fileFolders, QStringList({f.path("Fondos"), f.path("Videos")}));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QTest::keyClick(panel, Qt::Key_F1);
        QCOMPARE(f.shell.openedFiles, QStringList(2, f.path(QString::fromUtf16(ReadMe::kFileName))));
    }

    void unwritableFolderStops() {
        RecordingDialogs dialogs;
        PanelEnvironment env;
        env.workFolder = QStringLiteral("/proc/pregonar-no-such-folder");
        env.dialogs = &dialogs;
        ControlPanel panel(env);
        QVERIFY(!panel.load());
        QCOMPARE(
            dialogs.messages.value(0).text,
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
            if (!dialog)
                return;
            dialog->selectNameFilter(dialog->nameFilters().constLast()); // "Todos los archivos [*.*]"
            const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
            listed.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            if (listed.contains(QStringLiteral("oferta.jpg")) && ++polls > 3) {
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

    // Over the show, a click on the tray icon brings the panel back for a while, "Abrir Pregonar"
    // (the menu's default item) to stay; the show goes on. A click while the menu is open is ignored.
    void trayBringsThePanelBack() {
        PanelFixture f;
        ControlPanel& panel = *f.panel;
        panel.clickButton(ControlPanel::Message);
        panel.clickButton(ControlPanel::Advertising);
        emit f.tray.leftClicked();
        QVERIFY(panel.isVisible() && panel.shop().autoHideTimer().isActive());
        panel.trayMenu()->defaultAction()->trigger();
        QVERIFY(panel.isVisible() && !panel.shop().autoHideTimer().isActive());
        QVERIFY(panel.shop().messageShowing());
        panel.hide();
        emit f.tray.menuRequested(QPoint(300, 200));
        QVERIFY(panel.trayMenu()->isVisible());
        emit f.tray.leftClicked();
        QVERIFY(!panel.isVisible());
        panel.trayMenu()->hide();
    }
};

QTEST_MAIN(TestPanel)
#include "TestPanel.moc"
