// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// The two pages the shop publishes, PageName.html (the live picture) and PageName-gi.html (the
// gallery). The program uploads them from the working folder; when one is missing there it is
// written from these templates, so a first publication works without the shop writing HTML.
// Every page written from them carries kMark.
namespace WebPages {

// The live page: shows PageName.jpg and fetches it again every reloadSeconds.
QString livePage(const QString& pageName, int reloadSeconds, bool withGallery);

// The gallery page: the numbered pictures PageName-001.jpg ... newest first. The page cannot know
// which number is the newest, so a small script asks the server for every number, skips the
// missing ones and orders the others by their modification time.
QString galleryPage(const QString& pageName, int gallerySize);

// The line that marks a page as written by the program. A page without it is the shop's own.
inline const QString kMark = QStringLiteral(
    "<!-- Página generada por Pregonar: se vuelve a escribir cuando cambia la configuración de "
    "publicación. Para hacerla propia, borre esta línea. -->");

// Writes PageName.html and, with a gallery, PageName-gi.html into `folder` when they are missing or
// carry the mark (so they follow the reload time and the gallery size). A page without the mark is
// never touched. Returns false when a page could not be written.
bool writePages(const QString& folder, const QString& pageName, int reloadSeconds, int gallerySize);

} // namespace WebPages
