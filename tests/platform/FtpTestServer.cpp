// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpTestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <sys/prctl.h>

namespace {

const char* const kPyftpd = R"(
import os, sys
from pyftpdlib import authorizers, handlers, servers
class Handler(handlers.FTPHandler):
    auth_failed_timeout = 0.1  # not the default 3 s pause after a wrong password
    def decode(self, data):
        return data.decode("cp1252", self.unicode_errors)
    def ftp_RNTO(self, path):
        if self._rnfr and os.path.exists(path):
            self._rnfr = None
            return self.respond("550 Cannot create a file when that file already exists.")
        return super().ftp_RNTO(path)
Handler.authorizer = authorizers.DummyAuthorizer()
Handler.authorizer.add_user("tienda", "cl@ve:\u00f1 ", sys.argv[2], perm=sys.argv[3])
servers.FTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
)";

// All of vsftpd's options, given on its command line over an empty configuration file.
const char* const kVsftpdOptions =
    "listen=YES listen_address=127.0.0.1 listen_port=%1 anon_root=%2/root secure_chroot_dir=%2/empty "
    "rsa_cert_file=%2/tls.pem vsftpd_log_file=%2/server.log xferlog_enable=YES write_enable=YES "
    "anon_upload_enable=YES anon_other_write_enable=YES seccomp_sandbox=NO ssl_enable=YES allow_anon_ssl=YES "
    "force_anon_logins_ssl=YES force_anon_data_ssl=YES ssl_ciphers=HIGH";

} // namespace

FtpTestServer::FtpTestServer(Kind kind, quint16 port, bool readOnly)
    : kind_(kind)
    , port_(port)
    , readOnly_(readOnly) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(dir_.filePath("server.log")); // pyftpdlib's log; vsftpd writes its own
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

bool FtpTestServer::start() {
    QTcpServer probe;
    if (!port_ && probe.listen(QHostAddress::LocalHost))
        port_ = probe.serverPort();
    probe.close();
    if (!QDir().mkpath(uploadDir()) || !QDir().mkpath(dir_.filePath("empty")))
        return false;
    if (plain()) { // not the `python3` on PATH: a shim that cannot import Debian's packages
        process_.start("/usr/bin/python3", {"-c", kPyftpd, QString::number(port_), uploadDir(),
                                            readOnly_ ? "elr" : "elradfmwMT"});
    } else {
        // vsftpd's "ftp" account must reach "up" and fill it; the chroot itself stays read-only.
        QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7055));
        QFile::setPermissions(uploadDir(), QFileDevice::Permissions(0x7777));
        const QString pem = dir_.filePath("tls.pem"), config = dir_.filePath("vsftpd.conf");
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                  "-nodes", "-subj", "/CN=127.0.0.1", "-keyout", pem, "-out", pem});
        if (!openssl.waitForFinished() || openssl.exitCode() != 0 ||
            !QFile(config).open(QIODevice::WriteOnly))
            return false;
        QStringList arguments{config};
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

bool FtpTestServer::signalAll(int signal) {
    // vsftpd forks a process or two per connection, each in a session of its own.
    QList<qint64> tree{process_.processId()};
    if (tree[0] <= 0)
        return false;
    for (qsizetype i = 0; i < tree.size(); ++i) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tree[i]));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray& child : children.readAll().split(' '))
                if (child.toLongLong() > 0)
                    tree << child.toLongLong();
    }
    for (qint64 pid : tree)
        ::kill(pid_t(pid), signal);
    return true;
}

int FtpTestServer::connectionsSeen() const {
    QFile log(dir_.filePath("server.log"));
    return log.open(QIODevice::ReadOnly)
               ? int(log.readAll().count(plain() ? "FTP session opened" : "CONNECT:"))
               : 0;
}
