// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Colors.h"
#include "capture/CameraChoice.h"
#include "capture/MotionDetector.h"

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class FrameSource;
class LiveView;
class Mci;
class SnapshotWriter;
class BannerWindow;
class BackgroundWindow;
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
class VideoPlayer;

// Where the panel finds the rest of the system. Tests give their own dialogs, shell and tray.
struct PanelEnvironment {
    QString workFolder;    // the current folder at start: every file of the program lives here
    QString desktopFolder; // where the launcher goes
    QString executable;    // the running program, for the launcher
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Tray* tray = nullptr;
    Mci* mci = nullptr; // the greeting's sound device; none: no sound
    // Makes the picture source for a camera choice; none: the system's cameras, files and demo.
    std::function<std::unique_ptr<FrameSource>(const CameraChoice&)> makeSource;
    // `--camera`: the source for this run, instead of the one kept in Pregonar.CAM.
    std::optional<CameraChoice> cameraOverride;
    // Makes the FTP client publishing uses; empty gives the real one (CurlFtpClient).
    std::function<std::unique_ptr<FtpClient>()> ftpFactory;
};

// The control panel: the main window. It brings the program up, holds the state of every feature
// in its buttons and timers, and takes everything down when it closes.
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
    // The orderly close: outputs stopped, settings saved, windows taken down. Runs once.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    // The panel's operations, by their names in the program.
    void clickButton(int index);
    void hoverButton(int index);
    void restHint();
    void sensorChanged(int index);
    void speedChanged();
    void alignmentChanged();
    void startCamera();
    void stopCamera();
    void detectorTick();
    void answerCustomer();
    void greet();
    QString sendSoundCommand(const QString& command);
    bool openSound(const QString& path);
    void playSound();
    int soundState();
    void previewSound();
    // Button 2: the camera and its format.
    void chooseCamera();
    const CameraChoice& cameraChoice() const { return m_cameraChoice; }
    QLabel* sourceLabel() const { return m_sourceLabel; }
    FrameSource* frameSource() const { return m_source.get(); }
    MotionDetector& detector() { return m_detector; }
    SnapshotWriter* snapshots() const { return m_snapshots.get(); }
    void startBanner();
    void stopBanner();
    void applyBannerSpeed();
    void applyBannerAlignment();
    void stopAllSounds();
    void stopVideo();
    void SavePanelSettings();
    void SaveBannerSettings();
    // Brings the panel back in front, at its normal size.
    void showPanel();
    // The panel called back (tray icon, a second copy): shown, and while advertising runs it goes
    // away again after the auto-hide time.
    void bringPanelBack();

    // The advertising outputs and the tray menu (media/PanelVideo.cpp, app/PanelTray.cpp).
    void startVideo();
    bool loadBackgroundPicture();
    // Shows the background picture window, loading it the first time.
    void showBackgroundPicture();
    BackgroundWindow* backgroundWindow() const { return m_backgroundWindow.get(); }
    VideoPlayer* videoPlayer() const { return m_videoPlayer.get(); }
    QMenu* trayMenu() const { return m_trayMenu; }

    // Read-only views for the rest of the program and for tests.
    PictureButton* button(int index) const { return m_buttons[size_t(index)]; }
    QScrollBar* sensorSlider(int index) const { return m_sensorSliders[size_t(index)]; }
    QLabel* sensorLabel(int index) const { return m_sensorLabels[size_t(index)]; }
    QScrollBar* speedSlider() const { return m_speedSlider; }
    QScrollBar* alignmentSlider() const { return m_alignmentSlider; }
    QPlainTextEdit* messageEdit() const { return m_messageEdit; }
    QListWidget* soundList() const { return m_soundList; }
    QLabel* hintLabel() const { return m_hintLabel; }
    QLabel* cameraHelpLink() const { return m_cameraHelpLink; }
    LiveView* liveView() const { return m_liveView; }
    BannerWindow* bannerWindow() const { return m_bannerWindow.get(); }
    QTimer& detectorTimer() { return m_detectorTimer; }
    QTimer& holdOffTimer() { return m_holdOffTimer; }
    QTimer& videoWatchTimer() { return m_videoWatchTimer; }
    QTimer& autoHideTimer() { return m_autoHideTimer; }
    const QString& bannerRunning() const { return m_bannerRunning; }
    const QString& wallpaperPath() const { return m_wallpaperPath; }
    const QString& videoPath() const { return m_videoPath; }
    // The newest snapshot of a customer, relative to the working folder; publishing uploads it.
    const QString& snapshotName() const { return m_snapshotName; }
    QString settingsPath() const;

    // Publishing on the web: button 5.
    Publisher& publisher() const { return *m_publisher; }

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
    void setButtonState(int index, bool on);
    bool isOn(int index) const;
    void refreshSoundList();
    void ApplyPanelSettings();
    void RestoreBannerSettings();
    void loadIdlePicture();
    QString pathIn(const QString& name) const;
    QString chooseFile(const QString& folder, const QString& title, const QString& filter);
    void showIdlePicture();

    VideoPlayer& ensureVideoPlayer();
    void watchVideo();
    BackgroundWindow& ensureBackgroundWindow();
    void buildTrayMenu();
    void trayMessage(bool menu, QPoint position);

    PanelEnvironment m_env;
    std::array<PictureButton*, 9> m_buttons{};
    std::array<QScrollBar*, 3> m_sensorSliders{};
    std::array<QLabel*, 11> m_sensorLabels{};
    QScrollBar* m_speedSlider = nullptr;
    QScrollBar* m_alignmentSlider = nullptr;
    QPlainTextEdit* m_messageEdit = nullptr;
    QListWidget* m_soundList = nullptr;
    QLabel* m_hintLabel = nullptr;
    QLabel* m_cameraHelpLink = nullptr;
    QLabel* m_donationLink = nullptr;
    QLabel* m_separator = nullptr;
    QLabel* m_sourceLabel = nullptr;              // the source the detector watches
    LiveView* m_liveView = nullptr;               // live view
    QPixmap m_idlePicture;                        // idle picture
    std::unique_ptr<BannerWindow> m_bannerWindow; // the banner, made on its first start

    QTimer m_detectorTimer;
    QTimer m_holdOffTimer;
    QTimer m_videoWatchTimer;
    QTimer m_autoHideTimer;

    QString m_bannerRunning = QStringLiteral("0");
    QString m_wallpaperPath;
    QString m_videoPath;
    QString m_snapshotName;
    CameraChoice m_cameraChoice;
    std::unique_ptr<FrameSource> m_source;
    MotionDetector m_detector;
    std::unique_ptr<SnapshotWriter> m_snapshots;
    QString m_currentSound; // the path last opened under the alias "med"
    bool m_unloaded = false;
    bool m_settingsApplied = false; // until then a close must not save over the stored settings

    std::unique_ptr<BackgroundWindow> m_backgroundWindow; // the background picture, made when first shown
    std::unique_ptr<VideoPlayer> m_videoPlayer;           // the background video, made when first played
    QMenu* m_trayMenu = nullptr;
    bool m_trayBusy = false; // a tray message is being handled: the next one is ignored
    std::unique_ptr<Publisher> m_publisher;
};
