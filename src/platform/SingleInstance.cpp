// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
const char kActivate[] = "show\n";
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder)) {
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (m_folder.isEmpty()) {
        m_folder = QDir::tempPath();
    }
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    QDir().mkpath(m_folder);
    const QString lockPath = QDir(m_folder).filePath(QStringLiteral("pregonar.lock"));
    const QString socketPath = QDir(m_folder).filePath(QStringLiteral("pregonar.socket"));

    m_lock = std::make_unique<QLockFile>(lockPath);
    // A lock left by a copy that died is taken over (QLockFile checks that its process is gone).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
        }
        m_lock.reset();
        return false;
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    if (m_server->listen(socketPath)) {
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                    if (socket->readAll().startsWith("show")) {
                        emit activationRequested();
                    }
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    return true;
}
