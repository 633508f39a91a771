// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/VisitLog.h"

#include <QWidget>

class QLabel;

// Bars with their numbers, painted: one per value, a label under every `labelEvery`-th.
class BarChart : public QWidget {
    Q_OBJECT
public:
    explicit BarChart(QWidget* parent = nullptr);
    void setBars(QList<int> values, QStringList labels, int labelEvery);
    const QList<int>& values() const { return m_values; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<int> m_values;
    QStringList m_labels;
    int m_labelEvery = 1;
};

// "Visitas": today's visitors by hour and the last 30 days by day, with their totals.
class VisitsWindow : public QWidget {
    Q_OBJECT
public:
    explicit VisitsWindow(QWidget* parent = nullptr);
    void setCounts(const VisitCounts& counts);

    QLabel* todayTitle() const { return m_todayTitle; }
    QLabel* daysTitle() const { return m_daysTitle; }
    BarChart* todayChart() const { return m_today; }
    BarChart* daysChart() const { return m_days; }

private:
    QLabel* m_todayTitle;
    QLabel* m_daysTitle;
    BarChart* m_today;
    BarChart* m_days;
};

// "1 visita", "23 visitas".
QString visitsText(int count);
