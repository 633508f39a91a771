// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/OpeningHours.h"

#include "settings/AtomicSave.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kDayMinutes = 24 * 60;

QString clock(int minutes) {
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// "HH:MM", 00:00 to 24:00; -1 otherwise.
int minutesOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return -1;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if (hours > 24 || minutes > 59 || (hours == 24 && minutes != 0))
        return -1;
    return hours * 60 + minutes;
}

} // namespace

QString OpeningHours::dayName(int index) {
    static const std::array<const char16_t*, 7> kNames{u"lunes",   u"martes", u"miércoles", u"jueves",
                                                       u"viernes", u"sábado", u"domingo"};
    return QString::fromUtf16(kNames[size_t(std::clamp(index, 0, 6))]);
}

std::optional<OpeningHours::Day> OpeningHours::parseDay(const QString& text, QString* problem) {
    const auto refuse = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    Day day;
    day.allDay = false;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return day; // closed
    const QStringList parts = trimmed.split(u',');
    if (parts.size() > kMaxPeriods)
        return refuse(QStringLiteral("«%1»: como mucho dos horarios por día.").arg(trimmed));
    for (const QString& part : parts) {
        const QStringList ends = part.split(u'-');
        const int from = ends.size() == 2 ? minutesOf(ends[0]) : -1;
        const int to = ends.size() == 2 ? minutesOf(ends[1]) : -1;
        if (from < 0 || to < 0)
            return refuse(
                QStringLiteral("«%1» no es un horario: escríbalo como 09:00-13:00.").arg(part.trimmed()));
        if (to <= from)
            return refuse(QStringLiteral("«%1» termina antes de empezar: un horario no puede pasar de la "
                                         "medianoche (use 24:00 y siga el día siguiente desde 00:00).")
                              .arg(part.trimmed()));
        day.periods << Period{from, to};
    }
    std::sort(day.periods.begin(), day.periods.end(),
              [](const Period& a, const Period& b) { return a.from < b.from; });
    for (qsizetype i = 1; i < day.periods.size(); ++i) {
        if (day.periods[i].from < day.periods[i - 1].to)
            return refuse(
                QStringLiteral("«%1» y «%2» se superponen.")
                    .arg(dayText(Day{false, {day.periods[i - 1]}}), dayText(Day{false, {day.periods[i]}})));
    }
    if (day.periods == QList<Period>{Period{0, kDayMinutes}})
        return Day{}; // open all day
    return day;
}

QString OpeningHours::dayText(const Day& day) {
    if (day.allDay)
        return QStringLiteral("00:00-24:00");
    QStringList parts;
    for (const Period& period : day.periods)
        parts << clock(period.from) + u'-' + clock(period.to);
    return parts.join(u',');
}

OpeningHours OpeningHours::read(const QString& path, QStringList* problems) {
    OpeningHours hours;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return hours;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int i = 0; i < 7; ++i) {
        QString line = lines.value(i);
        line.remove(u'\r');
        QString problem;
        if (const auto day = parseDay(line, &problem)) {
            hours.m_days[size_t(i)] = *day;
        } else if (problems) {
            *problems << QStringLiteral("El horario del %1 en %2 no se pudo leer (%3); ese día se toma como "
                                        "abierto todo el día.")
                             .arg(dayName(i), kFileName, problem);
        }
    }
    return hours;
}

bool OpeningHours::write(const QString& path, QString* error) const {
    QByteArray content;
    for (const Day& day : m_days)
        content += dayText(day).toUtf8() + '\n';
    return saveAtomically(path, content, std::nullopt, {}, error);
}

bool OpeningHours::alwaysOpen() const {
    return std::all_of(m_days.begin(), m_days.end(), [](const Day& d) { return d.allDay; });
}

bool OpeningHours::isOpen(const QDateTime& when) const {
    const Day& day = m_days[size_t(when.date().dayOfWeek() - 1)];
    if (day.allDay)
        return true;
    const int second = when.time().msecsSinceStartOfDay() / 1000;
    return std::any_of(day.periods.begin(), day.periods.end(),
                       [second](const Period& p) { return second >= p.from * 60 && second < p.to * 60; });
}

QDateTime OpeningHours::nextChange(const QDateTime& when) const {
    const bool open = isOpen(when);
    // Every change falls on a midnight or on a period's start or end, within the next eight days.
    for (int offset = 0; offset <= 7; ++offset) {
        const QDate date = when.date().addDays(offset);
        QList<int> candidates{0};
        for (const Period& period : m_days[size_t(date.dayOfWeek() - 1)].periods)
            candidates << period.from << period.to;
        std::sort(candidates.begin(), candidates.end());
        for (int minutes : candidates) {
            const QDateTime moment = QDateTime(date, QTime(0, 0)).addSecs(qint64(minutes) * 60);
            if (moment > when && isOpen(moment) != open)
                return moment;
        }
    }
    return {};
}
