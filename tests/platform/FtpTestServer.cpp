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

const char* const kPyftpdScript = R"(
import os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
port, root, user = int(sys.argv[1]), sys.argv[2], sys.argv[3]
password = bytes.fromhex(sys.argv[4]).decode("utf-8")
encoding, keep_target, perm = sys.argv[5], sys.argv[6] == "1", sys.argv[7]

class Handler(FTPHandler):
    def decode(self, data):  # how the commands' bytes (the password's too) are read
        return data.decode(encoding, self.unicode_errors)

    def ftp_RNTO(self, path):
        # As some Windows servers do: no rename onto an existing file.
        if keep_target and self._rnfr and os.path.exists(path):
            self._rnfr = None
            return self.respond("550 Cannot create a file when that file already exists.")
        return FTPHandler.ftp_RNTO(self, path)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm=perm)
Handler.authorizer = authorizer
Handler.auth_failed_timeout = 0.1  # the default 3 s pause after a wrong password slows the tests
FTPServer(("127.0.0.1", port), Handler).serve_forever()
)";

// Options left at vsftpd's defaults are not repeated here.
const char* const kVsftpdConfig = R"(listen=YES
listen_address=127.0.0.1
listen_port=%1
anon_root=%2/root
secure_chroot_dir=%2/empty
rsa_cert_file=%2/cert.pem
rsa_private_key_file=%2/key.pem
vsftpd_log_file=%2/server.log
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
seccomp_sandbox=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
ssl_ciphers=HIGH
xferlog_enable=YES
log_ftp_protocol=YES
)";

} // namespace

FtpTestServer::FtpTestServer(Kind kind, Options options)
    : kind_(kind)
    , options_(std::move(options))
    , port_(options_.port) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setChildProcessModifier([] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with the test, even when the test crashes
    });
}

bool FtpTestServer::configure(QString* error) {
    QDir dir(dir_.path());
    if (!dir.mkpath(uploadDir()) || !dir.mkpath(QStringLiteral("empty")))
        return *error = QStringLiteral("cannot create %1").arg(uploadDir()), false;
    if (kind_ == Kind::Plain)
        return true;
    // The anonymous user is vsftpd's "ftp" account; it must be able to reach and fill "up".
    QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7055));
    QFile::setPermissions(uploadDir(), QFileDevice::Permissions(0x7777));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-days", "2", "-subj", "/CN=127.0.0.1", "-keyout", dir.filePath("key.pem"), "-out",
                   dir.filePath("cert.pem")});
    if (!openssl.waitForFinished(20'000) || openssl.exitCode() != 0)
        return *error = QStringLiteral("openssl: ") + QString::fromLocal8Bit(openssl.readAll()), false;
    QFile config(dir.filePath("vsftpd.conf"));
    const QByteArray text = QString::fromLatin1(kVsftpdConfig).arg(port_).arg(dir_.path()).toUtf8();
    if (!config.open(QIODevice::WriteOnly) || config.write(text) != text.size())
        return *error = QStringLiteral("cannot write vsftpd.conf"), false;
    return true;
}

bool FtpTestServer::start(QString* error) {
    QString ignored;
    error = error ? error : &ignored;
    kill();
    // Another program may take the port between the probe and the server's bind: try again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const bool firstStart = !configured_;
        if (firstStart) {
            QTcpServer probe;
            if (!options_.port && probe.listen(QHostAddress::LocalHost, 0))
                port_ = probe.serverPort();
            probe.close();
            if (!dir_.isValid() || !configure(error))
                return false;
            configured_ = true;
        }
        // vsftpd writes its own log there.
        process_.setStandardOutputFile(
            kind_ == Kind::Plain ? dir_.filePath("server.log") : QProcess::nullDevice(), QIODevice::Append);
        if (kind_ == Kind::Plain) // not the `python3` on PATH: a shim that cannot import Debian's packages
            process_.start("/usr/bin/python3", {"-c", kPyftpdScript, QString::number(port_), uploadDir(),
                                                user(), QString::fromLatin1(password().toUtf8().toHex()),
                                                options_.windows1252 ? "cp1252" : "utf-8",
                                                options_.renameKeepsTarget ? "1" : "0", permissions_});
        else
            process_.start("/usr/sbin/vsftpd", {dir_.filePath("vsftpd.conf")});
        const QDeadlineTimer deadline(10'000);
        while (process_.waitForStarted(5000) && !deadline.hasExpired()) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port_);
            if (socket.waitForConnected(500)) {
                ++probes_;
                while (socket.bytesAvailable() < 4 && socket.waitForReadyRead(500)) {
                }
                if (socket.readAll().startsWith("220"))
                    return true;
            }
            QThread::msleep(50);
        }
        *error = QStringLiteral("no server on port %1: %2").arg(port_).arg(process_.exitCode());
        kill();
        if (!firstStart || options_.port)
            return false;
        configured_ = false; // a port of our own choice: pick another
    }
    return false;
}

bool FtpTestServer::signalTree(int signal) {
    // vsftpd forks a process or two per connection, each in a session of its own: follow the
    // kernel's list of each process's children.
    QList<qint64> tree;
    if (process_.processId() > 0)
        tree << process_.processId();
    for (qsizetype i = 0; i < tree.size(); ++i) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tree[i]));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray& child : children.readAll().split(' '))
                if (child.toLongLong() > 0)
                    tree << child.toLongLong();
    }
    for (qint64 pid : tree)
        ::kill(pid_t(pid), signal);
    return !tree.isEmpty();
}

void FtpTestServer::kill() {
    if (process_.state() != QProcess::NotRunning && signalTree(SIGKILL))
        process_.waitForFinished(5000);
}

int FtpTestServer::connectionsSeen() const {
    QFile log(dir_.filePath("server.log"));
    const QByteArray text = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    return int(text.count(kind_ == Kind::Plain ? "FTP session opened" : "CONNECT: Client")) - probes_;
}
