// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/SnapshotWriter.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

SnapshotWriter::SnapshotWriter(QString workFolder, QString subfolder, int keep, QObject* parent)
    : QObject(parent)
    , m_workFolder(std::move(workFolder))
    , m_subfolder(std::move(subfolder))
    , m_keep(keep) {
    // One writer thread keeps the pictures in order and the disk quiet.
    m_pool.setMaxThreadCount(1);
}

SnapshotWriter::~SnapshotWriter() {
    m_pool.waitForDone();
}

QString SnapshotWriter::nameFor(const QDateTime& moment) const {
    return m_subfolder + QStringLiteral("/Foto-") +
           moment.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QStringLiteral(".jpg");
}

void SnapshotWriter::waitForWrites() {
    m_pool.waitForDone();
}

bool SnapshotWriter::isDue(const QDateTime& now) const {
    // A clock set back counts as due: the pictures must not stop until it catches up.
    return !m_last.isValid() || m_last.msecsTo(now) >= 1000 || now < m_last;
}

bool SnapshotWriter::offer(const QImage& picture, const QDateTime& now) {
    if (picture.isNull() || !isDue(now)) {
        return false;
    }
    m_last = now;
    const QString name = nameFor(now);
    const QDir work(m_workFolder);
    const QString folder = work.filePath(m_subfolder);
    const QString path = work.filePath(name);
    const int keep = m_keep;
    // The destructor waits for this task, and events posted to a deleted object are dropped.
    m_pool.start([this, picture, name, folder, path, keep] {
        QDir().mkpath(folder);
        QSaveFile file(path);
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok) {
            QImageWriter writer(&file, "jpg");
            writer.setQuality(85);
            ok = writer.write(picture) && file.commit();
        }
        if (!ok) {
            return;
        }
        // Names sort by time: drop the oldest beyond the limit.
        QDir dir(folder);
        const QStringList all =
            dir.entryList({QStringLiteral("Foto-*.jpg")}, QDir::Files, QDir::Name | QDir::Reversed);
        for (qsizetype i = keep; i < all.size(); ++i) {
            dir.remove(all[i]);
        }
        QMetaObject::invokeMethod(
            this, [this, name] { emit saved(name); }, Qt::QueuedConnection);
    });
    return true;
}
