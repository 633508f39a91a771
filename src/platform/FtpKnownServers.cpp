// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpKnownServers.h"

#include "settings/AtomicSave.h"

#include <QFile>
#include <QFileInfo>

#include <mutex>

namespace {

// One lock for every object: sessions of several clients may share the file.
std::mutex storeMutex;

const QByteArray kPinPrefix = QByteArrayLiteral("sha256//");

QByteArray serverOf(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#'))
        return {};
    return trimmed.left(trimmed.indexOf(' '));
}

FtpKnownServers::Entry parse(const QByteArray& line) {
    using Kind = FtpKnownServers::Entry::Kind;
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() == 2 && words[1] == "tls")
        return {Kind::SystemTrusted, {}};
    if (words.size() == 2 && words[1].startsWith(kPinPrefix)) {
        const auto key = QByteArray::fromBase64Encoding(words[1].mid(kPinPrefix.size()),
                                                        QByteArray::AbortOnBase64DecodingErrors);
        if (key && key.decoded.size() == 32)
            return {Kind::Pinned, words[1]};
    }
    return {Kind::Damaged, {}};
}

QByteArray lineOf(const QByteArray& server, const FtpKnownServers::Entry& entry) {
    return server + ' ' + (entry.kind == FtpKnownServers::Entry::Kind::Pinned ? entry.pin : "tls");
}

} // namespace

FtpKnownServers::FtpKnownServers(const QString& path)
    : path_(path) {}

std::optional<QList<QByteArray>> FtpKnownServers::readLines(QString* error) const {
    if (path_.isEmpty())
        return memory_;
    if (!QFileInfo::exists(path_))
        return QList<QByteArray>();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

std::optional<FtpKnownServers::Entry> FtpKnownServers::find(const QByteArray& server, QString* error) const {
    std::lock_guard lock(storeMutex);
    const auto lines = readLines(error);
    if (!lines)
        return std::nullopt;
    for (const QByteArray& line : *lines) {
        if (serverOf(line) == server)
            return parse(line);
    }
    return Entry{};
}

bool FtpKnownServers::remember(const QByteArray& server, const Entry& entry, QString* error) {
    std::lock_guard lock(storeMutex);
    auto lines = readLines(error);
    if (!lines)
        return false;
    if (lines->isEmpty() && !path_.isEmpty())
        lines->append(QByteArrayLiteral("# Pregonar: servidores FTP vistos con conexion cifrada (TLS)"));
    bool written = false;
    for (qsizetype i = 0; i < lines->size();) {
        if (serverOf(lines->at(i)) != server) {
            ++i;
        } else if (!written) {
            (*lines)[i++] = lineOf(server, entry);
            written = true;
        } else {
            lines->removeAt(i);
        }
    }
    if (!written)
        lines->append(lineOf(server, entry));
    if (path_.isEmpty()) {
        memory_ = *lines;
        return true;
    }
    return saveAtomically(path_, lines->join('\n') + '\n', std::nullopt, {}, error);
}

QString FtpKnownServers::fingerprint(const QByteArray& pin) {
    QByteArray key = pin.mid(kPinPrefix.size());
    while (key.endsWith('='))
        key.chop(1);
    return QStringLiteral("SHA256:") + QString::fromLatin1(key);
}
