// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/SnapshotWriter.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

namespace {

constexpr int Quality = 85;

QByteArray encodeWithQt(const QImage& picture, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    return writer.write(picture) ? bytes : QByteArray();
}

} // namespace

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
    const Encoder encode = m_encoder ? m_encoder : Encoder(encodeWithQt);
    // The destructor waits for this task, and events posted to a deleted object are dropped.
    m_pool.start([this, picture, name, folder, path, keep, encode] {
        const QByteArray jpeg = encode(picture, Quality);
        QDir().mkpath(folder);
        QSaveFile file(path);
        if (jpeg.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() ||
            !file.commit()) {
            return;
        }
        // Names sort by time: drop the oldest beyond the limit. Picked out by hand: a name filter
        // compiles a regular expression at every call.
        QDir dir(folder);
        QStringList all;
        for (const QString& file : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed)) {
            if (file.startsWith(QLatin1String("Foto-")) && file.endsWith(QLatin1String(".jpg")))
                all.append(file);
        }
        for (qsizetype i = keep; i < all.size(); ++i) {
            dir.remove(all[i]);
        }
        QMetaObject::invokeMethod(
            this, [this, name] { emit saved(name); }, Qt::QueuedConnection);
    });
    return true;
}
