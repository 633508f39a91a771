// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/OpeningSchedule.h"
#include "audience/VisitLog.h"

#include <QObject>

// What the display did for the shop: every answer to a customer goes into the log with the
// detector's level of that tick, and today's count is kept at hand for the panel.
class Audience : public QObject {
    Q_OBJECT
public:
    Audience(const QString& workFolder, OpeningSchedule::Clock clock = {}, QObject* parent = nullptr);

    // The detector's level of the latest tick; the answer that follows is logged with it.
    void setLevel(int level) { m_level = level; }
    void record(VisitAnswer answer);

    const VisitLog& log() const { return m_log; }
    VisitCounts counts() const { return m_log.count(m_clock().date()); }
    int todayCount();

    // PageName-visitas.csv and -visitas.html written in the working folder; their names.
    QStringList writePages(const QString& pageName) const;

signals:
    void recorded();

private:
    QString m_folder;
    OpeningSchedule::Clock m_clock;
    VisitLog m_log;
    int m_level = 0;
    QDate m_countedDay;
    int m_todayCount = 0;
};
