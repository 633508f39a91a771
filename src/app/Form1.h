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
class Form2;
class FrameSource;
class LiveView;
class Mci;
class SnapshotWriter;
class Form3;
class Form4;
class FtpClient;
class PictureButton;
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
    // Makes the FTP client when publishing starts for the first time; empty gives the real one (cFTP).
    std::function<std::unique_ptr<FtpClient>()> ftpFactory;
};

// The control panel: the main window. It brings the program up, holds the state of every feature
// in its buttons and timers, and takes everything down when it closes.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Button indexes.
    enum Boton {
        Deteccion = 0,
        Imagen = 1,
        Camara = 2,
        SonidoActivar = 3,
        SonidoDesactivar = 4,
        Transferir = 5,
        Mensaje = 6,
        Publicidad = 7,
        Video = 8
    };

    explicit Form1(PanelEnvironment environment, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence. False when the program cannot go on (the working folder cannot be
    // written); the message has been shown then.
    bool load();
    // The orderly close: outputs stopped, settings saved, windows taken down. Runs once.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    // The panel's operations, by their names in the program.
    void PctBoton_Click(int index);
    void PctBoton_MouseMove(int index);
    void ResetHint();
    void HsbSensor_Change(int index);
    void HsbSpeed_Change();
    void HsbAlignment_Change();
    void WebCamConectar();
    void WebCamApagar();
    void TmrReloj_Timer();
    void RespuestaMovimiento();
    void ActivarSonido();
    QString EnviarMci(const QString& command);
    bool AbrirMedio(const QString& path);
    void ReproducirMedio();
    int EstadoMedio();
    void FilEfectoSonido_Click();
    // Button 2: the camera and its format.
    void ConfigurarCamara();
    const CameraChoice& cameraChoice() const { return m_cameraChoice; }
    QLabel* lblCamara() const { return m_lblCamara; }
    FrameSource* frameSource() const { return m_source.get(); }
    MotionDetector& detector() { return m_detector; }
    SnapshotWriter* snapshots() const { return m_snapshots.get(); }
    void IniciarBanner();
    void DetenerBanner();
    void SpeedBanner();
    void AlignmentBanner();
    void CerrarTodo();
    void DetenerVideo();
    void SavePanelSettings();
    void SaveBannerSettings();
    // Brings the panel back in front, at its normal size.
    void showPanel();
    // The panel called back (tray icon, a second copy): shown, and while advertising runs it goes
    // away again after the auto-hide time.
    void bringPanelBack();

    // The advertising outputs and the tray menu (media/PanelVideo.cpp, app/PanelTray.cpp).
    void IniciarVideo();
    bool ExisteWallpaper();
    // Shows the background picture window, loading it the first time.
    void MostrarFondo();
    Form4* form4() const { return m_form4.get(); }
    VideoPlayer* mplayer() const { return m_mplayer.get(); }
    QMenu* mnuBar() const { return m_mnuBar; }

    // Read-only views for the rest of the program and for tests.
    PictureButton* boton(int index) const { return m_botones[size_t(index)]; }
    QScrollBar* sensor(int index) const { return m_sensores[size_t(index)]; }
    QLabel* lblSensor(int index) const { return m_lblSensor[size_t(index)]; }
    QScrollBar* hsbSpeed() const { return m_hsbSpeed; }
    QScrollBar* hsbAlignment() const { return m_hsbAlignment; }
    QPlainTextEdit* txtBanner() const { return m_txtBanner; }
    QListWidget* filEfectoSonido() const { return m_filEfectoSonido; }
    QLabel* lblAyuda() const { return m_lblAyuda; }
    QLabel* lblAyudaCam() const { return m_lblAyudaCam; }
    LiveView* picture1() const { return m_picture1; }
    Form3* form3() const { return m_form3.get(); }
    QTimer& tmrReloj() { return m_tmrReloj; }
    QTimer& tmrAutoOFF() { return m_tmrAutoOFF; }
    QTimer& tmrVideoPlay() { return m_tmrVideoPlay; }
    QTimer& tmrAutoHide() { return m_tmrAutoHide; }
    QTimer& tmrAutoSesion() { return m_tmrAutoSesion; }
    QTimer& tmrFTP() { return m_tmrFTP; }
    const QString& bannerRunning() const { return m_bannerRunning; }
    const QString& wallpaperPath() const { return m_wallpaperPath; }
    const QString& videoPath() const { return m_videoPath; }
    int uploadCounter() const { return m_uploadCounter; }
    // The newest snapshot of a customer, relative to the working folder; publishing uploads it.
    const QString& snapshotName() const { return m_snapshotName; }
    QString settingsPath() const;

    // Publishing on the web (publish/PanelPublish.cpp).
    void GuardarDatosFTP();
    void TmrFTP_Timer();
    void TmrAutoSesion_Timer();
    void LoadUploadSettings();
    Form2* form2() const;         // the FTP dialog, made when first opened
    FtpClient* ftpClient() const; // made when publishing first starts
    void setSnapshotName(const QString& name) { m_snapshotName = name; }
    const QString& lastGalleryName() const;

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

    VideoPlayer& MPlayer();
    void TmrVideoPlay_Timer();
    Form4& form4Window();
    void buildTrayMenu();
    void trayMessage(bool menu, QPoint position);

    struct Publicacion;
    void setUpPublishing();
    void AbrirForm2();
    void FTP_Conectado(bool ok);
    void FTP_Subido(const QString& remote, bool ok, const QString& error);
    void endPublishing();

    PanelEnvironment m_env;
    std::array<PictureButton*, 9> m_botones{};
    std::array<QScrollBar*, 3> m_sensores{};
    std::array<QLabel*, 11> m_lblSensor{};
    QScrollBar* m_hsbSpeed = nullptr;
    QScrollBar* m_hsbAlignment = nullptr;
    QPlainTextEdit* m_txtBanner = nullptr;
    QListWidget* m_filEfectoSonido = nullptr;
    QLabel* m_lblAyuda = nullptr;
    QLabel* m_lblAyudaCam = nullptr;
    QLabel* m_lblDonacion = nullptr;
    QLabel* m_pctSeparador = nullptr;
    QLabel* m_lblCamara = nullptr;  // the source the detector watches
    LiveView* m_picture1 = nullptr; // live view
    QPixmap m_picture3;             // idle picture
    std::unique_ptr<Form3> m_form3; // the banner, made on its first start

    QTimer m_tmrReloj;
    QTimer m_tmrAutoOFF;
    QTimer m_tmrVideoPlay;
    QTimer m_tmrAutoHide;
    QTimer m_tmrAutoSesion;
    QTimer m_tmrFTP;

    QString m_bannerRunning = QStringLiteral("0");
    QString m_wallpaperPath;
    QString m_videoPath;
    int m_uploadCounter = 0;
    QString m_snapshotName;
    CameraChoice m_cameraChoice;
    std::unique_ptr<FrameSource> m_source;
    MotionDetector m_detector;
    std::unique_ptr<SnapshotWriter> m_snapshots;
    QString m_medioActual; // the path last opened under the alias "med"
    bool m_unloaded = false;
    bool m_settingsApplied = false; // until then a close must not save over the stored settings

    std::unique_ptr<Form4> m_form4;         // the background picture, made when first shown
    std::unique_ptr<VideoPlayer> m_mplayer; // the background video, made when first played
    QMenu* m_mnuBar = nullptr;
    bool m_trayBusy = false; // a tray message is being handled: the next one is ignored
    std::unique_ptr<Publicacion> m_publicacion;
};
