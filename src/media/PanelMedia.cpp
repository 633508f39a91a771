// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the advertising outputs: sound, background picture and video.
#include "app/Form1.h"

void Form1::CerrarTodo() {
    // Nothing plays until the sound device is attached.
}

void Form1::DetenerVideo() {
    if (!m_tmrVideoPlay.isActive()) {
        return;
    }
    m_tmrVideoPlay.stop();
    m_tmrReloj.start();
}
