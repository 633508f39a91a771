// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SettingsFile.h"

#include "settings/AtomicSave.h"

#include <QFile>
#include <QFileInfo>

namespace {

void setOk(bool* ok, bool value) {
    if (ok)
        *ok = value;
}

void addError(QString* error, const QString& reason) {
    if (!error)
        return;
    if (!error->isEmpty())
        error->append(QLatin1String("; "));
    error->append(reason);
}

qsizetype slotStart(int recordNumber) {
    return qsizetype(recordNumber - 1) * kSettingsRecordSize;
}

} // namespace

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path)) {}

bool SettingsFile::exists() const {
    return QFileInfo(m_path).isFile();
}

SettingsRecord SettingsFile::read(int recordNumber, bool* ok) const {
    setOk(ok, true);
    QFile file(m_path);
    if (!file.exists())
        return {};
    if (recordNumber < 1 || recordNumber > kMaxRecordNumber || !file.open(QIODevice::ReadOnly)) {
        setOk(ok, false);
        return {};
    }
    // Only the bytes up to the end of the slot matter.
    const QByteArray head = file.read(slotStart(recordNumber + 1));
    return recordAt(head, recordNumber, ok);
}

bool SettingsFile::write(const QMap<int, SettingsRecord>& records, QString* error) const {
    if (error)
        error->clear();
    QByteArray content;
    QFile existing(m_path);
    if (existing.exists()) {
        // Without the old bytes the records this write does not own would be lost: write nothing.
        if (!existing.open(QIODevice::ReadOnly)) {
            addError(error, existing.errorString());
            return false;
        }
        content = existing.readAll();
        if (existing.error() != QFileDevice::NoError) {
            addError(error, existing.errorString());
            return false;
        }
        existing.close();
    }

    const int placed = putRecords(content, records, error);
    if (placed == 0 && !records.isEmpty())
        return false;
    // It holds the FTP password: owner only, whatever the old file allowed.
    QString saveError;
    if (!saveAtomically(m_path, content, QFileDevice::ReadOwner | QFileDevice::WriteOwner, m_beforeReplace,
                        &saveError)) {
        addError(error, saveError);
        return false;
    }
    return placed == records.size();
}

SettingsRecord SettingsFile::recordAt(QByteArrayView content, int recordNumber, bool* ok) {
    setOk(ok, true);
    if (recordNumber < 1 || recordNumber > kMaxRecordNumber) {
        setOk(ok, false);
        return {};
    }
    const qsizetype start = slotStart(recordNumber);
    if (content.size() <= start)
        return {}; // not written yet
    // The last slot of a file may be cut short after its fields: the rest of a slot was never
    // defined, so only the fields themselves have to be there.
    const std::optional<SettingsRecord> record = decodeSettingsRecord(
        content.sliced(start, std::min<qsizetype>(content.size() - start, kSettingsRecordSize)));
    setOk(ok, record.has_value());
    return record.value_or(SettingsRecord{});
}

int SettingsFile::putRecords(QByteArray& content, const QMap<int, SettingsRecord>& records, QString* error) {
    int placed = 0;
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        const int number = it.key();
        if (number < 1 || number > kMaxRecordNumber) {
            addError(error, QStringLiteral("record %1 is not a record of the settings file").arg(number));
            continue;
        }
        const std::optional<QByteArray> slot = encodeSettingsRecord(it.value());
        if (!slot) {
            addError(
                error,
                QStringLiteral("record %1 does not fit in %2 bytes").arg(number).arg(kSettingsRecordSize));
            continue;
        }
        const qsizetype end = slotStart(number + 1);
        if (content.size() < end)
            content.append(end - content.size(), '\0');
        content.replace(slotStart(number), kSettingsRecordSize, *slot);
        ++placed;
    }
    return placed;
}
