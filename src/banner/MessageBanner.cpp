// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/MessageBanner.h"

#include "banner/BannerWindow.h"

MessageBanner::MessageBanner(std::function<bool()> detectionRunning, std::function<QString()> text,
                             QObject* parent)
    : QObject(parent)
    , m_detectionRunning(std::move(detectionRunning))
    , m_text(std::move(text)) {}

MessageBanner::~MessageBanner() = default;

void MessageBanner::show() {
    if (!m_window) {
        m_window = std::make_unique<BannerWindow>(m_detectionRunning);
        connect(m_window.get(), &BannerWindow::passFinished, this, &MessageBanner::passFinished);
        connect(m_window.get(), &BannerWindow::escapePressed, this, &MessageBanner::escapePressed);
        if (m_speed >= 0)
            m_window->layout().setSpeed(m_speed);
        if (m_alignment >= 0)
            m_window->layout().setAlignmentFromSlider(m_alignment);
    }
    m_window->start(m_text ? m_text() : QString());
}

void MessageBanner::hide() {
    if (m_window)
        m_window->stop();
}

void MessageBanner::setSpeed(int speed) {
    m_speed = speed;
    if (m_window)
        m_window->layout().setSpeed(speed);
}

void MessageBanner::setAlignment(int sliderValue) {
    m_alignment = sliderValue;
    // The window takes the alignment at its next layout; moving the slider does not create it.
    if (m_window)
        m_window->layout().setAlignmentFromSlider(sliderValue);
}
