// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the background video and the background picture.
#include "app/Form1.h"

void Form1::DetenerVideo() {
    if (!m_tmrVideoPlay.isActive()) {
        return;
    }
    m_tmrVideoPlay.stop();
    m_tmrReloj.start();
}
