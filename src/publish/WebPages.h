// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// The two pages the shop publishes, PageName.html (the live picture) and PageName-gi.html (the
// gallery). The program uploads them from the working folder; when one is missing there it is
// written from these templates, so a first publication works without the shop writing HTML.
namespace WebPages {

// The live page: shows PageName.jpg and fetches it again every reloadSeconds.
QString livePage(const QString& pageName, int reloadSeconds, bool withGallery);

// The gallery page: the numbered pictures PageName-001.jpg ... newest first. The page cannot know
// which number is the newest, so a small script asks the server for every number, skips the
// missing ones and orders the others by their modification time.
QString galleryPage(const QString& pageName, int gallerySize);

// Writes PageName.html and, with a gallery, PageName-gi.html into `folder` when they are missing.
// A page that exists is the shop's own and is never touched. Returns false when a missing page could
// not be written.
bool writeMissingPages(const QString& folder, const QString& pageName, int reloadSeconds, int gallerySize);

} // namespace WebPages
