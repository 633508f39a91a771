// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpTestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMultiHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>
#include <sys/prctl.h>

namespace {

// Not the `python3` on PATH: a version manager's shim that cannot import Debian's packages.
const char* const kPython = "/usr/bin/python3";
const char* const kVsftpd = "/usr/sbin/vsftpd";

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

quint16 freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool isRunning(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    return !text.mid(text.lastIndexOf(')') + 2).startsWith('Z');
}

} // namespace

FtpTestServer::FtpTestServer(Kind kind, Options options)
    : kind_(kind)
    , options_(std::move(options))
    , port_(options_.port) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setChildProcessModifier([] {
        // Dies with the test, even when the test itself crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
}

FtpTestServer::~FtpTestServer() {
    kill();
}

QString FtpTestServer::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString FtpTestServer::user() const {
    return kind_ == Kind::Plain ? QStringLiteral("tienda") : QStringLiteral("anonymous");
}

QString FtpTestServer::password() const {
    if (!options_.password.isEmpty())
        return options_.password;
    // ':' and '@' would break a password written into a URL.
    return kind_ == Kind::Plain ? QStringLiteral("cl@ve:1") : QStringLiteral("pregonar@");
}

QString FtpTestServer::remotePrefix() const {
    return kind_ == Kind::Plain ? QString() : QStringLiteral("up/");
}

QString FtpTestServer::uploadDir() const {
    return dir_.filePath(kind_ == Kind::Plain ? QStringLiteral("root") : QStringLiteral("root/up"));
}

bool FtpTestServer::writeConfig(QString* error) {
    QDir dir(dir_.path());
    if (!dir.mkpath(uploadDir())) {
        *error = QStringLiteral("cannot create %1").arg(uploadDir());
        return false;
    }
    if (kind_ == Kind::Plain)
        return true;

    // The anonymous user is vsftpd's "ftp" account; it must be able to reach and fill "up".
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther);
    QFile::setPermissions(uploadDir(), QFileDevice::Permissions(0x7777));
    dir.mkpath(QStringLiteral("empty"));

    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-days", "2", "-subj", "/CN=127.0.0.1", "-keyout", dir.filePath("key.pem"), "-out",
                   dir.filePath("cert.pem")});
    if (!openssl.waitForFinished(20'000) || openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl: ") + QString::fromLocal8Bit(openssl.readAll());
        return false;
    }

    const QString config = QStringLiteral(R"(listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=%1
background=NO
anonymous_enable=YES
local_enable=NO
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
no_anon_password=YES
anon_root=%2
ftp_username=ftp
secure_chroot_dir=%3
pasv_enable=YES
pasv_address=127.0.0.1
connect_from_port_20=NO
seccomp_sandbox=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
ssl_ciphers=HIGH
rsa_cert_file=%4
rsa_private_key_file=%5
xferlog_enable=YES
log_ftp_protocol=YES
vsftpd_log_file=%6
)")
                               .arg(port_)
                               .arg(dir.filePath("root"), dir.filePath("empty"), dir.filePath("cert.pem"),
                                    dir.filePath("key.pem"), dir.filePath("server.log"));
    if (!writeFile(dir.filePath("vsftpd.conf"), config.toUtf8())) {
        *error = QStringLiteral("cannot write vsftpd.conf");
        return false;
    }
    return true;
}

bool FtpTestServer::start(QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    if (!dir_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    kill();
    // Another program may take the port between the probe and the server's bind: try again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const bool firstStart = !configured_;
        if (firstStart) {
            if (!options_.port)
                port_ = freeLoopbackPort();
            configured_ = true;
            if (!writeConfig(error))
                return false;
        }
        if (kind_ == Kind::Plain) {
            process_.setStandardOutputFile(dir_.filePath("server.log"), QIODevice::Append);
            process_.start(kPython, {"-c", kPyftpdScript, QString::number(port_), uploadDir(), user(),
                                     QString::fromLatin1(password().toUtf8().toHex()),
                                     options_.windows1252 ? "cp1252" : "utf-8",
                                     options_.renameKeepsTarget ? "1" : "0", permissions_});
        } else {
            process_.setStandardOutputFile(QProcess::nullDevice());
            process_.start(kVsftpd, {dir_.filePath("vsftpd.conf")});
        }
        if (process_.waitForStarted(5000) && waitUntilGreeting(error))
            return true;
        kill();
        if (!firstStart || options_.port)
            return false;
        configured_ = false;
    }
    return false;
}

bool FtpTestServer::waitUntilGreeting(QString* error) {
    const QDeadlineTimer deadline(10'000);
    while (!deadline.hasExpired()) {
        if (process_.state() != QProcess::Running) {
            *error = QStringLiteral("server exited with %1").arg(process_.exitCode());
            return false;
        }
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
    *error = QStringLiteral("server did not greet on port %1").arg(port_);
    return false;
}

QList<qint64> FtpTestServer::processTree() const {
    const qint64 root = process_.processId();
    if (root <= 0)
        return {};
    // Parent links from /proc: vsftpd forks a process (or two) per connection.
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // "pid (name) state ppid ...": the name may hold spaces, so read after the last ')'.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.insert(fields[1].toLongLong(), pid);
    }
    QList<qint64> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += children.values(tree[i]);
    return tree;
}

bool FtpTestServer::signalTree(int signal) {
    const QList<qint64> tree = processTree();
    for (qint64 pid : tree)
        ::kill(pid_t(pid), signal);
    return !tree.isEmpty();
}

bool FtpTestServer::freeze() {
    return signalTree(SIGSTOP);
}

bool FtpTestServer::thaw() {
    return signalTree(SIGCONT);
}

void FtpTestServer::kill() {
    if (process_.state() == QProcess::NotRunning)
        return;
    const QList<qint64> tree = processTree();
    for (qint64 pid : tree)
        ::kill(pid_t(pid), SIGKILL);
    process_.waitForFinished(5000);
    // Forked sessions belong to init once the server is gone; wait until none of them runs.
    const QDeadlineTimer deadline(2000);
    for (qint64 pid : tree) {
        while (isRunning(pid) && !deadline.hasExpired())
            QThread::msleep(5);
    }
}

int FtpTestServer::connectionsSeen() const {
    QFile log(dir_.filePath("server.log"));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = log.readAll();
    const int seen = int(text.count(kind_ == Kind::Plain ? "FTP session opened" : "CONNECT: Client"));
    return seen - probes_;
}
