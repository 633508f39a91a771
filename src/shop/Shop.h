// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/VisitLog.h"
#include "shop/Outputs.h"

#include <QObject>
#include <QString>
#include <QTimer>

// The shop's rules, without a single widget: which features are switched on, whether the show runs,
// how a customer is answered, and what a start or a close may touch. The panel draws this state and
// turns clicks into calls; the tray, a signal from the system and a second copy of the program call
// the same methods. The outputs (camera, greeting, message, picture, video) are driven through the
// small interfaces of Outputs.h.
class Shop : public QObject {
    Q_OBJECT
public:
    // Why a start or a close may or may not save: settings read from disk are only written back once
    // they have been applied, so a close in the middle of the start-up leaves every file as it was.
    enum class Phase { Starting, Running, Closed };

    static constexpr int HoldOffMs = 7000;  // the quiet seconds after an answer
    static constexpr int AutoHideMs = 5000; // the panel goes away again after this, during the show

    explicit Shop(ShopOutputs outputs, QObject* parent = nullptr);

    // ---- switches
    bool detecting() const { return m_detection; }
    bool pictureOn() const { return m_picture; }
    bool soundsOn() const { return m_sounds; }
    bool messageOn() const { return m_message; }
    bool videoOn() const { return m_video; }
    bool advertising() const { return m_advertising; }

    // The camera and the detector's tick. Switching detection off also switches the video off (the
    // video answers customers the camera sees).
    void setDetection(bool on);
    // A picture or video needs a file: an empty path leaves the switch off and the stored path alone.
    void choosePicture(const QString& path);
    void switchPictureOff();
    void setSounds(bool on);
    // The message and the video exclude each other; a chosen video also switches detection on.
    void setMessage(bool on);
    void chooseVideo(const QString& path);
    void switchVideoOff();
    const QString& picturePath() const { return m_picturePath; }
    const QString& videoPath() const { return m_videoPath; }

    // The show. It starts only when it has something to show: the picture or the message without the
    // video, or the greeting or video with detection on.
    bool canAdvertise() const;
    bool startAdvertising();
    void stopAdvertising();
    // While the show runs the switches are locked: they cannot change under it.
    bool switchesLocked() const { return m_advertising; }

    // ---- opening hours
    // Outside them the show pauses: no greeting, message or video, the picture taken down; the
    // camera, the snapshots and the log go on. Back open, the show resumes by itself.
    void setOpen(bool open);
    bool isOpen() const { return m_open; }
    bool showPaused() const { return m_advertising && !m_open; }

    // ---- answering a customer
    // The detector saw someone. With the show running and outside the hold-off: the greeting, then
    // the message or the video, or only the greeting with the panel out of the way and seven quiet
    // seconds. While the show pauses, the visitor is only counted, at most once per hold-off.
    void answerCustomer();
    bool holdingOff() const { return m_holdOff.isActive(); }
    // The message window showing: the detector pauses, no one else is answered.
    bool messageShowing() const { return m_messageShowing; }
    // The message went through once while the camera watches: it goes away, then the hold-off.
    void messagePassFinished();
    bool videoPlaying() const { return m_videoPlaying; }
    // The video reached its end (or could not be played): hold-off, then detection again.
    void videoFinished();
    // Detection runs, but for the video: the camera is open and the tick goes on (publishing sends
    // pictures meanwhile, and the message goes away after one pass).
    bool detectorRunning() const { return m_detection && !m_videoPlaying; }
    // Whether the detector's tick looks at a frame now: not while the message or the video shows.
    bool watching() const { return detectorRunning() && !m_messageShowing; }

    // ---- the panel
    // Brought back by the tray, Esc on an output or a second copy of the program: during the show it
    // goes away again after a few seconds.
    void bringPanelBack();
    // Brought back to stay ("Abrir Pregonar").
    void openPanel();

    // ---- start-up and close
    // The switches as the settings files keep them.
    struct SavedSwitches {
        bool detection = false;
        bool picture = false;
        bool sounds = false;
        bool message = false;
        bool video = false;
        bool advertising = false;
        QString picturePath;
        QString videoPath;
    };
    Phase phase() const { return m_phase; }
    // Puts the saved switches back and replays the ones that start something, as a click would:
    // the message, then detection, then the show. From then on a close saves the settings.
    void restore(const SavedSwitches& saved);
    // Stops every output; saves (saveRequested) only when the settings had been applied. Once.
    void close();

    // For tests and the panel's hover hints.
    QTimer& holdOffTimer() { return m_holdOff; }
    QTimer& autoHideTimer() { return m_autoHide; }

signals:
    void switchesChanged();
    void advertisingChanged(bool running);
    void panelAwayRequested();
    void panelBackRequested();
    // Write the settings (both records and the message) from the current state.
    void saveRequested();
    void picturePathChosen(const QString& path);
    void videoPathChosen(const QString& path);
    void closed();
    void showPausedChanged(bool paused);
    // A customer was answered (or seen while the show pauses), for the audience log.
    void customerAnswered(VisitAnswer answer);

private:
    void greet();
    void showOutputs();
    void hideOutputs();
    void startMessage();
    void stopMessage();
    void startVideo();
    void stopVideo();

    ShopOutputs m_out;
    bool m_detection = false;
    bool m_picture = false;
    bool m_sounds = false;
    bool m_message = false;
    bool m_video = false;
    bool m_advertising = false;
    bool m_messageShowing = false;
    bool m_videoPlaying = false;
    bool m_open = true;
    QString m_picturePath;
    QString m_videoPath;
    Phase m_phase = Phase::Starting;
    QTimer m_holdOff;
    QTimer m_autoHide;
};
