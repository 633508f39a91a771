// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <bitset>
#include <optional>

// The points of the detector's sample grid that it does not watch (a screen playing a video, a shop
// window): 36 columns by 27 rows, the grid of the 320x240 view. Kept in Pregonar.MSK, one line of 36
// characters per row, the top row first: '.' watched, 'x' ignored.
class ZoneMask {
public:
    static constexpr int Columns = 36;
    static constexpr int Rows = 27;
    static constexpr int Points = Columns * Rows;

    // Points outside the grid are watched.
    bool isIgnored(int column, int row) const {
        return column >= 0 && row >= 0 && column < Columns && row < Rows &&
               m_ignored[size_t(row * Columns + column)];
    }
    void setIgnored(int column, int row, bool ignored);
    // Every point of a rectangle of the grid (columns and rows), as a drag over the view marks them.
    void setIgnored(const QRect& points, bool ignored);
    void clear() { m_ignored.reset(); }
    bool ignoresNothing() const { return m_ignored.none(); }
    int watchedPoints() const { return Points - int(m_ignored.count()); }

    QByteArray toText() const;
    // Lines may end in CR LF or LF; anything but 27 lines of 36 '.' or 'x' is no mask.
    static std::optional<ZoneMask> fromText(const QByteArray& text);

    // A missing file watches everything and is no problem.
    static struct LoadedZones read(const QString& path);
    bool write(const QString& path, QString* error = nullptr) const;

    bool operator==(const ZoneMask&) const = default;

private:
    std::bitset<Points> m_ignored; // row by row
};

struct LoadedZones {
    ZoneMask mask;   // watches everything unless the file holds a mask
    QString problem; // empty, or a line for the owner: the file was damaged and is not used
};
