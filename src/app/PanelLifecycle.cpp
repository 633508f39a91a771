// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's start-up and close: the features and the shop wired together, the files and folders
// of the working folder, and the settings read at start and written at close.
#include "app/ControlPanel.h"

#include "app/PanelTexts.h"
#include "app/PictureButton.h"
#include "app/Product.h"
#include "app/ReadMe.h"
#include "app/WorkFolder.h"
#include "audience/AudienceViews.h"
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "capture/Capture.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "media/BackgroundPicture.h"
#include "media/BackgroundVideo.h"
#include "media/Greeting.h"
#include "platform/CaptureSources.h"
#include "platform/DesktopShortcut.h"
#include "platform/Dialogs.h"
#include "platform/ScaledJpeg.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
#include "publish/Publisher.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SideFiles.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {
// Shown in the live view while there is no frame and no Pregonar.jpg.
QPixmap builtInIdlePicture() {
    QPixmap pixmap(320, 240);
    pixmap.fill(QColor(48, 56, 64));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(110, 50, buttonPicture(ControlPanel::Camera, 100, 1.0));
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRect(0, 170, 320, 40), Qt::AlignCenter, QStringLiteral("Cámara Web"));
    return pixmap;
}
} // namespace

void ControlPanel::buildFeatures() {
    m_capture = std::make_unique<Capture>(
        m_env.workFolder, m_env.makeSource ? m_env.makeSource : Capture::SourceFactory(&makeFrameSource));
    // The decoder's library, already loaded, rather than a plug-in and a second JPEG library.
    m_capture->snapshots().setEncoder(&encodeJpeg);
    const CameraChoice saved = CameraChoice::read(pathIn(QStringLiteral("Pregonar.CAM")));
    CameraChoice choice = m_env.cameraOverride.value_or(saved);
    choice.ignoreLightChanges = saved.ignoreLightChanges; // --camera changes the source only
    m_capture->setChoice(choice);
    m_greeting = std::make_unique<Greeting>(pathIn(QStringLiteral("Sonidos")), m_env.sound);
    const auto panelVisible = [this] { return isVisible(); };
    m_banner = std::make_unique<MessageBanner>([this] { return m_shop->detectorRunning(); },
                                               [this] { return m_messageEdit->toPlainText(); });
    m_picture = std::make_unique<BackgroundPicture>(panelVisible);
    m_video = std::make_unique<BackgroundVideo>(panelVisible);
    m_shop = std::make_unique<Shop>(
        ShopOutputs{m_capture.get(), m_greeting.get(), m_banner.get(), m_picture.get(), m_video.get()});
    Shop& shop = *m_shop;
    m_audience = std::make_unique<AudienceViews>(m_env.workFolder, shop, *m_capture, this);

    m_capture->setWatching([&shop] { return shop.watching(); });
    connect(m_capture.get(), &Capture::customerSeen, &shop, &Shop::answerCustomer);
    connect(m_capture.get(), &Capture::snapshotSaved, this, [this](const QString& name) {
        m_snapshotName = name;
        m_publisher->setSnapshot(name);
    });
    connect(m_capture.get(), &Capture::compared, this, [this](const MotionResult& result) {
        m_liveView->showFrame(&m_capture->detector().view());
        statusLabel()->setText(m_shop->showPaused() ? PanelTexts::kOutOfHours : result.statusLine());
    });
    connect(m_capture.get(), &Capture::noFrame, this, [this] {
        // A camera that only skipped a frame keeps its last one on view; the idle picture is for a
        // camera that is not there.
        if (!m_capture->sourceActive() || !m_liveView->isShowingFrame())
            showIdlePicture();
    });
    connect(m_capture.get(), &Capture::sourceProblem, this, [this](const QString& text) {
        if (!text.isEmpty())
            statusLabel()->setText(text);
    });
    connect(m_capture.get(), &Capture::stopped, this, [this] { m_liveView->clear(); });
    connect(m_banner.get(), &MessageBanner::passFinished, &shop, &Shop::messagePassFinished);
    connect(m_video.get(), &BackgroundVideo::finished, &shop, &Shop::videoFinished);
    // Esc on the show brings the panel back for a while.
    connect(m_banner.get(), &MessageBanner::escapePressed, &shop, &Shop::bringPanelBack);
    connect(m_picture.get(), &BackgroundPicture::escapePressed, &shop, &Shop::bringPanelBack);
    connect(m_video.get(), &BackgroundVideo::escapePressed, &shop, &Shop::bringPanelBack);
    // Without a window manager nothing keeps the panel and the message above a picture raised after
    // them.
    connect(m_picture.get(), &BackgroundPicture::shown, this, &ControlPanel::raiseOverPicture);

    connect(&shop, &Shop::switchesChanged, this, &ControlPanel::drawSwitches);
    connect(&shop, &Shop::advertisingChanged, this, &ControlPanel::drawSwitches);
    connect(&shop, &Shop::showPausedChanged, this, [this](bool paused) {
        statusLabel()->setText(paused ? PanelTexts::kOutOfHours : PanelTexts::kStatusOff);
    });
    connect(&shop, &Shop::panelAwayRequested, this, &QWidget::hide);
    connect(&shop, &Shop::panelBackRequested, this, &ControlPanel::showPanel);
    connect(&shop, &Shop::saveRequested, this, [this] {
        savePanelSettings();
        saveBannerSettings();
    });
    connect(&shop, &Shop::picturePathChosen, this, [this](const QString& path) {
        SideFiles::writePath(pathIn(QStringLiteral("Pregonar.WPR")), path);
    });
    connect(&shop, &Shop::videoPathChosen, this, [this](const QString& path) {
        SideFiles::writePath(pathIn(QStringLiteral("Pregonar.VDO")), path);
    });
}

