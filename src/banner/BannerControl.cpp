// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's control of the banner: start, stop and the two sliders.
#include "app/Form1.h"
#include "banner/Form3.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

void Form1::IniciarBanner() {
    if (m_bannerRunning != QLatin1String("0")) {
        return;
    }
    m_bannerRunning = QStringLiteral("1");
    hide();
    if (!m_form3) {
        m_form3 = std::make_unique<Form3>([this] { return m_tmrReloj.isActive(); });
        connect(m_form3.get(), &Form3::passFinished, this, [this] {
            m_tmrAutoOFF.start();
            DetenerBanner();
        });
        connect(m_form3.get(), &Form3::escapePressed, this, [this] {
            showPanel();
            m_tmrAutoHide.start();
        });
        SpeedBanner();
        AlignmentBanner();
    }
    m_form3->start(m_txtBanner->toPlainText());
}

void Form1::DetenerBanner() {
    if (m_bannerRunning != QLatin1String("1")) {
        return;
    }
    m_bannerRunning = QStringLiteral("0");
    if (m_form3) {
        m_form3->stop();
    }
}

void Form1::SpeedBanner() {
    if (m_form3) {
        m_form3->layout().setSpeed(m_hsbSpeed->value());
    }
}

void Form1::AlignmentBanner() {
    static const std::array<std::pair<const char*, Qt::Alignment>, 3> kAlign{{
        {"Izquierda", Qt::AlignLeft},
        {"Centrar", Qt::AlignHCenter},
        {"Derecha", Qt::AlignRight},
    }};
    const int value = m_hsbAlignment->value();
    if (value < 0 || value > 2) {
        return;
    }
    m_lblSensor[7]->setText(QString::fromLatin1(kAlign[size_t(value)].first));
    // The message box shows the layout the banner will use.
    QTextOption option = m_txtBanner->document()->defaultTextOption();
    option.setAlignment(kAlign[size_t(value)].second);
    m_txtBanner->document()->setDefaultTextOption(option);
    // The banner takes the alignment at its next layout; moving the slider does not create it.
    if (m_form3) {
        m_form3->layout().setAlignmentFromSlider(value);
    }
}
