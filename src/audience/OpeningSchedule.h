// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/OpeningHours.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The opening hours against the clock: says when the shop opens and closes, by itself, at the
// minute. The clock can be given (tests put it where they want it); the timer also looks again at
// least once a minute, so a clock set by hand or a machine woken from sleep is caught up with.
class OpeningSchedule : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kLongestWaitMs = 60'000;

    explicit OpeningSchedule(Clock clock = {}, QObject* parent = nullptr);

    void setHours(const OpeningHours& hours);
    const OpeningHours& hours() const { return m_hours; }
    bool isOpen() const { return m_open; }
    QDateTime now() const { return m_clock(); }

    // Looks at the clock now (the timer does this at each change).
    void check();
    QTimer& timer() { return m_timer; }

signals:
    void openChanged(bool open);

private:
    Clock m_clock;
    OpeningHours m_hours;
    bool m_open = true;
    QTimer m_timer;
};
