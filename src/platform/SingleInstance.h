// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// One running copy per user. The first copy holds a lock file and listens on a local socket in the
// user's runtime folder; a second copy finds the lock taken, asks the first one to show itself and
// leaves.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live (the user's runtime folder by default).
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy. Otherwise the running copy was asked to show its panel.
    bool acquire();

signals:
    // A second copy was started.
    void activationRequested();

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
