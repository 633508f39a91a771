// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "shop/Shop.h"

#include <optional>

Shop::Shop(ShopOutputs outputs, QObject* parent)
    : QObject(parent)
    , m_out(outputs) {
    m_holdOff.setSingleShot(true);
    m_holdOff.setInterval(HoldOffMs);
    m_autoHide.setSingleShot(true);
    m_autoHide.setInterval(AutoHideMs);
    connect(&m_autoHide, &QTimer::timeout, this, &Shop::panelAwayRequested);
}

// ---------------------------------------------------------------- switches

void Shop::setDetection(bool on) {
    if (switchesLocked() || on == m_detection)
        return;
    m_detection = on;
    if (m_out.camera) {
        // Opened afresh: a camera that was already open starts again from its first frame.
        m_out.camera->stop();
        if (on)
            m_out.camera->start();
    }
    if (!on && m_video)
        m_video = false;
    emit switchesChanged();
}

void Shop::choosePicture(const QString& path) {
    if (switchesLocked() || path.isEmpty())
        return;
    m_picture = true;
    m_picturePath = path;
    emit picturePathChosen(path);
    emit switchesChanged();
}

void Shop::switchPictureOff() {
    if (switchesLocked() || !m_picture)
        return;
    m_picture = false;
    emit switchesChanged();
}

void Shop::setSounds(bool on) {
    if (switchesLocked() || on == m_sounds)
        return;
    m_sounds = on;
    if (!on && m_out.greeting)
        m_out.greeting->stopAll();
    emit switchesChanged();
}

void Shop::setMessage(bool on) {
    if (switchesLocked() || on == m_message)
        return;
    if (on)
        m_video = false;
    m_message = on;
    emit switchesChanged();
}

void Shop::chooseVideo(const QString& path) {
    if (switchesLocked() || path.isEmpty())
        return;
    m_video = true;
    m_videoPath = path;
    m_message = false;
    emit videoPathChosen(path);
    if (!m_detection)
        setDetection(true); // emits switchesChanged
    else
        emit switchesChanged();
}

void Shop::switchVideoOff() {
    if (switchesLocked() || !m_video)
        return;
    m_video = false;
    emit switchesChanged();
}

// ---------------------------------------------------------------- the show

bool Shop::canAdvertise() const {
    return ((m_picture || m_message) && !m_video) || (m_detection && m_sounds) || (m_detection && m_video);
}

bool Shop::startAdvertising() {
    if (m_advertising || !canAdvertise())
        return false;
    m_advertising = true;
    emit panelAwayRequested();
    if (m_open)
        showOutputs();
    emit advertisingChanged(true);
    if (!m_open)
        emit showPausedChanged(true);
    emit saveRequested();
    return true;
}

void Shop::stopAdvertising() {
    if (!m_advertising)
        return;
    m_autoHide.stop();
    m_advertising = false;
    hideOutputs();
    emit advertisingChanged(false);
    if (!m_open)
        emit showPausedChanged(false);
}

void Shop::showOutputs() {
    if (m_picture && m_out.picture)
        m_out.picture->show(m_picturePath);
    if (m_message)
        startMessage();
}

void Shop::hideOutputs() {
    if (m_picture && m_out.picture)
        m_out.picture->hide();
    stopMessage();
    stopVideo();
    if (m_out.greeting)
        m_out.greeting->stopAll();
}

// ---------------------------------------------------------------- opening hours

void Shop::setOpen(bool open) {
    if (open == m_open || m_phase == Phase::Closed)
        return;
    m_open = open;
    if (!m_advertising)
        return;
    if (open)
        showOutputs();
    else
        hideOutputs();
    emit showPausedChanged(!open);
}

// ---------------------------------------------------------------- answering a customer

void Shop::greet() {
    if (m_detection && m_sounds && m_out.greeting && !m_out.greeting->playing())
        m_out.greeting->play();
}

void Shop::answerCustomer() {
    if (!m_advertising || !watching())
        return;
    if (!m_open) {
        if (!holdingOff()) {
            m_holdOff.start();
            emit customerAnswered(VisitAnswer::Closed);
        }
        return;
    }
    // Each step reads the switches and the hold-off anew, as the answer always has.
    std::optional<VisitAnswer> answer;
    if (m_message && !holdingOff()) {
        greet();
        startMessage();
        answer = VisitAnswer::Message;
    }
    if (m_video && !holdingOff()) {
        greet();
        startVideo();
        answer = VisitAnswer::Video;
    }
    if (!m_message && !m_video && !holdingOff()) {
        greet();
        emit panelAwayRequested();
        m_holdOff.start();
        answer = VisitAnswer::Sound;
    }
    if (answer)
        emit customerAnswered(*answer);
}

void Shop::startMessage() {
    if (m_messageShowing)
        return;
    m_messageShowing = true;
    emit panelAwayRequested();
    if (m_out.message)
        m_out.message->show();
}

void Shop::stopMessage() {
    if (!m_messageShowing)
        return;
    m_messageShowing = false;
    if (m_out.message)
        m_out.message->hide();
}

void Shop::messagePassFinished() {
    if (!m_messageShowing)
        return;
    m_holdOff.start();
    stopMessage();
}

void Shop::startVideo() {
    m_videoPlaying = true;
    if (m_out.video)
        m_out.video->play(m_videoPath);
}

void Shop::stopVideo() {
    if (!m_videoPlaying)
        return;
    m_videoPlaying = false;
    if (m_out.video)
        m_out.video->stop();
}

void Shop::videoFinished() {
    if (!m_videoPlaying)
        return;
    m_holdOff.start();
    stopVideo();
}

// ---------------------------------------------------------------- the panel

void Shop::bringPanelBack() {
    emit panelBackRequested();
    if (m_advertising)
        m_autoHide.start();
}

void Shop::openPanel() {
    m_autoHide.stop();
    emit panelBackRequested();
}

// ---------------------------------------------------------------- start-up and close

void Shop::restore(const SavedSwitches& saved) {
    if (m_phase != Phase::Starting)
        return;
    m_picture = saved.picture;
    m_picturePath = saved.picturePath;
    m_sounds = saved.sounds;
    m_video = saved.video;
    m_videoPath = saved.videoPath;
    m_phase = Phase::Running;
    emit switchesChanged();
    if (saved.message)
        setMessage(true);
    if (saved.detection)
        setDetection(true);
    if (saved.advertising)
        startAdvertising();
}

void Shop::close() {
    if (m_phase == Phase::Closed)
        return;
    const bool save = m_phase == Phase::Running;
    m_phase = Phase::Closed;
    m_autoHide.stop();
    m_holdOff.stop();
    stopMessage();
    stopVideo();
    if (m_out.greeting)
        m_out.greeting->stopAll();
    // Saved before anything below is reset: the next start finds the shop as it was closed.
    if (save)
        emit saveRequested();
    if (m_out.camera)
        m_out.camera->stop();
    emit closed();
}
