// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/VisitLog.h"

#include <QString>
#include <QStringList>

// The visits as the shop publishes them next to its pictures: PageName-visitas.csv (today's counts
// by hour) and PageName-visitas.html (today by hour and the last 30 days, as bars drawn with plain
// HTML and CSS: no scripts, readable on a phone).
namespace VisitPages {

QByteArray csv(const VisitCounts& counts);
QString html(const VisitCounts& counts, const QString& pageName, const QDateTime& written);

// Writes both files into `folder` (atomically); returns their names relative to it, to be uploaded
// under the same names, or nothing when a file could not be written.
QStringList write(const QString& folder, const QString& pageName, const VisitCounts& counts,
                  const QDateTime& written);

} // namespace VisitPages
