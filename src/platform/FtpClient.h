// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

// Where the FTP server is: the text of the server field split into host and port.
struct FtpServerAddress {
    QString host; // an IPv6 literal keeps no brackets here
    quint16 port = 21;
    bool isIpv6Literal() const { return host.contains(u':'); }
    // The host as it goes into a URL: IPv6 literals get their brackets back.
    QString urlHost() const { return isIpv6Literal() ? u'[' + host + u']' : host; }
};

// Accepts "host", "host:port", "1.2.3.4:port", "[v6]:port", "[v6]" and a bare IPv6 literal
// ("::1", no port then). Spaces around the text are ignored. Anything that could change the
// meaning of the URL built from it (slashes, '@', '?', '#', spaces inside) is refused.
std::optional<FtpServerAddress> parseFtpServer(const QString& text);

struct FtpTimeouts {
    std::chrono::milliseconds connect{10'000};
    // Also bounds each wait for a reply on a connection that is already open; without it a hung
    // server keeps a reused connection waiting for libcurl's built-in two minutes.
    std::chrono::seconds serverResponse{15};
    std::chrono::milliseconds wholeTransfer{60'000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is given up.
    long lowSpeedBytesPerSecond = 100;
    std::chrono::seconds lowSpeedTime{20};
};

// The program's FTP upload client. One object holds one account and one connection to the shop's
// web server. Nothing here waits on the network: every operation returns at once and its result
// arrives later as a signal, on the thread that owns the object.
//
// Order of use, as the publishing code does it:
//   connectToServer(...)          -> loggedIn(ok, error, failure)   (login proven, or not)
//   upload(a), (b), ... -> uploaded(a, ok), uploaded(b, ok), ...   in the order of the calls
//   disconnectFromServer()          drops whatever is pending; no signal follows for it.
// Uploads may be queued before loggedIn() arrives; they run after a good login and fail, in
// order, after a bad one.
//
// The error texts are for the developer (English), quoting the server's last reply line when there
// is one, except those of LoginFailure::KeyChanged and LoginFailure::Unsafe: these explain to the
// shop's owner, in Spanish, why the login was refused here, and are meant to be shown as they are.
class FtpClient : public QObject {
    Q_OBJECT
public:
    // Why a login failed: whether another attempt with the same data can succeed.
    enum class LoginFailure {
        None,       // logged in
        Network,    // server unreachable, silent or gone mid-way: a later attempt may work
        Account,    // the server refused the user name or the password
        KeyChanged, // the server's TLS key is not one this program trusts for it (see trustNewKey)
        Unsafe,     // refused here: a server once seen with TLS offers plain FTP only, or what was
                    // learnt about the servers cannot be read
    };
    Q_ENUM(LoginFailure)

    using QObject::QObject;
    ~FtpClient() override = default;

    // Returns false at once, without any network traffic and without a loggedIn() signal, when
    // one of the three fields is empty or the server field cannot be understood. Otherwise any
    // previous session is dropped, true is returned and exactly one loggedIn() follows.
    // The user name and the password go to the server exactly as given, as Windows-1252 bytes.
    virtual bool connectToServer(const QString& server, const QString& user, const QString& password) = 0;

    // Uploads a local file (UTF-8 path) under remoteName, relative to the login folder, replacing
    // any file of that name. Exactly one uploaded() follows unless the session is dropped first.
    virtual void upload(const QString& localFile, const QString& remoteName) = 0;

    // Ends the session at once, also in the middle of a transfer that hangs.
    virtual void disconnectFromServer() = 0;

    // Uploads asked for and not yet answered in this session.
    virtual int pendingUploads() const = 0;

    // After a login refused with LoginFailure::KeyChanged: trusts the key that was refused, for that
    // server, from now on (the owner has checked its fingerprint). False when there is no such key or
    // it cannot be remembered. The next connectToServer uses it.
    virtual bool trustNewKey() { return false; }

signals:
    void loggedIn(bool ok, const QString& error, FtpClient::LoginFailure failure);
    void uploaded(const QString& remoteName, bool ok, const QString& error);
};
