// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CurlFtpClient.h"

#include "platform/FtpKnownServers.h"
#include "settings/Windows1252.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QUrl>

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
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
    CurlFtpClient::waitForWorkers(std::chrono::seconds(2));
}

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        // At the first connection, not when the program starts: a shop that does not publish never
        // sets up the TLS library (about 2 MB of memory). Before any worker of ours exists, and the
        // libcurl of this system sets itself up safely with other threads running ("threadsafe" in
        // its features). Never undone, since a worker may outlive the last CurlFtpClient.
        curl_global_init(CURL_GLOBAL_DEFAULT);
        if (QCoreApplication::instance())
            qAddPostRoutine(waitForWorkersAtExit);
    });
}

QString curlError(CURLcode code, const char* detail, const QByteArray& lastReply) {
    const QString text = QString::fromUtf8(detail && *detail ? detail : curl_easy_strerror(code));
    QString error = QStringLiteral("libcurl %1: %2").arg(int(code)).arg(text.trimmed());
    if (!lastReply.isEmpty())
        error += QStringLiteral(" (server: \"%1\")").arg(Windows1252::decode(lastReply));
    return error;
}

// "sha256//<base64>" of the certificate's public key (its DER SubjectPublicKeyInfo), the form
// libcurl's key pinning uses too.
QByteArray publicKeyPin(X509* certificate) {
    EVP_PKEY* key = certificate ? X509_get0_pubkey(certificate) : nullptr;
    const int size = key ? i2d_PUBKEY(key, nullptr) : 0;
    if (size <= 0)
        return {};
    QByteArray der(size, '\0');
    auto* out = reinterpret_cast<unsigned char*>(der.data());
    if (i2d_PUBKEY(key, &out) != size)
        return {};
    return QByteArrayLiteral("sha256//") +
           QCryptographicHash::hash(der, QCryptographicHash::Sha256).toBase64();
}

using Known = FtpKnownServers::Entry;
using Failure = FtpClient::LoginFailure;

} // namespace

struct CurlFtpClient::Session {
    struct Upload {
        QString localPath;
        QString remoteName;
    };

    // Fixed before the worker starts.
    QByteArray baseUrl; // "ftp://host:port/"
    QByteArray server;  // "host:port", as the known servers name it
    QByteArray host;    // checked against the certificate
    bool hostIsAddress = false;
    QByteArray user;     // Windows-1252, exactly as stored
    QByteArray password; // Windows-1252, exactly as stored
    FtpTimeouts timeouts;
    quint64 serial = 0;
    std::shared_ptr<FtpKnownServers> known;

    // The worker's own.
    Known entry;                 // what was known about the server at the login
    std::optional<Known> learnt; // what this login saw, remembered once the server let us in
    QByteArray refusedPin;       // the key a handshake refused
    QByteArray lastReply;        // the server's last reply line in the current operation
    QByteArray lastCommand;

    std::mutex mutex; // guards everything below
    std::condition_variable wake;
    std::deque<Upload> uploads;
    CurlFtpClient* receiver = nullptr; // null once the session is dropped
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

    // The FTP dialogue, as libcurl sees it: replies for the error texts, commands to know which one
    // failed. Nothing is logged (the PASS line holds the password).
    static int debug(CURL*, curl_infotype type, char* text, size_t size, void* data) {
        auto* self = static_cast<Session*>(data);
        if (type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT) {
            const QByteArray line = QByteArray(text, qsizetype(size)).trimmed();
            if (!line.isEmpty())
                (type == CURLINFO_HEADER_IN ? self->lastReply : self->lastCommand) = line;
        }
        return 0;
    }

