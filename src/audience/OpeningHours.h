// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// When the shop is open, kept in Pregonar.HOR: seven lines, Monday first, each closed (empty) or one
// or two periods, `09:00-13:00,15:00-20:00`. A period ends on the day it starts (24:00 at the
// latest). Without the file the shop is always open.
class OpeningHours {
public:
    static inline const QString kFileName = QStringLiteral("Pregonar.HOR");
    static constexpr int kMaxPeriods = 2;

    struct Period {
        int from = 0; // minutes after midnight
        int to = 0;   // after `from`, at most 24 * 60
        bool operator==(const Period&) const = default;
    };
    struct Day {
        bool allDay = true;    // open the whole day (no file, or a line that could not be read)
        QList<Period> periods; // when not all day; empty: closed
        bool operator==(const Day&) const = default;
    };

    // Always open.
    OpeningHours() = default;

    // Reads the file. A missing file: always open. A damaged line: that day open all day, and a
    // message for the owner in `problems`.
    static OpeningHours read(const QString& path, QStringList* problems = nullptr);
    // Written atomically.
    bool write(const QString& path, QString* error = nullptr) const;

    // One day's text (`09:00-13:00,15:00-20:00`, empty: closed): the day, or a message in Spanish.
    static std::optional<Day> parseDay(const QString& text, QString* problem = nullptr);
    static QString dayText(const Day& day);
    // "lunes" ... "domingo".
    static QString dayName(int index);

    const Day& day(int index) const { return m_days[size_t(index)]; }
    void setDay(int index, const Day& day) { m_days[size_t(index)] = day; }
    bool alwaysOpen() const;

    bool isOpen(const QDateTime& when) const;
    // The first moment after `when` at which isOpen changes; invalid when it never does.
    QDateTime nextChange(const QDateTime& when) const;

    bool operator==(const OpeningHours&) const = default;

private:
    std::array<Day, 7> m_days{};
};
