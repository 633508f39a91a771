// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/VisitLog.h"

#include <QFile>

#include <cstring>
#include <numeric>

QString visitAnswerName(VisitAnswer answer) {
    switch (answer) {
    case VisitAnswer::Sound:
        return QStringLiteral("sonido");
    case VisitAnswer::Message:
        return QStringLiteral("mensaje");
    case VisitAnswer::Video:
        return QStringLiteral("video");
    case VisitAnswer::Closed:
        break;
    }
    return QStringLiteral("cerrado");
}

int VisitCounts::todayTotal() const {
    return std::accumulate(todayByHour.begin(), todayByHour.end(), 0);
}

int VisitCounts::daysTotal() const {
    return std::accumulate(byDay.begin(), byDay.end(), 0);
}

bool VisitLog::append(const QDateTime& when, VisitAnswer answer, int level, QString* error) const {
    QFile file(m_path);
    // Unbuffered: the line goes to the file in one write, at its end (O_APPEND), whatever else is
    // written meanwhile.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray line;
    const qint64 size = file.size();
    if (size == 0) {
        line = kHeader + '\n';
    } else {
        // A last line cut short (no line break) is closed here, so the new one stands on its own.
        char last = '\n';
        if (file.seek(size - 1) && file.read(&last, 1) == 1 && last != '\n')
            line = "\n";
    }
    line += when.toString(QStringLiteral("yyyy-MM-dd,HH:mm:ss,")).toLatin1() +
            visitAnswerName(answer).toLatin1() + ',' + QByteArray::number(level) + '\n';
    if (file.write(line) != line.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

VisitCounts VisitLog::count(const QDate& today) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return count(QByteArray(), today);
    return count(file.readAll(), today);
}

namespace {

bool digits(const char* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
    }
    return true;
}

int number(const char* p, int n) {
    int value = 0;
    for (int i = 0; i < n; ++i)
        value = value * 10 + (p[i] - '0');
    return value;
}

// "yyyy-MM-dd,HH:mm:ss,answer,level": the hour, or -1 for a line that is not a visit.
int hourOf(const char* line, qsizetype length) {
    constexpr int kFixed = 20; // "2026-12-06,17:42:05,"
    if (length < kFixed + 3 || !digits(line, 4) || line[4] != '-' || !digits(line + 5, 2) || line[7] != '-' ||
        !digits(line + 8, 2) || line[10] != ',' || !digits(line + 11, 2) || line[13] != ':' ||
        !digits(line + 14, 2) || line[16] != ':' || !digits(line + 17, 2) || line[19] != ',')
        return -1;
    const char* answer = line + kFixed;
    const char* comma = static_cast<const char*>(std::memchr(answer, ',', size_t(length - kFixed)));
    if (!comma)
        return -1;
    const auto is = [&](const char* word) {
        return size_t(comma - answer) == std::strlen(word) &&
               std::memcmp(answer, word, size_t(comma - answer)) == 0;
    };
    if (!is("sonido") && !is("mensaje") && !is("video") && !is("cerrado"))
        return -1;
    const char* level = comma + 1;
    const qsizetype levelLength = line + length - level;
    if (levelLength < 1 || levelLength > 6 || !digits(level, int(levelLength)))
        return -1;
    const int hour = number(line + 11, 2);
    if (hour > 23 || number(line + 14, 2) > 59 || number(line + 17, 2) > 59)
        return -1;
    return hour;
}

} // namespace

VisitCounts VisitLog::count(const QByteArray& content, const QDate& today) {
    VisitCounts counts;
    counts.today = today;
    // The 30 dates as the log writes them; the log is in time order, so the last date found is
    // tried first.
    std::array<QByteArray, VisitCounts::kDays> dates;
    for (int i = 0; i < VisitCounts::kDays; ++i)
        dates[size_t(i)] = counts.dayAt(i).toString(Qt::ISODate).toLatin1();
    int lastDay = -1;
    QByteArray lastDate;

    const char* p = content.constData();
    const char* end = p + content.size();
    bool first = true;
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol) {
            ++counts.skippedLines; // cut short: not counted
            break;
        }
        qsizetype length = eol - p;
        if (length > 0 && p[length - 1] == '\r')
            --length;
        const bool header =
            first && length == kHeader.size() && std::memcmp(p, kHeader.constData(), size_t(length)) == 0;
        first = false;
        if (!header) {
            const int hour = hourOf(p, length);
            if (hour < 0) {
                ++counts.skippedLines;
            } else {
                if (lastDate.isEmpty() || std::memcmp(p, lastDate.constData(), 10) != 0) {
                    lastDate = QByteArray(p, 10);
                    lastDay = -1;
                    for (int i = 0; i < VisitCounts::kDays; ++i) {
                        if (dates[size_t(i)] == lastDate)
                            lastDay = i;
                    }
                }
                if (lastDay >= 0) {
                    ++counts.byDay[size_t(lastDay)];
                    if (lastDay == VisitCounts::kDays - 1)
                        ++counts.todayByHour[size_t(hour)];
                }
            }
        }
        p = eol + 1;
    }
    return counts;
}
