// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "platform/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

// A real FTP server for tests on 127.0.0.1, in a temporary folder; it dies with the test.
//   Plain: pyftpdlib (Debian's /usr/bin/python3), reading commands as Windows-1252. Besides user(), a
//          second user logs in to the same folder: "añil", password "contraseña " (a trailing space),
//          for whom the server, as some Windows servers do, will not rename onto an existing file.
//   Tls:   vsftpd with a fresh self-signed certificate, TLS required for login and data (so a success
//          proves TLS was used). Anonymous with upload rights, since vsftpd wants system users; it
//          refuses a writable chroot, so uploads go to "up/": use remotePrefix() in remote names.
class FtpTestServer {
public:
    enum class Kind { Plain, Tls };

    explicit FtpTestServer(Kind kind)
        : plain_(kind == Kind::Plain) {}
    ~FtpTestServer() { kill(); }

    quint16 port() const { return port_; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); } // as typed in the form
    QString user() const { return plain_ ? "tienda" : "anonymous"; }
    QString password() const { return plain_ ? "cl@ve:1" : "pregonar@"; } // ':' '@' would break a URL
    QString remotePrefix() const { return plain_ ? QString() : QStringLiteral("up/"); }
    QString uploadDir() const { return dir_.filePath(plain_ ? "root" : "root/up"); } // where uploads land

    // Once; returns when the server greets. Port 0: a free one. `readOnly` (Plain): the user may log
    // in and read, not write.
    bool start(quint16 port = 0, bool readOnly = false) {
        port_ = port ? port : [] { // a free one
            QTcpServer probe;
            return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : quint16(0);
        }();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(dir_.filePath("server.log")); // pyftpdlib's log; vsftpd writes its own
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        if (!QDir().mkpath(uploadDir()) || !QDir().mkpath(dir_.filePath("empty")))
            return false;
        if (plain_) { // not the `python3` on PATH: a shim that cannot import Debian's packages
            process_.start("/usr/bin/python3", {"-c", kPyftpd, QString::number(port_), uploadDir(),
                                                readOnly ? "elr" : "elradfmwMT"});
        } else {
            // vsftpd's "ftp" account must reach "up" and fill it; the chroot itself stays read-only.
            QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7055));
            QFile::setPermissions(uploadDir(), QFileDevice::Permissions(0x7777));
            const QString pem = dir_.filePath("tls.pem"), config = dir_.filePath("vsftpd.conf");
            QProcess openssl;
            openssl.start("openssl",
                          {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                           "-nodes", "-subj", "/CN=127.0.0.1", "-keyout", pem, "-out", pem});
            if (!openssl.waitForFinished() || openssl.exitCode() != 0 ||
                !QFile(config).open(QIODevice::WriteOnly))
                return false;
            QStringList arguments{config}; // empty: every option is given here
            for (const QString& option : QString(kVsftpdOptions).arg(port_).arg(dir_.path()).split(u' '))
                arguments << "-o" + option;
            process_.start("/usr/sbin/vsftpd", arguments);
        }
        for (QDeadlineTimer deadline(10'000); process_.waitForStarted() && !deadline.hasExpired();
             QThread::msleep(50)) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port_);
            if (socket.waitForConnected(500) && socket.waitForReadyRead(2000) &&
                socket.readAll().startsWith("220"))
                return true;
        }
        return false;
    }
    // As start(), saying what failed.
    bool start(QString* error) { return start() || (*error = "no FTP server at " + address(), false); }
    void kill() { signalAll(SIGKILL) && process_.waitForFinished(5000); }
    bool freeze() { return signalAll(SIGSTOP); } // connections stay open, nothing answers
    bool thaw() { return signalAll(SIGCONT); }

    // Control connections accepted so far, from the server's log.
    int connectionsSeen() const {
        QFile log(dir_.filePath("server.log"));
        return log.open(QIODevice::ReadOnly)
                   ? int(log.readAll().count(plain_ ? "FTP session opened" : "CONNECT:"))
                   : 0;
    }

private:
    // The server and every process it forked (vsftpd: one or two per connection, each in a session
    // of its own).
    bool signalAll(int signal) {
        QList<qint64> tree{process_.processId()};
        for (qsizetype i = 0; i < tree.size() && tree[0] > 0; ++i) {
            QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tree[i]));
            for (const QByteArray& child :
                 children.open(QIODevice::ReadOnly) ? children.readAll().split(' ') : QByteArrayList())
                if (child.toLongLong() > 0)
                    tree << child.toLongLong();
            ::kill(pid_t(tree[i]), signal);
        }
        return tree[0] > 0;
    }

    static constexpr const char* kPyftpd = R"(
import os, sys
from pyftpdlib import authorizers, handlers, servers
class Handler(handlers.FTPHandler):
    auth_failed_timeout = 0.1  # not the default 3 s pause after a wrong password
    # The commands, the password's too, read as Windows-1252.
    decode = lambda self, data: data.decode("cp1252", self.unicode_errors)
    # As some Windows servers, for the second user: no rename onto an existing file.
    def ftp_RNTO(self, path):
        if self.username != "tienda" and self._rnfr and os.path.exists(path):
            self._rnfr = None
            return self.respond("550 Cannot create a file when that file already exists.")
        return super().ftp_RNTO(path)
Handler.authorizer = authorizers.DummyAuthorizer()
Handler.authorizer.add_user("tienda", "cl@ve:1", sys.argv[2], perm=sys.argv[3])
Handler.authorizer.add_user("a\u00f1il", "contrase\u00f1a ", sys.argv[2], perm=sys.argv[3])
servers.FTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
)";
    static constexpr const char* kVsftpdOptions =
        "listen=YES listen_address=127.0.0.1 listen_port=%1 anon_root=%2/root secure_chroot_dir=%2/empty "
        "rsa_cert_file=%2/tls.pem vsftpd_log_file=%2/server.log xferlog_enable=YES write_enable=YES "
        "anon_upload_enable=YES anon_other_write_enable=YES seccomp_sandbox=NO ssl_enable=YES "
        "allow_anon_ssl=YES "
        "force_anon_logins_ssl=YES force_anon_data_ssl=YES ssl_ciphers=HIGH";

    bool plain_;
    quint16 port_ = 0;
    QTemporaryDir dir_;
    QProcess process_;
};
