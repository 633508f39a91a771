// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>
#include <optional>

// The three small text files beside Pregonar.DAT: Pregonar.LST (the banner message),
// Pregonar.WPR (the background picture path) and Pregonar.VDO (the background video path).
// Written in UTF-8 with CR LF line breaks, atomically; read as UTF-8, or as Windows-1252 when
// the bytes are not valid UTF-8 (files from older machines).
namespace SideFiles {

// The message as the text box holds it (line breaks "\n"); written with CR LF and one CR LF after it.
bool writeMessage(const QString& path, const QString& message, QString* error = nullptr);
// Everything before the last CR LF, inner line breaks as "\n". nullopt when the file is missing or
// unreadable.
std::optional<QString> readMessage(const QString& path);

// One line, the path, then CR LF.
bool writePath(const QString& path, const QString& value, QString* error = nullptr);
// The first line; nullopt when the file is missing or unreadable.
std::optional<QString> readPath(const QString& path);

} // namespace SideFiles
