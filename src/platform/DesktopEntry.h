// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// Pieces of freedesktop.org desktop entries (launchers, autostart entries).
namespace DesktopEntry {
// A value with backslashes, newlines and tabs escaped.
QString escapeValue(QString value);
// One argument of an Exec= line: quoted, with ", `, $, \ and % escaped.
QString execArgument(const QString& argument);
} // namespace DesktopEntry
