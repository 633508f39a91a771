// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "platform/FtpClient.h"

#include <chrono>
#include <memory>
#include <utility>

class FtpKnownServers;

// The FTP client over libcurl. Each session (one connectToServer) gets a worker thread that owns one
// libcurl handle and keeps its connection, so the login and every upload of the session share one
// control connection.
// Passive mode, binary transfers, every upload stored under a temporary name and renamed into place.
// Explicit TLS when the server offers it. A certificate the system trusts for the host name is
// accepted; any other is accepted at the first login and its key remembered, as SSH does, and later
// logins need that key. A server once seen with TLS is never used without it again. What was learnt
// is kept in the known servers file (see FtpKnownServers.h).
class CurlFtpClient final : public FtpClient {
    Q_OBJECT
public:
    explicit CurlFtpClient(QObject* parent = nullptr); // what is learnt about servers stays in this object
    explicit CurlFtpClient(const QString& knownServersFile, QObject* parent = nullptr);
    ~CurlFtpClient() override; // returns at once, also during a hung transfer

    // Used by the next connectToServer.
    void setTimeouts(const FtpTimeouts& timeouts) { timeouts_ = timeouts; }
    const FtpTimeouts& timeouts() const { return timeouts_; }

    bool connectToServer(const QString& server, const QString& user, const QString& password) override;
    void upload(const QString& localFile, const QString& remoteName) override;
    void disconnectFromServer() override;
    int pendingUploads() const override { return pending_; }
    bool trustNewKey() override;

    // Worker threads of every CurlFtpClient still running, dropped sessions included. A dropped session's
    // worker closes its sockets and ends within milliseconds; the program waits for them (for a
    // bounded time) when the application object goes away.
    static int runningWorkers();
    static bool waitForWorkers(std::chrono::milliseconds timeout);

private:
    struct Session;
    void dropSession();

    FtpTimeouts timeouts_;
    std::shared_ptr<Session> session_;
    quint64 serial_ = 0; // tells results of the current session from those of dropped ones
    int pending_ = 0;
    std::shared_ptr<FtpKnownServers> known_;
    std::pair<QByteArray, QByteArray> refused_; // server and key of the last login refused for its key
};
