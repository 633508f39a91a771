// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>

// How the display answered a customer, as the log writes it.
enum class VisitAnswer { Sound, Message, Video, Closed };
// "sonido", "mensaje", "video", "cerrado".
QString visitAnswerName(VisitAnswer answer);

// Visits counted from the log: today by hour and the last 30 days by day.
struct VisitCounts {
    static constexpr int kDays = 30;
    QDate today;
    std::array<int, 24> todayByHour{};
    std::array<int, kDays> byDay{}; // byDay[kDays - 1] is today, byDay[0] 29 days before
    int skippedLines = 0;           // damaged or cut lines that were left out

    int todayTotal() const;
    int daysTotal() const;
    QDate dayAt(int index) const { return today.addDays(index - (kDays - 1)); }
};

// The audience log, Visitas.csv in the working folder: UTF-8, a header `fecha,hora,respuesta,nivel`
// and one line per answer, `2026-12-06,17:42:05,mensaje,12`. It only ever grows: a visit is appended
// with one write to the end of the file, so a power failure can at worst cut the last line short.
// Such a line is skipped when the log is read, and the next visit starts on a line of its own.
class VisitLog {
public:
    static inline const QString kFileName = QStringLiteral("Visitas.csv");
    static inline const QByteArray kHeader = QByteArrayLiteral("fecha,hora,respuesta,nivel");

    explicit VisitLog(QString path)
        : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // One line at the end of the file (the header first if the file is new or empty).
    bool append(const QDateTime& when, VisitAnswer answer, int level, QString* error = nullptr) const;

    // The counts up to `today`; a missing file counts nothing.
    VisitCounts count(const QDate& today) const;
    // The same from the log's bytes; only whole lines (ended by a line break) are counted.
    static VisitCounts count(const QByteArray& content, const QDate& today);

private:
    QString m_path;
};
