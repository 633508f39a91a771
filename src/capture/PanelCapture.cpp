// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of capture: the camera and the detector's tick.
#include "app/Form1.h"

#include <QLabel>

void Form1::WebCamConectar() {
    // The frame source is attached by capture.
}

void Form1::WebCamApagar() {
    m_picture1->clear();
}

void Form1::TmrReloj_Timer() {
    if (m_bannerRunning == QLatin1String("1")) {
        return;
    }
    // No frame source yet: a tick without a frame ends here, as with a missing camera.
}
