// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/SettingsRecord.h"

#include <QMap>
#include <QString>

// The FTP account and publishing choices, kept in records 2 to 6 as 12-character slices of
// one-byte (Windows-1252) characters, the password transposed.
struct UploadAccount {
    QString server;       // up to 48 characters
    QString user;         // up to 24
    QString password;     // up to 24
    QString pageName;     // up to 24
    int reloadIndex = 0;  // index in the "Tiempo Actualización" list
    int galleryIndex = 0; // index in the "Galería de Imágenes" list

    bool operator==(const UploadAccount&) const = default;
};

// Records 2..6. Characters past the maximum lengths are dropped.
QMap<int, SettingsRecord> encodeUploadRecords(const UploadAccount& account);

// Reads records 2..6 (missing ones empty). List indexes out of range give 0.
UploadAccount decodeUploadRecords(const QMap<int, SettingsRecord>& records);

// The password's characters in the order they are stored: record 5's VarA and VarB.
struct TransposedPassword {
    QByteArray varA;
    QByteArray varB;
};
TransposedPassword transposePassword(const QByteArray& password);
QByteArray restorePassword(const QByteArray& varA, const QByteArray& varB);
