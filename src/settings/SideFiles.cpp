// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SideFiles.h"

#include "settings/AtomicSave.h"
#include "settings/Windows1252.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool save(const QString& path, QString text, QString* error) {
    // Whatever breaks the caller used, the file gets CR LF, which the older program expects.
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), kCrLf);
    text.append(kCrLf);
    return saveAtomically(path, text.toUtf8(), std::nullopt, {}, error);
}

std::optional<QString> load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    // Files written by the older program are in the shop machine's code page; in UTF-8 its accented
    // letters are invalid sequences, so a failed UTF-8 decode tells them apart.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? Windows1252::decode(bytes) : text;
}

} // namespace

namespace SideFiles {

bool writeMessage(const QString& path, const QString& message, QString* error) {
    return save(path, message, error);
}

std::optional<QString> readMessage(const QString& path) {
    std::optional<QString> text = load(path);
    if (!text)
        return std::nullopt;
    // The break added when writing goes; a file without one is taken whole.
    const qsizetype last = text->lastIndexOf(kCrLf);
    if (last >= 0)
        text->truncate(last);
    text->replace(kCrLf, QStringLiteral("\n"));
    return text;
}

bool writePath(const QString& path, const QString& value, QString* error) {
    return save(path, value, error);
}

std::optional<QString> readPath(const QString& path) {
    std::optional<QString> text = load(path);
    if (!text)
        return std::nullopt;
    const qsizetype end = text->indexOf(QLatin1Char('\n'));
    if (end >= 0)
        text->truncate(end > 0 && text->at(end - 1) == QLatin1Char('\r') ? end - 1 : end);
    return text;
}

} // namespace SideFiles
