// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/PanelSettings.h"
#include "settings/UploadSettings.h"

#include <QByteArray>

using Records = QMap<int, SettingsRecord>;

// Bytes written by hand from the record layout: hex, with 'quoted' runs of characters, then padded
// with `fill` to a whole slot (no padding when fill is negative).
inline QByteArray slotBytes(const char* layout, int fill = 0) {
    QByteArray bytes;
    const QList<QByteArray> parts = QByteArray(layout).split('\'');
    for (qsizetype i = 0; i < parts.size(); ++i)
        bytes += i % 2 ? parts[i] : QByteArray::fromHex(parts[i]);
    if (fill >= 0 && bytes.size() < kSettingsRecordSize)
        bytes.append(kSettingsRecordSize - bytes.size(), char(fill));
    return bytes;
}
