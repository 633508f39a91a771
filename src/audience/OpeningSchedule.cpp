// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/OpeningSchedule.h"

OpeningSchedule::OpeningSchedule(Clock clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &OpeningSchedule::check);
}

void OpeningSchedule::setHours(const OpeningHours& hours) {
    m_hours = hours;
    check();
}

void OpeningSchedule::check() {
    const QDateTime now = m_clock();
    const bool open = m_hours.isOpen(now);
    const QDateTime next = m_hours.nextChange(now);
    m_timer.start(next.isValid() ? int(std::clamp<qint64>(now.msecsTo(next), 0, kLongestWaitMs))
                                 : kLongestWaitMs);
    if (open != m_open) {
        m_open = open;
        emit openChanged(open);
    }
}
