// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// The two file operations used all over the program.

// True when a plain, visible file of that name exists (hidden files count as missing).
bool FileExists(const QString& path);

// Creates the folder when it is missing.
void EnsureFolder(const QString& path);