void ControlPanel::raiseOverPicture() {
    if (m_banner->window() && m_banner->window()->isVisible())
        m_banner->window()->raise();
    if (isVisible())
        raise();
}

bool ControlPanel::load() {
    if (m_env.tray) {
        m_env.tray->add(QIcon(buttonPicture(Advertising, 32, 1.0)), QStringLiteral(" Pregonar 4.12 "));
    }
    loadIdlePicture();
    m_liveView->showPicture(m_idlePicture);

    if (!ReadMe::write(m_env.workFolder)) {
        if (m_env.dialogs) {
            m_env.dialogs->message(
                this, Dialogs::Icon::Critical, QStringLiteral("Pregonar - Imposible Continuar"),
                QStringLiteral("La carpeta '") + QDir::toNativeSeparators(m_env.workFolder) +
                    QStringLiteral("' está protegida contra escritura."));
        }
        if (m_unloaded) {
            return true; // closed while the message was open (a logout, say): an orderly end
        }
        if (m_env.tray) {
            m_env.tray->remove();
        }
        m_unloaded = true;
        return false;
    }
    for (const char* folder : {"Sonidos", "Fondos", "Videos"}) {
        EnsureFolder(pathIn(QString::fromLatin1(folder)));
    }

    QString icon = pathIn(QStringLiteral("Pregonar.png"));
    if (!QFileInfo::exists(icon)) {
        icon = pathIn(QStringLiteral("Pregonar.ico"));
    }
    // Without a picture of the shop's own, the icon the package installs in the theme.
    const DesktopShortcut shortcut{m_env.desktopFolder, m_env.executable, m_env.workFolder,
                                   QFileInfo::exists(icon) ? icon : QStringLiteral("pregonar")};
    if (shortcut.createIfMissing() && m_env.dialogs) {
        m_env.dialogs->message(
            this, Dialogs::Icon::Information, QStringLiteral("Pregonar - BIENVENIDO"),
            QStringLiteral("Un acceso directo con el nombre \"Pregonar\" ha sido creado en el escritorio."));
    }
    if (m_unloaded) {
        return true; // closed while the welcome was open: the settings were never applied
    }

    loadPanelSettings();
    loadBannerSettings();
    return true;
}

