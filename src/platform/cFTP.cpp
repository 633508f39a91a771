// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/cFTP.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using MultiHandle = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;
using StringList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

std::mutex workersMutex;
std::condition_variable workersDone;
int workers = 0;

void waitForWorkersAtExit() {
    // A worker of a dropped session has shut its sockets down and needs only milliseconds more;
    // letting it finish keeps it out of the way of the TLS library's own exit handlers.
    cFTP::waitForWorkers(std::chrono::seconds(2));
}

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Before any thread exists; never undone, since a worker may outlive the last cFTP.
        curl_global_init(CURL_GLOBAL_DEFAULT);
        if (QCoreApplication::instance())
            qAddPostRoutine(waitForWorkersAtExit);
    });
}

QString curlError(CURLcode code, const char* detail) {
    const QString text = QString::fromUtf8(detail && *detail ? detail : curl_easy_strerror(code));
    return QStringLiteral("libcurl %1: %2").arg(int(code)).arg(text.trimmed());
}

} // namespace

struct cFTP::Session {
    struct Upload {
        QString localPath;
        QString remoteName;
    };

    // Fixed before the worker starts.
    QByteArray baseUrl; // "ftp://host:port/"
    QByteArray user;
    QByteArray password;
    FtpTimeouts timeouts;
    quint64 serial = 0;

    std::mutex mutex; // guards everything below
    std::condition_variable wake;
    std::deque<Upload> uploads;
    cFTP* receiver = nullptr; // null once the session is dropped
    std::vector<curl_socket_t> sockets;
    std::atomic<bool> cancelled{false};

    // Called on the owner's thread. Shutting the sockets down wakes the worker from any wait
    // inside libcurl at once. The progress callback alone would not do: libcurl waits for some
    // replies without calling it often (the one after a transfer, the renames), and closing an
    // idle connection sends QUIT and waits up to two minutes for a server that hangs.
    void cancel() {
        std::lock_guard lock(mutex);
        cancelled = true;
        receiver = nullptr;
        uploads.clear();
        for (curl_socket_t fd : sockets)
            ::shutdown(fd, SHUT_RDWR);
        wake.notify_all();
    }

    template <typename F> void post(F&& deliver) {
        std::lock_guard lock(mutex);
        if (receiver)
            QMetaObject::invokeMethod(
                receiver, [client = receiver, deliver = std::forward<F>(deliver)] { deliver(client); },
                Qt::QueuedConnection);
    }

    static curl_socket_t openSocket(void* data, curlsocktype, curl_sockaddr* address) {
        auto* self = static_cast<Session*>(data);
        std::lock_guard lock(self->mutex);
        if (self->cancelled)
            return CURL_SOCKET_BAD;
        // CLOEXEC: programs started later must not inherit the connection.
        const int fd = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        if (fd < 0)
            return CURL_SOCKET_BAD;
        self->sockets.push_back(fd);
        return fd;
    }

    static int closeSocket(void* data, curl_socket_t fd) {
        // Under the lock, so that cancel() never shuts down a number the system has reused.
        auto* self = static_cast<Session*>(data);
        std::lock_guard lock(self->mutex);
        std::erase(self->sockets, fd);
        return ::close(fd);
    }

