// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/SettingsRecord.h"

#include <QByteArrayView>
#include <QMap>
#include <QString>

#include <functional>

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

    // Record numbers past this are refused, so a bad number cannot grow the file without bound.
    static constexpr int kMaxRecordNumber = 255;

    // read() and write() on the file's bytes in memory. recordAt: as read(). putRecords: puts the
    // records in their slots as write() does and returns how many it put; *error names the others.
    static SettingsRecord recordAt(QByteArrayView content, int recordNumber, bool* ok = nullptr);
    static int putRecords(QByteArray& content, const QMap<int, SettingsRecord>& records,
                          QString* error = nullptr);

    // For tests: runs when the new content is complete in the temporary file, just before it takes
    // the file's name, the moment a crash must not damage anything.
    void setBeforeReplace(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

private:
    QString m_path;
    std::function<void()> m_beforeReplace;
};
