// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the FTP client has learnt about the TLS of the servers it logs in to, so that TLS can be
// neither stripped nor faked at a later login. Kept in a small text file, one line per server:
//   ftp.tienda.com:21 tls                  TLS with a certificate the system trusts for that name
//   192.168.1.5:21 sha256//<base64>        TLS with this public key (SHA-256 of its DER form), the
//                                          one accepted at the first login or trusted by the owner
// A server without a line was never seen with TLS. Lines starting with '#' and lines this program
// does not understand are kept as they are when the file is rewritten. Safe to use from any thread.
class FtpKnownServers {
public:
    struct Entry {
        enum class Kind {
            Unknown,       // never seen with TLS
            SystemTrusted, // "tls"
            Pinned,        // "sha256//..."
            Damaged,       // a line for the server that cannot be understood: seen with TLS, key unknown
        };
        Kind kind = Kind::Unknown;
        QByteArray pin; // "sha256//<base64>" for Pinned
        bool operator==(const Entry&) const = default;
    };

    // An empty path keeps what is learnt in this object only.
    explicit FtpKnownServers(const QString& path = {});

    const QString& path() const { return path_; }

    // The entry of "host:port"; nothing when the file exists but cannot be read.
    std::optional<Entry> find(const QByteArray& server, QString* error) const;
    // Writes the entry of "host:port" (atomically), keeping every other line.
    bool remember(const QByteArray& server, const Entry& entry, QString* error);

    // "SHA256:<base64 without padding>", the form in which a key is shown to the owner.
    static QString fingerprint(const QByteArray& pin);

private:
    std::optional<QList<QByteArray>> readLines(QString* error) const;

    QString path_;
    QList<QByteArray> memory_; // the lines, when there is no file
};