    // Every TLS handshake of the session (control and data connections) is judged here, before the
    // password is sent: libcurl's own checks are off, OpenSSL verifies the chain against the
    // system's authorities and the host name, and checkCertificate() decides.
    static CURLcode sslContext(CURL*, void* context, void* data) {
        auto* self = static_cast<Session*>(data);
        auto* ctx = static_cast<SSL_CTX*>(context);
        SSL_CTX_set_default_verify_paths(ctx);
        X509_VERIFY_PARAM* param = SSL_CTX_get0_param(ctx);
        if (self->hostIsAddress)
            X509_VERIFY_PARAM_set1_ip_asc(param, self->host.constData());
        else
            X509_VERIFY_PARAM_set1_host(param, self->host.constData(), size_t(self->host.size()));
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_cert_verify_callback(ctx, &Session::checkCertificate, self);
        return CURLE_OK;
    }

    static int checkCertificate(X509_STORE_CTX* store, void* data) {
        auto* self = static_cast<Session*>(data);
        const bool trusted = X509_verify_cert(store) == 1;
        const QByteArray pin = publicKeyPin(X509_STORE_CTX_get0_cert(store));
        if (!pin.isEmpty() && self->acceptKey(trusted, pin))
            return 1;
        X509_STORE_CTX_set_error(store, X509_V_ERR_APPLICATION_VERIFICATION);
        return 0;
    }

