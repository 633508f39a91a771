// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/AtomicSave.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool fail(QString* error, const QString& path, const QString& reason) {
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace

bool saveAtomically(const QString& path, const QByteArray& content,
                    std::optional<QFileDevice::Permissions> permissions,
                    const std::function<void()>& beforeReplace, QString* error) {
    // The program has always cleared the read-only mark before saving; QSaveFile refuses to replace
    // a file it may not write.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isWritable())
        QFile::setPermissions(path, existing.permissions() | QFileDevice::WriteOwner);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, file.errorString());
    // Set before any byte is written, so a secret never sits in a file others can read.
    if (permissions && !file.setPermissions(*permissions))
        return fail(error, path, file.errorString());
    // QSaveFile buffers small writes and would only see a full disk when committing, where the error
    // is not reported; flushing first makes a failed write cancel the save.
    if (file.write(content) != content.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(error, path, reason);
    }
    if (beforeReplace)
        beforeReplace();
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}
