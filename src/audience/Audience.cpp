// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/Audience.h"

#include "audience/VisitPages.h"

#include <QDir>

Audience::Audience(const QString& workFolder, OpeningSchedule::Clock clock, QObject* parent)
    : QObject(parent)
    , m_folder(workFolder)
    , m_clock(clock ? std::move(clock) : OpeningSchedule::Clock([] { return QDateTime::currentDateTime(); }))
    , m_log(QDir(workFolder).filePath(VisitLog::kFileName)) {}

void Audience::record(VisitAnswer answer) {
    const QDateTime now = m_clock();
    if (!m_log.append(now, answer, m_level))
        return;
    if (m_countedDay == now.date())
        ++m_todayCount;
    emit recorded();
}

int Audience::todayCount() {
    const QDate today = m_clock().date();
    if (m_countedDay != today) { // read once a day; counted as visits are recorded after that
        m_todayCount = m_log.count(today).todayTotal();
        m_countedDay = today;
    }
    return m_todayCount;
}

QStringList Audience::writePages(const QString& pageName) const {
    return VisitPages::write(m_folder, pageName, counts(), m_clock());
}
