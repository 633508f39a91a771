// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/Audience.h"
#include "audience/OpeningSchedule.h"

#include <QObject>
#include <QStringList>

#include <memory>

class Capture;
class HoursDialog;
class QLabel;
class QWidget;
class Shop;
class VisitsWindow;

// The panel's side of the audience and the opening hours: the log fed by the shop's answers and the
// detector's level, the schedule that pauses the show, the count under the live view and the two
// windows ("Visitas", "Horario de atención").
class AudienceViews : public QObject {
    Q_OBJECT
public:
    AudienceViews(const QString& workFolder, Shop& shop, Capture& capture, QWidget* window,
                  OpeningSchedule::Clock clock = {});
    ~AudienceViews() override;

    Audience& audience() { return m_audience; }
    OpeningSchedule& schedule() { return m_schedule; }
    // "Hoy: 23 visitas"; a click opens the Visitas window.
    QLabel* todayLabel() const { return m_todayLabel; }
    // Damaged lines of Pregonar.HOR, shown when the dialog opens.
    const QStringList& hoursProblems() const { return m_problems; }

    void showVisits();
    void showHours();
    VisitsWindow* visitsWindow() const { return m_visits.get(); }
    HoursDialog* hoursDialog() const { return m_hours.get(); }

private:
    void drawCount();

    QString m_folder;
    QWidget* m_window;
    OpeningSchedule m_schedule;
    Audience m_audience;
    QStringList m_problems;
    QLabel* m_todayLabel;
    std::unique_ptr<VisitsWindow> m_visits;
    std::unique_ptr<HoursDialog> m_hours;
};
