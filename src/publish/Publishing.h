// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/UploadSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the publishing choices mean, without any window or network.
namespace Publishing {

// The items of the dialog's two lists, in list order; their index is what record 6 stores.
const QStringList& reloadItems();  // "5 Segundos" ... "60 Segundos"
const QStringList& galleryItems(); // "DESACTIVADO", "10 Fotos" ... "200 Fotos"

// The leading number of a list item: "8 Segundos" gives 8, "150 Fotos" 150, "DESACTIVADO" 0.
int leadingNumber(const QString& item);

// the publishing timer's interval for a reload time: the upload is started a little before the page reloads,
// so the visitor finds the new picture already in place.
int uploadInterval(int reloadSeconds);

// The gallery number after `counter` in a gallery of `size` pictures: 1 after the last one (or after
// a counter left over from a larger gallery).
int nextGalleryNumber(int counter, int size);

// Why a page name (as typed in "Archivo HTML") cannot be used, as the message ACEPTAR shows; empty
// when it can. The trimmed name must name files in the working folder and in the login folder only:
// no folder separators, no "..", no control characters, and not empty.
QString pageNameProblem(const QString& pageName);

// Why the dialog's contents cannot be accepted, as the message ACEPTAR shows; empty when they can.
// First a character the settings file cannot hold (it keeps one Windows-1252 byte per character,
// anything else would come back as '?'), then the page name.
QString accountProblem(const UploadAccount& account);

// "casa-007.jpg".
QString galleryName(const QString& pageName, int number);

// Which gallery picture a tick publishes. A snapshot goes to the gallery once, however many ticks
// see it; the counter is the one saved with the panel's state, so it goes on across restarts.
struct GalleryRotation {
    int counter = 0;
    QString lastName;
    // The gallery number for this snapshot, or nothing (gallery off, or snapshot already published).
    std::optional<int> next(const QString& snapshotName, int gallerySize);
};

} // namespace Publishing