void ControlPanel::loadIdlePicture() {
    const QString path = pathIn(QStringLiteral("Pregonar.jpg"));
    QPixmap picture;
    if (FileExists(path) && picture.load(path)) {
        m_idlePicture = picture.scaled(m_liveView->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        m_idlePicture = builtInIdlePicture();
    }
}

void ControlPanel::unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    if (m_env.tray) {
        m_env.tray->remove();
    }
    // Outputs stopped, then the settings saved as the user left them (only once the start-up had
    // applied them: a close at a start-up message leaves the stored files alone), camera off.
    m_shop->close();
    for (int index : {Detection, Publish}) {
        button(index)->setOn(false);
        button(index)->setColour(Colors::Idle);
    }
    m_publisher->shutdown();
    statusLabel()->setText(PanelTexts::kStatusOff);
    m_banner.reset();
    m_picture.reset();
    m_video.reset();
    hide();
    emit unloaded();
}

void ControlPanel::loadPanelSettings() {
    const SettingsFile file(settingsPath());
    if (!file.exists()) {
        // First start: show the read-me; the sliders keep their design values.
        if (m_env.shell) {
            m_env.shell->openFile(pathIn(QString::fromUtf16(ReadMe::kFileName)));
        }
        return;
    }
    const SettingsRecord record = file.read(1);
    // A file without a usable record 1 keeps the design values.
    const PanelRecord panel =
        record.varA.type() == RecordVariant::Type::Empty ? PanelRecord{} : decodePanelRecord(record);
    m_sensorSliders[0]->setValue(panel.movement);
    m_sensorSliders[1]->setValue(panel.color);
    m_sensorSliders[2]->setValue(panel.interval);
    m_publisher->setUploadCounter(panel.uploadCounter);
    m_saved.detection = panel.detectionOn;
    m_saved.sounds = panel.soundsOn;
    m_saved.picture = panel.imageOn;
    if (panel.imageOn) {
        m_saved.picturePath = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.WPR"))).value_or(QString());
    }
}

void ControlPanel::loadBannerSettings() {
    const SettingsFile file(settingsPath());
    const bool exists = file.exists();
    const SettingsRecord record = exists ? file.read(7) : SettingsRecord{};
    BannerRecord banner = decodeBannerRecord(record);
    if (record.varA.type() == RecordVariant::Type::Empty) {
        // Nothing saved yet: the first sound of the folder is the greeting until one is chosen.
        banner.soundIndex = 0;
    }
    if (exists) {
        m_speedSlider->setValue(banner.speed);
        m_alignmentSlider->setValue(banner.alignment);
    }
    const auto message = SideFiles::readMessage(pathIn(QStringLiteral("Pregonar.LST")));
    m_messageEdit->setPlainText(message ? *message : PanelTexts::kDefaultMessage);
    speedChanged();
    alignmentChanged();
    if (banner.soundIndex != -1) {
        refreshSoundList();
        if (banner.soundIndex < m_soundList->count()) {
            m_soundList->setCurrentRow(banner.soundIndex);
        }
    }
    m_saved.message = banner.messageOn;
    m_saved.advertising = banner.advertisingOn;
    m_saved.video = banner.videoOn;
    if (banner.videoOn) {
        m_saved.videoPath = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.VDO"))).value_or(QString());
    }
    // The switches come back as they were, and what was running starts again.
    m_shop->restore(m_saved);
}

void ControlPanel::savePanelSettings() {
    PanelRecord panel;
    panel.detectionOn = m_shop->detecting();
    panel.uploadCounter = m_publisher->uploadCounter();
    panel.imageOn = m_shop->pictureOn();
    panel.soundsOn = m_shop->soundsOn();
    panel.movement = m_sensorSliders[0]->value();
    panel.color = m_sensorSliders[1]->value();
    panel.interval = m_sensorSliders[2]->value();
    SettingsFile(settingsPath()).write({{1, encodePanelRecord(panel)}});
}

void ControlPanel::saveBannerSettings() {
    BannerRecord banner;
    banner.messageOn = m_shop->messageOn();
    banner.advertisingOn = m_shop->advertising();
    banner.videoOn = m_shop->videoOn();
    banner.soundIndex = m_soundList->currentRow();
    banner.speed = m_speedSlider->value();
    banner.alignment = m_alignmentSlider->value();
    SettingsFile(settingsPath()).write({{7, encodeBannerRecord(banner)}});
    SideFiles::writeMessage(pathIn(QStringLiteral("Pregonar.LST")), m_messageEdit->toPlainText());
}