    static int progress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<Session*>(data)->cancelled ? 1 : 0;
    }

    static size_t readFile(char* buffer, size_t size, size_t count, void* data) {
        const qint64 n = static_cast<QFile*>(data)->read(buffer, qint64(size * count));
        return n < 0 ? CURL_READFUNC_ABORT : size_t(n);
    }

    void configure(CURL* curl, char* errorBuffer) {
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        // Set apart from the URL, so ':' or '@' in a password need no escaping.
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());

        // Passive (EPSV, then PASV) and binary are libcurl's defaults; no CURLOPT_FTPPORT.
        // NOCWD sends the remote name unchanged, relative to the login folder, and keeps the
        // connection in that folder for the next upload and for the rename commands.
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);

        // TLS when the server offers AUTH TLS, plain FTP otherwise. The certificate is not
        // checked: the shops' own servers use self-signed certificates, and since "try" mode falls
        // back to plain FTP for a server that offers no TLS at all, an attacker who can present a
        // false certificate can as well hide the offer; checking would break the real servers and
        // protect nothing more. What TLS gives here is that a passive listener on the shop's
        // network cannot read the password.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
        // With TLS 1.3 the session ticket arrives after the handshake, and servers that demand
        // the control channel's session on every data connection (vsftpd's default) then refuse
        // every second upload on a reused connection with "522 ... session reuse required".
        curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                         long(CURL_SSLVERSION_DEFAULT) | long(CURL_SSLVERSION_MAX_TLSv1_2));

        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(timeouts.connect.count()));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(timeouts.serverResponse.count()));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(timeouts.wholeTransfer.count()));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, timeouts.lowSpeedBytesPerSecond);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(timeouts.lowSpeedTime.count()));

        curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &Session::openSocket);
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &Session::closeSocket);
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Session::progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    }

    // curl_easy_perform() without its one-second naps. libcurl 7.88 now and then sets up the passive
    // data connection but starts it only on its next call, after a poll of up to one second with
    // nothing to wait on: a second lost per upload on a quick server. So right after any activity
    // libcurl is called again soon, backing off while a slow server keeps it waiting. The
    // connection stays in the multi handle for the next transfer.
    CURLcode perform(CURLM* multi, CURL* curl) {
        if (curl_multi_add_handle(multi, curl) != CURLM_OK)
            return CURLE_FAILED_INIT;
        CURLcode result = CURLE_OK;
        int nap = 1;
        for (int running = 1; running;) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            if (!running)
                break;
            long wait = -1;
            curl_multi_timeout(multi, &wait);
            int active = 0;
            curl_multi_poll(multi, nullptr, 0, wait >= 0 && wait < nap ? int(wait) : nap, &active);
            nap = active ? 1 : std::min(nap * 2, 64);
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
                result = message->data.result;
        }
        curl_multi_remove_handle(multi, curl);
        return result;
    }

    bool login(CURLM* multi, CURL* curl, char* errorBuffer, QString* error) {
        // Fetching the login folder itself with no body: libcurl logs in (USER, PASS, PWD) and
        // stops, leaving the proven connection open in the handle for the uploads.
        curl_easy_setopt(curl, CURLOPT_URL, baseUrl.constData());
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        errorBuffer[0] = 0;
        const CURLcode code = perform(multi, curl);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
        if (code != CURLE_OK)
            *error = curlError(code, errorBuffer);
        return code == CURLE_OK;
    }

    bool upload(CURLM* multi, CURL* curl, char* errorBuffer, const Upload& job, QString* error) {
        // A line break would let a name smuggle extra commands into the rename.
        if (job.remoteName.isEmpty() || job.remoteName.contains(u'\r') || job.remoteName.contains(u'\n') ||
            job.remoteName.contains(QChar(0))) {
            *error = QStringLiteral("Invalid remote name");
            return false;
        }
        QFile file(job.localPath);
        if (!QFileInfo(job.localPath).isFile() || !file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Cannot read %1").arg(job.localPath);
            return false;
        }

        // Stored under a temporary name and renamed in one step, so a visitor loading the page
        // never gets half a picture. The rename replaces the old file on Unix and Windows servers
        // alike, where a STOR over a file being downloaded can fail or leave it truncated.
        const QString temporary = job.remoteName + QStringLiteral(".tmp");
        const QByteArray url = baseUrl + QUrl::toPercentEncoding(temporary, "/");
        StringList rename(nullptr, &curl_slist_free_all);
        for (const QString& command :
             {QStringLiteral("RNFR ") + temporary, QStringLiteral("RNTO ") + job.remoteName}) {
            curl_slist* grown = curl_slist_append(rename.get(), command.toUtf8().constData());
            if (!grown) {
                *error = QStringLiteral("Out of memory");
                return false;
            }
            rename.release();
            rename.reset(grown);
        }

        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Session::readFile);
        curl_easy_setopt(curl, CURLOPT_READDATA, &file);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, rename.get());
        errorBuffer[0] = 0;
        const CURLcode code = perform(multi, curl);
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
        curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
        if (code != CURLE_OK)
            *error = curlError(code, errorBuffer);
        return code == CURLE_OK;
    }

    static void run(std::shared_ptr<Session> self) {
        // Writing to a socket the peer closed raises SIGPIPE; keep it from ending the program
        // without changing the process-wide signal handling.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

        self->work();

        std::lock_guard lock(workersMutex);
        --workers;
        workersDone.notify_all();
    }

    void work() {
        char errorBuffer[CURL_ERROR_SIZE] = {};
        MultiHandle multi(curl_multi_init(), &curl_multi_cleanup);
        EasyHandle curl(curl_easy_init(), &curl_easy_cleanup);
        QString error;
        bool ok = false;
        if (!multi || !curl) {
            error = QStringLiteral("libcurl could not start");
        } else {
            configure(curl.get(), errorBuffer);
            ok = login(multi.get(), curl.get(), errorBuffer, &error);
        }
        post([ok, error, serial = serial](cFTP* client) {
            if (client->serial_ == serial)
                emit client->conectado(ok, error);
        });

        for (;;) {
            Upload job;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return cancelled || !uploads.empty(); });
                if (cancelled)
                    break;
                job = std::move(uploads.front());
                uploads.pop_front();
            }
            QString uploadError = error;
            const bool uploaded = ok && upload(multi.get(), curl.get(), errorBuffer, job, &uploadError);
            post([uploaded, uploadError, remote = job.remoteName, serial = serial](cFTP* client) {
                if (client->serial_ != serial)
                    return;
                --client->pending_;
                emit client->subido(remote, uploaded, uploadError);
            });
        }

        // Cancelled: the sockets are shut down already, so the QUIT libcurl sends while cleaning
        // up fails at once instead of waiting for a server that may hang.
    }
};

