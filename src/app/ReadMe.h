// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>
#include <QStringList>

// The read-me written beside the program's files at every start.
namespace ReadMe {
inline constexpr char16_t kFileName[] = u"Pregonar Léame.txt";

QStringList lines();

// Writes (replaces, even when marked read-only) the read-me in `folder`. False when the folder
// cannot be written.
bool write(const QString& folder);
} // namespace ReadMe
