// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>

// How a test server differs from the usual one.
struct FtpTestServerOptions {
    quint16 port = 0;               // 0: a free one
    QString password;               // empty: the default (Plain only)
    bool windows1252 = false;       // Plain: commands read as Windows-1252 (else UTF-8)
    bool renameKeepsTarget = false; // Plain: RNTO onto an existing file answers 550
};

// A real FTP server for tests, on 127.0.0.1 and a free port, in a temporary folder.
//   Plain: pyftpdlib (Debian's /usr/bin/python3), one user with a password, uploads land in the
//          login folder.
//   Tls:   vsftpd with a fresh self-signed certificate, TLS required for login and data (so a
//          success proves TLS was used). vsftpd wants system users; rather than adding one, it runs
//          anonymous with upload rights. It refuses a writable chroot folder for anonymous users, so
//          uploads go to the writable sub-folder "up/": use remotePrefix() in remote names.
// kill(), freeze() and thaw() signal the server and every process it forked; it dies with the test
// (parent-death signal).
class FtpTestServer {
public:
    enum class Kind { Plain, Tls };
    using Options = FtpTestServerOptions;

    explicit FtpTestServer(Kind kind, Options options = {});
    ~FtpTestServer() { kill(); }
    Q_DISABLE_COPY(FtpTestServer)

    // Starts and waits until the server greets. The first start picks the port (unless given), later
    // starts (after kill()) reuse it and the same folder.
    bool start(QString* error = nullptr);
    // Plain only, before start(): the account's rights in pyftpdlib's letters ("elr": read only).
    void setPermissions(const QString& perm) { permissions_ = perm; }
    void kill();
    bool freeze() { return signalTree(SIGSTOP); } // connections stay open, nothing answers
    bool thaw() { return signalTree(SIGCONT); }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); } // as typed in the form
    quint16 port() const { return port_; }
    QString user() const { return kind_ == Kind::Plain ? "tienda" : "anonymous"; }
    QString password() const { // ':' and '@' would break a password written into a URL
        return !options_.password.isEmpty() ? options_.password
               : kind_ == Kind::Plain       ? "cl@ve:1"
                                            : "pregonar@";
    }
    QString remotePrefix() const { return kind_ == Kind::Plain ? QString() : QStringLiteral("up/"); }
    // The local folder where uploads land.
    QString uploadDir() const { return dir_.filePath(kind_ == Kind::Plain ? "root" : "root/up"); }
    // Control connections the server has accepted since the first start, from its log (readiness
    // probes excluded).
    int connectionsSeen() const;

private:
    bool configure(QString* error);
    bool signalTree(int signal);

    Kind kind_;
    Options options_;
    bool configured_ = false;
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    int probes_ = 0;
    QString permissions_ = QStringLiteral("elradfmwMT");
};
