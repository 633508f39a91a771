// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/BackgroundPicture.h"

#include "media/BackgroundWindow.h"

#include <QLabel>

BackgroundPicture::BackgroundPicture(std::function<bool()> panelVisible, QObject* parent)
    : QObject(parent)
    , m_panelVisible(std::move(panelVisible)) {}

BackgroundPicture::~BackgroundPicture() = default;

void BackgroundPicture::show(const QString& path) {
    if (!m_window) {
        m_window = std::make_unique<BackgroundWindow>();
        connect(m_window.get(), &BackgroundWindow::escapePressed, this, &BackgroundPicture::escapePressed);
        m_window->coverScreen();
        // A picture that cannot be read leaves the window black; the background is up all the same.
        if (!path.isEmpty()) {
            m_window->loadPicture(path);
            m_window->pictureLabel()->show();
        }
    }
    m_window->show();
    m_window->raise();
    if (m_panelVisible && !m_panelVisible())
        m_window->activateWindow();
    emit shown();
}

void BackgroundPicture::hide() {
    m_window.reset();
}
