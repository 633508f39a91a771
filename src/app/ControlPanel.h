// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Colors.h"
#include "app/StatusLine.h"
#include "capture/CameraChoice.h"
#include "shop/Shop.h"

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class AudienceViews;
class BackgroundPicture;
class BackgroundVideo;
class Capture;
class Dialogs;
class FrameSource;
class Greeting;
class LiveView;
class SoundPlayer;
class MessageBanner;
class FtpClient;
class PictureButton;
class Publisher;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class Shell;
class Tray;

// Where the panel finds the rest of the system. Tests give their own dialogs, shell and tray.
struct PanelEnvironment {
    QString workFolder;    // the current folder at start: every file of the program lives here
    QString desktopFolder; // where the launcher goes
    QString executable;    // the running program, for the launcher
    QString configFolder;  // the user's configuration folder, for the autostart entry; none: no entry
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Tray* tray = nullptr;
    SoundPlayer* sound = nullptr; // where the greeting is heard; none: no sound
    // Makes the picture source for a camera choice; none: the system's cameras, files and demo.
    std::function<std::unique_ptr<FrameSource>(const CameraChoice&)> makeSource;
    // `--camera`: the source for this run, instead of the one kept in Pregonar.CAM.
    std::optional<CameraChoice> cameraOverride;
    // Makes the FTP client publishing uses; empty gives the real one (CurlFtpClient).
    std::function<std::unique_ptr<FtpClient>()> ftpFactory;
};

// The control panel: the main window, a view over the shop. It draws the shop's state (button
// colours, captions, the status line), turns clicks and slider moves into calls on the shop, and
// brings the program up and down: files, settings, the features and their windows.
class ControlPanel : public QWidget {
    Q_OBJECT
public:
    // Button indexes.
    enum Button {
        Detection = 0,
        Picture = 1,
        Camera = 2,
        SoundsOn = 3,
        SoundsOff = 4,
        Publish = 5,
        Message = 6,
        Advertising = 7,
        Video = 8
    };

    explicit ControlPanel(PanelEnvironment environment, QWidget* parent = nullptr);
    ~ControlPanel() override;

    // The start-up sequence. False when the program cannot go on (the working folder cannot be
    // written); the message has been shown then.
    bool load();
    // The orderly close: outputs stopped, settings saved (once they were applied), windows taken
    // down. Runs once.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    // A click on a button, as the user makes it.
    void clickButton(int index);
    // The pointer over a button (-1: over the sound list): its hover colour and hint.
    void hoverButton(int index);
    void restHint();
    // Button 2: the camera and its format.
    void chooseCamera();
    void savePanelSettings();
    void saveBannerSettings();
    // Brings the panel back in front, at its normal size.
    void showPanel();
    // The panel called back (tray icon, a second copy): shown, and while advertising runs it goes
    // away again after the auto-hide time.
    void bringPanelBack();

    // The parts, for the program and for tests.
    Shop& shop() { return *m_shop; }
    Capture& capture() { return *m_capture; }
    Greeting& greeting() { return *m_greeting; }
    MessageBanner& banner() { return *m_banner; }
    BackgroundPicture& picture() { return *m_picture; }
    BackgroundVideo& video() { return *m_video; }
    QMenu* trayMenu() const { return m_trayMenu; }
    PictureButton* button(int index) const { return m_buttons[size_t(index)]; }
    QScrollBar* sensorSlider(int index) const { return m_sensorSliders[size_t(index)]; }
    QLabel* sensorLabel(int index) const { return m_sensorLabels[size_t(index)]; }
    StatusLine* statusLabel() const { return m_statusLine; }
    QScrollBar* speedSlider() const { return m_speedSlider; }
    QScrollBar* alignmentSlider() const { return m_alignmentSlider; }
    QPlainTextEdit* messageEdit() const { return m_messageEdit; }
    QListWidget* soundList() const { return m_soundList; }
    QLabel* hintLabel() const { return m_hintLabel; }
    QLabel* cameraHelpLink() const { return m_cameraHelpLink; }
    QLabel* sourceLabel() const { return m_sourceLabel; }
    LiveView* liveView() const { return m_liveView; }
    // The newest snapshot of a customer, relative to the working folder; publishing uploads it.
    const QString& snapshotName() const { return m_snapshotName; }
    QString settingsPath() const;

    // Publishing on the web: button 5.
    Publisher& publisher() const { return *m_publisher; }
    // The visits and the opening hours.
    AudienceViews& audience() const { return *m_audience; }

    // The resting caption of the hint line.
    static QString restingHint();

signals:
    // The panel has closed; the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildFeatures();
    void drawSwitches();
    void sensorChanged(int index);
    void speedChanged();
    void alignmentChanged();
    void setButtonState(int index, bool on);
    void refreshSoundList();
    void loadPanelSettings();
    void loadBannerSettings();
    void loadIdlePicture();
    QString pathIn(const QString& name) const;
    QString chooseFile(const QString& folder, const QString& title, const QString& filter);
    void showIdlePicture();
    void raiseOverPicture();
    void buildTrayMenu();
    void addAutostartItem();
    void trayMessage(bool menu, QPoint position);

    PanelEnvironment m_env;
    std::array<PictureButton*, 9> m_buttons{};
    std::array<QScrollBar*, 3> m_sensorSliders{};
    std::array<QLabel*, 11> m_sensorLabels{}; // [8] unused: the status has its own line
    StatusLine* m_statusLine = nullptr;
    QScrollBar* m_speedSlider = nullptr;
    QScrollBar* m_alignmentSlider = nullptr;
    QPlainTextEdit* m_messageEdit = nullptr;
    QListWidget* m_soundList = nullptr;
    QLabel* m_hintLabel = nullptr;
    QLabel* m_cameraHelpLink = nullptr;
    QLabel* m_donationLink = nullptr;
    QLabel* m_separator = nullptr;
    QLabel* m_sourceLabel = nullptr; // the source the detector watches
    LiveView* m_liveView = nullptr;
    QPixmap m_idlePicture; // shown while there is no frame

    // The features, then the shop that drives them.
    std::unique_ptr<Capture> m_capture;
    std::unique_ptr<Greeting> m_greeting;
    std::unique_ptr<MessageBanner> m_banner;
    std::unique_ptr<BackgroundPicture> m_picture;
    std::unique_ptr<BackgroundVideo> m_video;
    std::unique_ptr<Shop> m_shop;

    QString m_snapshotName;
    bool m_unloaded = false;
    Shop::SavedSwitches m_saved; // read at start-up, put back once everything is read

    QMenu* m_trayMenu = nullptr;
    bool m_trayBusy = false; // a tray message is being handled: the next one is ignored
    int m_lastHovered = 0;   // the button last under the pointer (-1: the sound list)
    std::unique_ptr<Publisher> m_publisher;
    std::unique_ptr<AudienceViews> m_audience;
};