cFTP::cFTP(QObject* parent)
    : FtpClient(parent) {
    initCurlOnce();
}

cFTP::~cFTP() {
    dropSession();
}

bool cFTP::ConectarFTP(const QString& servidor, const QString& usuario, const QString& password) {
    if (servidor.isEmpty() || usuario.isEmpty() || password.isEmpty())
        return false;
    const auto address = parseFtpServer(servidor);
    if (!address)
        return false;

    dropSession();
    auto session = std::make_shared<Session>();
    session->baseUrl = QStringLiteral("ftp://%1:%2/").arg(address->urlHost()).arg(address->port).toUtf8();
    session->user = usuario.toUtf8();
    session->password = password.toUtf8();
    session->timeouts = timeouts_;
    session->serial = ++serial_;
    session->receiver = this;
    {
        std::lock_guard lock(workersMutex);
        ++workers;
    }
    // Detached: the session lives as long as either side holds it, and a dropped session's worker
    // must be able to finish without anyone waiting for it.
    std::thread(&Session::run, session).detach();
    session_ = std::move(session);
    return true;
}

void cFTP::SubirArchivo(const QString& localArchivo, const QString& nombreRemoto) {
    ++pending_;
    if (session_) {
        std::lock_guard lock(session_->mutex);
        session_->uploads.push_back({localArchivo, nombreRemoto});
        session_->wake.notify_all();
        return;
    }
    // Not connected: the answer still comes as a signal, after the caller has returned.
    QMetaObject::invokeMethod(
        this,
        [this, remote = nombreRemoto, serial = serial_] {
            if (serial_ != serial)
                return;
            --pending_;
            emit subido(remote, false, QStringLiteral("Not connected"));
        },
        Qt::QueuedConnection);
}

void cFTP::DesconectarFTP() {
    dropSession();
}

void cFTP::dropSession() {
    ++serial_; // results already on their way are ignored
    pending_ = 0;
    if (session_) {
        session_->cancel();
        session_.reset();
    }
}

int cFTP::runningWorkers() {
    std::lock_guard lock(workersMutex);
    return workers;
}

bool cFTP::waitForWorkers(std::chrono::milliseconds timeout) {
    std::unique_lock lock(workersMutex);
    return workersDone.wait_for(lock, timeout, [] { return workers == 0; });
}
