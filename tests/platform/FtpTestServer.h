// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

// A real FTP server for tests on 127.0.0.1, in a temporary folder; it dies with the test.
//   Plain: pyftpdlib (Debian's /usr/bin/python3), one user whose password holds ':', '@', 'ñ' and a
//          trailing space. It reads commands as Windows-1252 and, as some Windows servers do, will not
//          rename onto an existing file.
//   Tls:   vsftpd with a fresh self-signed certificate, TLS required for login and data (so a success
//          proves TLS was used). Anonymous with upload rights, since vsftpd wants system users; it
//          refuses a writable chroot, so uploads go to "up/": use remotePrefix() in remote names.
class FtpTestServer {
public:
    enum class Kind { Plain, Tls };

    // Port 0: a free one. `readOnly` (Plain): the user may log in and read, not write.
    explicit FtpTestServer(Kind kind, quint16 port = 0, bool readOnly = false);
    ~FtpTestServer() { kill(); }
    Q_DISABLE_COPY(FtpTestServer)

    bool start(); // once, and waits until the server greets
    void kill() {
        if (signalAll(SIGKILL))
            process_.waitForFinished(5000);
    }
    bool freeze() { return signalAll(SIGSTOP); } // connections stay open, nothing answers

    quint16 port() const { return port_; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); } // as typed in the form
    QString user() const { return plain() ? "tienda" : "anonymous"; }
    QString password() const { return plain() ? QStringLiteral("cl@ve:ñ ") : "pregonar@"; }
    QString remotePrefix() const { return plain() ? QString() : QStringLiteral("up/"); }
    QString uploadDir() const { return dir_.filePath(plain() ? "root" : "root/up"); } // where uploads land
    // Control connections accepted so far, from the server's log.
    int connectionsSeen() const;

private:
    bool plain() const { return kind_ == Kind::Plain; }
    bool signalAll(int signal); // the server and every process it forked

    Kind kind_;
    quint16 port_;
    bool readOnly_;
    QTemporaryDir dir_;
    QProcess process_;
};
