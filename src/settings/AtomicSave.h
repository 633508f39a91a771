// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>
#include <optional>

// Replaces a file's whole content through a temporary file in the same folder, renamed over the old
// one only when every byte is on disk: a crash or a full disk leaves the old file as it was.
// A file marked read-only is still replaced. `permissions`, when given, are those of the new file;
// otherwise it keeps the old file's. `beforeReplace` runs between the last byte and the rename.
bool saveAtomically(const QString& path, const QByteArray& content,
                    std::optional<QFileDevice::Permissions> permissions,
                    const std::function<void()>& beforeReplace, QString* error);
