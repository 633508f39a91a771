// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QSize>
#include <QString>
#include <optional>

// Which picture source watches the shop, kept in Pregonar.CAM beside the other settings.
struct CameraChoice {
    // Stored in the file by name: never rename.
    enum class Kind { SystemDefault, Camera, File, Demo, Network };

    Kind kind = Kind::SystemDefault;
    QString device;       // a camera's id, when known
    QString name;         // a camera's description; matched when the id is not found
    QString file;         // a video file played in a loop as if it were a camera
    QString url;          // a network camera: http:// (Motion JPEG) or rtsp://
    QSize resolution;     // empty: the source's choice
    double frameRate = 0; // 0: the source's choice
    // The detector takes a change of light all over the view for no customer. Written only when
    // off ("light=0"), so files without the line read as before.
    bool ignoreLightChanges = true;

    QString toText() const;
    static std::optional<CameraChoice> fromText(const QString& text);

    // Reads the file; a missing or unreadable file gives the system's default camera.
    static CameraChoice read(const QString& path);
    bool write(const QString& path, QString* error = nullptr) const;

    // `--camera`: "demo", an existing video file, a network camera's address, or a camera's name or id.
    static CameraChoice fromArgument(const QString& argument);

    // For the panel and the dialog.
    QString describe() const;

    // http://, https:// and rtsp:// addresses.
    static bool isNetworkAddress(const QString& text);

    bool operator==(const CameraChoice&) const = default;
};
