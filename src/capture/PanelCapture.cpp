// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of capture: the camera, the detector's tick and the answer to a customer.
#include "app/Form1.h"

#include "app/PictureButton.h"
#include "capture/CameraDialog.h"
#include "capture/FrameSource.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "platform/CaptureSources.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>

void Form1::WebCamConectar() {
    if (!m_source) {
        m_source = m_env.makeSource ? m_env.makeSource(m_cameraChoice) : makeFrameSource(m_cameraChoice);
    }
    // A camera just switched on is compared with its own first frame, not with an old one.
    m_detector.restart();
    m_source->start();
}

void Form1::WebCamApagar() {
    m_picture1->clear();
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
}

void Form1::showIdlePicture() {
    m_picture1->showPicture(m_picture3);
}

void Form1::TmrReloj_Timer() {
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
        if (!m_source || !m_source->isActive() || !m_picture1->isShowingFrame()) {
            showIdlePicture();
        }
        return;
    }
    m_picture1->showFrame(&m_detector.view());
    m_lblSensor[8]->setText(result->text);
    if (result->triggers) {
        // A picture of the customer for the web, at most one a second, written off this tick.
        const QDateTime now = QDateTime::currentDateTime();
        if (m_snapshots->isDue(now)) {
            m_snapshots->offer(m_detector.reference(), now);
        }
        if (boton(Publicidad)->appearance() == 1) {
            RespuestaMovimiento();
        }
    }
}

void Form1::RespuestaMovimiento() {
    if (isOn(Mensaje) && !m_tmrAutoOFF.isActive()) {
        ActivarSonido();
        IniciarBanner();
    }
    if (isOn(Video) && !m_tmrAutoOFF.isActive()) {
        ActivarSonido();
        IniciarVideo();
    }
    if (!isOn(Mensaje) && !isOn(Video) && !m_tmrAutoOFF.isActive()) {
        ActivarSonido();
        hide();
        m_tmrAutoOFF.start();
    }
}

void Form1::ConfigurarCamara() {
    CameraDialog dialog(m_cameraChoice, availableCameras(), m_env.dialogs, pathIn(QStringLiteral("Videos")),
                        this);
    if (dialog.exec() != QDialog::Accepted || dialog.choice() == m_cameraChoice) {
        return;
    }
    m_cameraChoice = dialog.choice();
    m_cameraChoice.write(pathIn(QStringLiteral("Pregonar.CAM")));
    m_lblCamara->setText(QStringLiteral("Fuente: ") + m_cameraChoice.describe());
    // A running detection moves to the new source at once.
    if (m_source) {
        WebCamApagar();
        WebCamConectar();
    }
}