    // A certificate the system trusts for the host name is always good (it changes at renewal). Any
    // other needs the key remembered for the server, or, on a server never seen with TLS, becomes
    // that key (trust on first use, as SSH does).
    bool acceptKey(bool trusted, const QByteArray& pin) {
        const Known& known = learnt ? *learnt : entry;
        if (trusted) {
            if (known.kind != Known::Kind::SystemTrusted)
                learnt = Known{Known::Kind::SystemTrusted, {}};
            return true;
        }
        if (known.kind == Known::Kind::Pinned && known.pin == pin)
            return true;
        if (known.kind == Known::Kind::Unknown) {
            learnt = Known{Known::Kind::Pinned, pin};
            return true;
        }
        refusedPin = pin;
        return false;
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
        // Always a direct connection: proxy variables in the environment are not for this program.
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");

        // TLS when the server offers AUTH TLS; plain FTP only for a server never seen with TLS.
        // Certificates are judged in checkCertificate(), since the shops' servers often have
        // self-signed ones or those of their hosting company.
        requireTls(curl, entry.kind != Known::Kind::Unknown);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &Session::sslContext);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, this);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // for the debug callback only
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Session::debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
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
    static void requireTls(CURL* curl, bool required) {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(required ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    }

    CURLcode perform(CURLM* multi, CURL* curl) {
        lastReply.clear();
        lastCommand.clear();
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

    QString serverName() const { return QString::fromUtf8(server); }

    // Where the owner can look, in the texts that explain a refusal.
    QString knownServersFile() const {
        return known->path().isEmpty() ? QStringLiteral("de servidores conocidos")
                                       : QStringLiteral("\"%1\"").arg(QFileInfo(known->path()).fileName());
    }

    Failure login(CURLM* multi, CURL* curl, char* errorBuffer, QString* error) {
        QString storeError;
        const std::optional<Known> found = known->find(server, &storeError);
        if (!found) {
            *error = QStringLiteral("No se puede leer el archivo %1 (%2), donde Pregonar anota qué "
                                    "servidores usan conexión cifrada. Revíselo o bórrelo.")
                         .arg(knownServersFile(), storeError);
            return Failure::Unsafe;
        }
        entry = *found;
        configure(curl, errorBuffer);

        // Fetching the login folder itself with no body: libcurl logs in (USER, PASS, PWD) and
        // stops, leaving the proven connection open in the handle for the uploads.
        curl_easy_setopt(curl, CURLOPT_URL, baseUrl.constData());
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        errorBuffer[0] = 0;
        const CURLcode code = perform(multi, curl);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
        if (code == CURLE_OK) {
            if (learnt) {
                // The login succeeds even when this cannot be written; it is only learnt again.
                if (!known->remember(server, *learnt, &storeError))
                    *error = QStringLiteral("Cannot remember the server's TLS: ") + storeError;
                entry = *learnt;
                learnt.reset();
                requireTls(curl, true);
            }
            return Failure::None;
        }
        learnt.reset();
        if (!refusedPin.isEmpty()) {
            *error =
                QStringLiteral("El certificado del servidor %1 no es el que Pregonar conoce para él: su "
                               "clave cambió. Puede ser un cambio del servidor o alguien que se hace "
                               "pasar por él; la contraseña no se envió.\n\nHuella de la nueva clave:\n%2")
                    .arg(serverName(), FtpKnownServers::fingerprint(refusedPin));
            return Failure::KeyChanged;
        }
        if (code == CURLE_USE_SSL_FAILED && entry.kind != Known::Kind::Unknown) {
            *error = QStringLiteral("El servidor %1 ya no ofrece conexión cifrada (TLS), que antes sí "
                                    "ofrecía. Pregonar no envía la contraseña sin cifrar: alguien podría "
                                    "estar interceptando la conexión. Si el servidor dejó de usar TLS, "
                                    "borre su línea del archivo %2.")
                         .arg(serverName(), knownServersFile());
            return Failure::Unsafe;
        }
        *error = curlError(code, errorBuffer, lastReply);
        return code == CURLE_LOGIN_DENIED ? Failure::Account : Failure::Network;
    }

    static StringList commandList(const QStringList& commands) {
        StringList list(nullptr, &curl_slist_free_all);
        for (const QString& command : commands) {
            curl_slist* grown = curl_slist_append(list.get(), command.toUtf8().constData());
            if (!grown)
                return StringList(nullptr, &curl_slist_free_all);
            list.release();
            list.reset(grown);
        }
        return list;
    }

    // Commands on the open connection, in order; the first failure ends them, except for those
    // marked with a leading '*'.
    CURLcode quote(CURLM* multi, CURL* curl, char* errorBuffer, const QStringList& commands) {
        StringList list = commandList(commands);
        if (!list)
            return CURLE_OUT_OF_MEMORY;
        curl_easy_setopt(curl, CURLOPT_URL, baseUrl.constData());
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_QUOTE, list.get());
        errorBuffer[0] = 0;
        const CURLcode code = perform(multi, curl);
        curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
        return code;
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
        // never gets half a picture. Where the server lets the rename replace the old file, the
        // name is never missing; a STOR over a file being downloaded can fail or leave it truncated.
        const QString temporary = job.remoteName + QStringLiteral(".tmp");
        const QByteArray url = baseUrl + QUrl::toPercentEncoding(temporary, "/");
        const StringList rename =
            commandList({QStringLiteral("RNFR ") + temporary, QStringLiteral("RNTO ") + job.remoteName});
        if (!rename) {
            *error = QStringLiteral("Out of memory");
            return false;
        }

        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Session::readFile);
        curl_easy_setopt(curl, CURLOPT_READDATA, &file);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, rename.get());
        errorBuffer[0] = 0;
        CURLcode code = perform(multi, curl);
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
        curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);

        if (code == CURLE_QUOTE_ERROR && lastCommand.startsWith("RNTO ") && !cancelled) {
            // Some servers (Windows ones often) refuse to rename onto an existing file: the old
            // one goes first, then the rename again.
            code = quote(multi, curl, errorBuffer,
                         {QStringLiteral("*DELE ") + job.remoteName, QStringLiteral("RNFR ") + temporary,
                          QStringLiteral("RNTO ") + job.remoteName});
        }
        if (code == CURLE_OK)
            return true;
        *error = curlError(code, errorBuffer, lastReply);
        // The server answered with a refusal, so the connection still works: leave nothing behind.
        // (After a network failure the next upload of the name replaces the temporary file.)
        const bool serverRefused = code == CURLE_QUOTE_ERROR || code == CURLE_UPLOAD_FAILED ||
                                   code == CURLE_REMOTE_DISK_FULL || code == CURLE_READ_ERROR;
        if (serverRefused && !cancelled)
            quote(multi, curl, errorBuffer, {QStringLiteral("DELE ") + temporary});
        return false;
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
        Failure failure = Failure::Network;
        if (!multi || !curl)
            error = QStringLiteral("libcurl could not start");
        else
            failure = login(multi.get(), curl.get(), errorBuffer, &error);
        const bool ok = failure == Failure::None;
        post([ok, error, failure, server = server, pin = refusedPin, serial = serial](CurlFtpClient* client) {
            if (client->serial_ != serial)
                return;
            client->refused_ = failure == Failure::KeyChanged ? std::pair{server, pin} : decltype(refused_){};
            emit client->loggedIn(ok, error, failure);
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
            QString uploadError = ok ? QString() : error;
            const bool uploaded = ok && upload(multi.get(), curl.get(), errorBuffer, job, &uploadError);
            post([uploaded, uploadError, remote = job.remoteName, serial = serial](CurlFtpClient* client) {
                if (client->serial_ != serial)
                    return;
                --client->pending_;
                emit client->uploaded(remote, uploaded, uploadError);
            });
        }

        // Cancelled: the sockets are shut down already, so the QUIT libcurl sends while cleaning
        // up fails at once instead of waiting for a server that may hang.
    }
};

