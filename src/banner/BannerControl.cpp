// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's control of the banner: start, stop and the two sliders.
#include "app/ControlPanel.h"
#include "banner/BannerWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

void ControlPanel::startBanner() {
    if (m_bannerRunning != QLatin1String("0")) {
        return;
    }
    m_bannerRunning = QStringLiteral("1");
    hide();
    if (!m_bannerWindow) {
        m_bannerWindow = std::make_unique<BannerWindow>([this] { return m_detectorTimer.isActive(); });
        connect(m_bannerWindow.get(), &BannerWindow::passFinished, this, [this] {
            m_holdOffTimer.start();
            stopBanner();
        });
        connect(m_bannerWindow.get(), &BannerWindow::escapePressed, this, [this] {
            showPanel();
            m_autoHideTimer.start();
        });
        applyBannerSpeed();
        applyBannerAlignment();
    }
    m_bannerWindow->start(m_messageEdit->toPlainText());
}

void ControlPanel::stopBanner() {
    if (m_bannerRunning != QLatin1String("1")) {
        return;
    }
    m_bannerRunning = QStringLiteral("0");
    if (m_bannerWindow) {
        m_bannerWindow->stop();
    }
}

void ControlPanel::applyBannerSpeed() {
    if (m_bannerWindow) {
        m_bannerWindow->layout().setSpeed(m_speedSlider->value());
    }
}

void ControlPanel::applyBannerAlignment() {
    static const std::array<std::pair<const char*, Qt::Alignment>, 3> kAlign{{
        {"Izquierda", Qt::AlignLeft},
        {"Centrar", Qt::AlignHCenter},
        {"Derecha", Qt::AlignRight},
    }};
    const int value = m_alignmentSlider->value();
    if (value < 0 || value > 2) {
        return;
    }
    m_sensorLabels[7]->setText(QString::fromLatin1(kAlign[size_t(value)].first));
    // The message box shows the layout the banner will use.
    QTextOption option = m_messageEdit->document()->defaultTextOption();
    option.setAlignment(kAlign[size_t(value)].second);
    m_messageEdit->document()->setDefaultTextOption(option);
    // The banner takes the alignment at its next layout; moving the slider does not create it.
    if (m_bannerWindow) {
        m_bannerWindow->layout().setAlignmentFromSlider(value);
    }
}
