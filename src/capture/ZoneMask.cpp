// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/ZoneMask.h"

#include "settings/AtomicSave.h"

#include <QFile>

namespace {
constexpr char Watched = '.';
constexpr char Ignored = 'x';
} // namespace

void ZoneMask::setIgnored(int column, int row, bool ignored) {
    if (column >= 0 && row >= 0 && column < Columns && row < Rows)
        m_ignored[size_t(row * Columns + column)] = ignored;
}

void ZoneMask::setIgnored(const QRect& points, bool ignored) {
    const QRect inside = points.intersected(QRect(0, 0, Columns, Rows));
    for (int row = inside.top(); row <= inside.bottom(); ++row)
        for (int column = inside.left(); column <= inside.right(); ++column)
            setIgnored(column, row, ignored);
}

QByteArray ZoneMask::toText() const {
    QByteArray text;
    text.reserve(Rows * (Columns + 2));
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column)
            text += isIgnored(column, row) ? Ignored : Watched;
        text += "\r\n";
    }
    return text;
}

std::optional<ZoneMask> ZoneMask::fromText(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line
    if (lines.size() != Rows)
        return std::nullopt;
    ZoneMask mask;
    for (int row = 0; row < Rows; ++row) {
        QByteArray& line = lines[row];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() != Columns)
            return std::nullopt;
        for (int column = 0; column < Columns; ++column) {
            if (line[column] != Watched && line[column] != Ignored)
                return std::nullopt;
            mask.setIgnored(column, row, line[column] == Ignored);
        }
    }
    return mask;
}

LoadedZones ZoneMask::read(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    // Larger than any mask: read only enough to know it is not one.
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.read(4 * Points) : QByteArray();
    if (const std::optional<ZoneMask> mask = fromText(text))
        return {*mask, {}};
    return {{}, QStringLiteral("Pregonar.MSK dañado: se vigila toda la imagen")};
}

bool ZoneMask::write(const QString& path, QString* error) const {
    return saveAtomically(path, toText(), std::nullopt, {}, error);
}