CurlFtpClient::CurlFtpClient(QObject* parent)
    : CurlFtpClient(QString(), parent) {}

CurlFtpClient::CurlFtpClient(const QString& knownServersFile, QObject* parent)
    : FtpClient(parent)
    , known_(std::make_shared<FtpKnownServers>(knownServersFile)) {}

CurlFtpClient::~CurlFtpClient() {
    dropSession();
}

bool CurlFtpClient::connectToServer(const QString& server, const QString& user, const QString& password) {
    if (server.isEmpty() || user.isEmpty() || password.isEmpty())
        return false;
    const auto address = parseFtpServer(server);
    if (!address)
        return false;

    initCurlOnce();
    dropSession();
    auto session = std::make_shared<Session>();
    session->baseUrl = QStringLiteral("ftp://%1:%2/").arg(address->urlHost()).arg(address->port).toUtf8();
    session->server = QStringLiteral("%1:%2").arg(address->urlHost()).arg(address->port).toUtf8();
    session->host = address->host.toUtf8();
    session->hostIsAddress = !QHostAddress(address->host).isNull();
    // The settings file holds them in this code page, and so did the servers set up for it.
    session->user = Windows1252::encode(user);
    session->password = Windows1252::encode(password);
    session->known = known_;
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

void CurlFtpClient::upload(const QString& localFile, const QString& remoteName) {
    ++pending_;
    if (session_) {
        std::lock_guard lock(session_->mutex);
        session_->uploads.push_back({localFile, remoteName});
        session_->wake.notify_all();
        return;
    }
    // Not connected: the answer still comes as a signal, after the caller has returned.
    QMetaObject::invokeMethod(
        this,
        [this, remote = remoteName, serial = serial_] {
            if (serial_ != serial)
                return;
            --pending_;
            emit uploaded(remote, false, QStringLiteral("Not connected"));
        },
        Qt::QueuedConnection);
}

bool CurlFtpClient::trustNewKey() {
    const auto [server, pin] = std::exchange(refused_, {});
    QString error;
    return !pin.isEmpty() && known_->remember(server, {FtpKnownServers::Entry::Kind::Pinned, pin}, &error);
}

void CurlFtpClient::disconnectFromServer() {
    dropSession();
}

void CurlFtpClient::dropSession() {
    ++serial_; // results already on their way are ignored
    pending_ = 0;
    if (session_) {
        session_->cancel();
        session_.reset();
    }
}

int CurlFtpClient::runningWorkers() {
    std::lock_guard lock(workersMutex);
    return workers;
}

bool CurlFtpClient::waitForWorkers(std::chrono::milliseconds timeout) {
    std::unique_lock lock(workersMutex);
    return workersDone.wait_for(lock, timeout, [] { return workers == 0; });
}
