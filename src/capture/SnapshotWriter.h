// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Keeps pictures of the customers the detector saw, for publishing: JPEG files named by date and
// time in a folder of their own, the newest `keep` of them. Encoding and writing happen on a
// thread of their own, so the detector's tick never waits for the disk.
class SnapshotWriter : public QObject {
    Q_OBJECT
public:
    SnapshotWriter(QString workFolder, QString subfolder = QStringLiteral("Fotos"), int keep = 200,
                   QObject* parent = nullptr);
    ~SnapshotWriter() override;

    // False when the last picture was taken less than a second before `now`.
    bool isDue(const QDateTime& now) const;
    // Takes the picture when it is due.
    bool offer(const QImage& picture, const QDateTime& now);

    // "Fotos/Foto-20261206-153012-250.jpg" for that moment.
    QString nameFor(const QDateTime& moment) const;

    // Waits until every picture taken so far is on disk (for tests and shutdown).
    void waitForWrites();

    // Makes the JPEG file's bytes (empty: it failed); runs on the writer's thread. Qt's image writer
    // until one is given.
    using Encoder = std::function<QByteArray(const QImage& picture, int quality)>;
    void setEncoder(Encoder encoder) { m_encoder = std::move(encoder); }

signals:
    // The picture is on disk, whole; `name` is relative to the working folder.
    void saved(const QString& name);

private:
    QString m_workFolder;
    QString m_subfolder;
    int m_keep;
    QDateTime m_last;
    Encoder m_encoder;
    QThreadPool m_pool;
};
