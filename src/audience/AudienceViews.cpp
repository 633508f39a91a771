// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/AudienceViews.h"

#include "audience/HoursDialog.h"
#include "audience/VisitsWindow.h"
#include "capture/Capture.h"
#include "shop/Shop.h"

#include <QDir>
#include <QLabel>

AudienceViews::AudienceViews(const QString& workFolder, Shop& shop, Capture& capture, QWidget* window,
                             OpeningSchedule::Clock clock)
    : m_folder(workFolder)
    , m_window(window)
    , m_schedule(clock)
    , m_audience(workFolder, clock)
    , m_todayLabel(new QLabel(window)) {
    connect(&capture, &Capture::compared, this,
            [this](const MotionResult& result) { m_audience.setLevel(result.level); });
    connect(&shop, &Shop::customerAnswered, &m_audience, &Audience::record);
    connect(&m_audience, &Audience::recorded, this, [this] {
        drawCount();
        if (m_visits && m_visits->isVisible())
            m_visits->setCounts(m_audience.counts());
    });
    connect(&m_schedule, &OpeningSchedule::openChanged, &shop, &Shop::setOpen);
    m_schedule.setHours(OpeningHours::read(QDir(workFolder).filePath(OpeningHours::kFileName), &m_problems));

    m_todayLabel->setAlignment(Qt::AlignCenter);
    m_todayLabel->setToolTip(QStringLiteral("Visitas"));
    connect(m_todayLabel, &QLabel::linkActivated, this, &AudienceViews::showVisits);
    drawCount();
    // Today's count starts again at midnight.
    connect(&m_schedule.timer(), &QTimer::timeout, this, &AudienceViews::drawCount);
}

AudienceViews::~AudienceViews() = default;

void AudienceViews::drawCount() {
    m_todayLabel->setText(
        QStringLiteral("<a href=\"#\">Hoy: %1</a>").arg(visitsText(m_audience.todayCount())));
}

void AudienceViews::showVisits() {
    if (!m_visits)
        m_visits = std::make_unique<VisitsWindow>();
    m_visits->setCounts(m_audience.counts());
    m_visits->show();
    m_visits->raise();
    m_visits->activateWindow();
}

void AudienceViews::showHours() {
    if (!m_hours) {
        m_hours = std::make_unique<HoursDialog>();
        m_hours->setSave([this](const OpeningHours& hours, QString* error) {
            if (!hours.write(QDir(m_folder).filePath(OpeningHours::kFileName), error))
                return false;
            m_problems.clear();
            m_schedule.setHours(hours);
            return true;
        });
    }
    if (m_hours->isVisible()) {
        m_hours->raise();
        return;
    }
    m_hours->setHours(m_schedule.hours(), m_problems);
    m_hours->open();
}
