// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of capture: the camera, the detector's tick and the answer to a customer.
#include "app/ControlPanel.h"

#include "app/PictureButton.h"
#include "capture/CameraDialog.h"
#include "capture/FrameSource.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "platform/CaptureSources.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>

void ControlPanel::startCamera() {
    if (!m_source) {
        m_source = m_env.makeSource ? m_env.makeSource(m_cameraChoice) : makeFrameSource(m_cameraChoice);
    }
    // A camera just switched on is compared with its own first frame, not with an old one.
    m_detector.restart();
    m_source->start();
}

void ControlPanel::stopCamera() {
    m_liveView->clear();
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
}

void ControlPanel::showIdlePicture() {
    m_liveView->showPicture(m_idlePicture);
}

void ControlPanel::detectorTick() {
    if (m_bannerRunning == QLatin1String("1")) {
        return;
    }
    // The frame goes straight from the source's buffer into the detector's 320 x 240 view: no
    // clipboard, no picture copied on the way.
    std::optional<MotionResult> result;
    if (m_source) {
        m_source->withNewestFrame(
            [this, &result](const FrameView& frame) { result = m_detector.process(frame); });
    }
    if (!result) {
        // No frame: nothing is compared, drawn or answered. A camera that only skipped a frame
        // keeps its last one on view; the idle picture is for a camera that is not there.
        if (!m_source || !m_source->isActive() || !m_liveView->isShowingFrame()) {
            showIdlePicture();
        }
        return;
    }
    m_liveView->showFrame(&m_detector.view());
    m_sensorLabels[8]->setText(result->text);
    if (result->triggers) {
        // A picture of the customer for the web, at most one a second, written off this tick.
        const QDateTime now = QDateTime::currentDateTime();
        if (m_snapshots->isDue(now)) {
            m_snapshots->offer(m_detector.reference(), now);
        }
        if (button(Advertising)->appearance() == 1) {
            answerCustomer();
        }
    }
}

void ControlPanel::answerCustomer() {
    if (isOn(Message) && !m_holdOffTimer.isActive()) {
        greet();
        startBanner();
    }
    if (isOn(Video) && !m_holdOffTimer.isActive()) {
        greet();
        startVideo();
    }
    if (!isOn(Message) && !isOn(Video) && !m_holdOffTimer.isActive()) {
        greet();
        hide();
        m_holdOffTimer.start();
    }
}

void ControlPanel::chooseCamera() {
    CameraDialog dialog(m_cameraChoice, availableCameras(), m_env.dialogs, pathIn(QStringLiteral("Videos")),
                        this);
    if (dialog.exec() != QDialog::Accepted || dialog.choice() == m_cameraChoice) {
        return;
    }
    m_cameraChoice = dialog.choice();
    m_cameraChoice.write(pathIn(QStringLiteral("Pregonar.CAM")));
    m_sourceLabel->setText(QStringLiteral("Fuente: ") + m_cameraChoice.describe());
    // A running detection moves to the new source at once.
    if (m_source) {
        stopCamera();
        startCamera();
    }
}
