// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/VisitPages.h"

#include "settings/AtomicSave.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString visits(int n) {
    return n == 1 ? QStringLiteral("1 visita") : QStringLiteral("%1 visitas").arg(n);
}

// One bar per row: its label, a bar as wide as its share of the largest, and the number.
template <typename Labels> QString bars(const int* values, int count, const Labels& label) {
    const int largest = std::max(1, *std::max_element(values, values + count));
    QString rows;
    for (int i = 0; i < count; ++i) {
        rows += QStringLiteral("<tr><th>%1</th><td><span class=\"barra\" style=\"width:%2%\"></span></td>"
                               "<td class=\"n\">%3</td></tr>\n")
                    .arg(label(i), QString::number(values[i] * 100 / largest), QString::number(values[i]));
    }
    return QStringLiteral("<table>\n") + rows + QStringLiteral("</table>\n");
}

} // namespace

namespace VisitPages {

QByteArray csv(const VisitCounts& counts) {
    QByteArray out = "fecha,hora,visitas\n";
    const QByteArray date = counts.today.toString(Qt::ISODate).toLatin1();
    for (int hour = 0; hour < 24; ++hour) {
        out += date + ',' + QByteArray::number(hour).rightJustified(2, '0') + ",00," +
               QByteArray::number(counts.todayByHour[size_t(hour)]) + '\n';
    }
    return out;
}

QString html(const VisitCounts& counts, const QString& pageName, const QDateTime& written) {
    const QString name = QFileInfo(pageName).fileName().toHtmlEscaped();
    QString page =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta http-equiv=\"refresh\" content=\"60\">\n"
            "<title>%1 - Visitas</title>\n<style>\n"
            "body { margin: 0 auto; padding: 1em; max-width: 40em; background: #f4f4f0; color: #222;\n"
            "       font-family: sans-serif; }\n"
            "table { width: 100%; border-collapse: collapse; font-size: 0.9em; }\n"
            "th { text-align: right; font-weight: normal; white-space: nowrap; padding-right: 0.5em;\n"
            "     width: 4.5em; }\n"
            "td { padding: 1px 0; }\n"
            ".barra { display: block; height: 0.9em; min-width: 1px; background: #2a8a3a; }\n"
            ".n { text-align: right; width: 3em; }\n"
            "</style>\n</head>\n<body>\n<h1>Visitas</h1>\n")
            .arg(name);
    page += QStringLiteral("<h2>Hoy, %1: %2</h2>\n")
                .arg(counts.today.toString(Qt::ISODate), visits(counts.todayTotal()));
    page += bars(counts.todayByHour.data(), 24,
                 [](int i) { return QStringLiteral("%1 h").arg(i, 2, 10, QLatin1Char('0')); });
    page += QStringLiteral("<h2>Últimos 30 días: %1</h2>\n").arg(visits(counts.daysTotal()));
    page += bars(counts.byDay.data(), VisitCounts::kDays,
                 [&counts](int i) { return counts.dayAt(i).toString(QStringLiteral("dd/MM")); });
    page += QStringLiteral("<p><small>Actualizado: %1</small></p>\n</body>\n</html>\n")
                .arg(written.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return page;
}

QStringList write(const QString& folder, const QString& pageName, const VisitCounts& counts,
                  const QDateTime& written) {
    const QStringList names{pageName + QStringLiteral("-visitas.csv"),
                            pageName + QStringLiteral("-visitas.html")};
    const QDir dir(folder);
    if (!saveAtomically(dir.filePath(names[0]), csv(counts), std::nullopt, {}, nullptr) ||
        !saveAtomically(dir.filePath(names[1]), html(counts, pageName, written).toUtf8(), std::nullopt, {},
                        nullptr))
        return {};
    return names;
}

} // namespace VisitPages
