// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/SettingsRecord.h"

#include <QMap>
#include <QString>

// Pregonar.DAT: a file of 42-byte records, record n at bytes (n - 1) x 42 .. n x 42 - 1.
class SettingsFile {
public:
    explicit SettingsFile(QString path);

    const QString& path() const { return m_path; }
    bool exists() const;

    // Reads record n (1-based). A missing file, a missing record (short file) or a damaged slot gives
    // the empty record; *ok (when given) is false only for a slot that is present but damaged.
    SettingsRecord read(int recordNumber, bool* ok = nullptr) const;

    // Writes the given records into their slots and keeps every other byte of the file as it was
    // (other records, bytes past the last record). Slots between the old end and a new record are
    // zero-filled. The file is replaced atomically (a power cut leaves the old file), is created
    // readable and writable by its owner only, and is replaced even when marked read-only.
    // Returns false, with a reason in *error, when nothing could be written; a record too long for
    // its slot is skipped (the others are written) and also makes the result false.
    bool write(const QMap<int, SettingsRecord>& records, QString* error = nullptr) const;

private:
    QString m_path;
};
