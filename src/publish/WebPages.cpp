// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/WebPages.h"

#include "publish/Publishing.h"
#include "settings/AtomicSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// The page lies next to its pictures on the server, so it names them by their file name alone,
// even when the page name has a folder in front.
QString baseName(const QString& pageName) {
    return QFileInfo(pageName).fileName();
}

// A file name as it goes into an attribute: percent-encoded for the URL, then escaped for HTML.
QString urlIn(const QString& fileName) {
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName)).toHtmlEscaped();
}

QString head(const QString& title, const QString& extra) {
    return QStringLiteral("<!DOCTYPE html>\n"
                          "%3\n"
                          "<html lang=\"es\">\n"
                          "<head>\n"
                          "<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%1</title>\n"
                          "<style>\n"
                          "body { margin: 0; padding: 1em; background: #f4f4f0; color: #222;\n"
                          "       font-family: sans-serif; text-align: center; }\n"
                          "img { max-width: 100%; height: auto; border-radius: 4px; }\n"
                          "a { color: #2a6a2a; }\n"
                          "%2"
                          "</style>\n")
        .arg(title.toHtmlEscaped(), extra, WebPages::kMark);
}

// Written when missing, or when it is one of ours (it has the mark) and says something else now.
bool writeIfOurs(const QString& path, const QString& content) {
    const QByteArray bytes = content.toUtf8();
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray old = file.readAll();
        // The mark's first words, so that a page written with other wording is still known.
        if (old == bytes || !old.contains(QByteArrayLiteral("<!-- P\xc3\xa1gina generada por Pregonar")))
            return true;
        file.close();
    }
    return saveAtomically(path, bytes, std::nullopt, {}, nullptr);
}

} // namespace

namespace WebPages {

QString livePage(const QString& pageName, int reloadSeconds, bool withGallery) {
    const QString name = baseName(pageName);
    const QString seconds = QString::number(reloadSeconds);
    QString page = head(name + QStringLiteral(" - En vivo"), QString());
    // Without scripts the whole page reloads instead of the picture alone.
    page += QStringLiteral("<noscript><meta http-equiv=\"refresh\" content=\"%1\"></noscript>\n"
                           "</head>\n"
                           "<body>\n"
                           "<h1>En vivo</h1>\n"
                           "<p><img id=\"foto\" src=\"%2\" alt=\"Imagen en vivo\"></p>\n"
                           "<p>La imagen se actualiza cada %1 segundos.</p>\n")
                .arg(seconds, urlIn(name + QStringLiteral(".jpg")));
    if (withGallery) {
        page += QStringLiteral("<p><a href=\"%1\">Galería de imágenes</a></p>\n")
                    .arg(urlIn(name + QStringLiteral("-gi.html")));
    }
    // The query string keeps the browser from showing its cached copy; a picture that fails to load
    // (the upload of the moment) keeps the previous one on the screen.
    page += QStringLiteral("<script>\n"
                           "var foto = document.getElementById('foto');\n"
                           "var base = foto.getAttribute('src');\n"
                           "setInterval(function () {\n"
                           "  var nueva = new Image();\n"
                           "  nueva.onload = function () { foto.src = nueva.src; };\n"
                           "  nueva.src = base + '?t=' + Date.now();\n"
                           "}, %1);\n"
                           "</script>\n"
                           "</body>\n"
                           "</html>\n")
                .arg(qint64(reloadSeconds) * 1000);
    return page;
}

QString galleryPage(const QString& pageName, int gallerySize) {
    const QString name = baseName(pageName);
    QString page =
        head(name + QStringLiteral(" - Galería"),
             QStringLiteral("#galeria { display: grid; gap: 8px;\n"
                            "  grid-template-columns: repeat(auto-fill, minmax(160px, 1fr)); }\n"));
    page += QStringLiteral("</head>\n"
                           "<body>\n"
                           "<h1>Galería de imágenes</h1>\n"
                           "<p><a href=\"%1\">Imagen en vivo</a></p>\n"
                           "<div id=\"galeria\" data-base=\"%2\" data-fotos=\"%3\">\n")
                .arg(urlIn(name + QStringLiteral(".html")), urlIn(name), QString::number(gallerySize));
    // Without scripts: every number in order.
    page += QStringLiteral("<noscript>\n");
    for (int n = 1; n <= gallerySize; ++n) {
        page += QStringLiteral("<img src=\"%1\" alt=\"Foto %2\">\n")
                    .arg(urlIn(Publishing::galleryName(name, n)), QString::number(n));
    }
    page +=
        QStringLiteral("</noscript>\n"
                       "</div>\n"
                       "<script>\n"
                       "var galeria = document.getElementById('galeria');\n"
                       "var base = galeria.dataset.base, total = Number(galeria.dataset.fotos);\n"
                       "function nombre(n) { return base + '-' + String(n).padStart(3, '0') + '.jpg'; }\n"
                       "var pedidos = [];\n"
                       "for (var n = 1; n <= total; n++) {\n"
                       "  pedidos.push((function (n) {\n"
                       "    return fetch(nombre(n), { method: 'HEAD', cache: 'no-store' })\n"
                       "      .then(function (r) {\n"
                       "        if (!r.ok) return null;\n"
                       "        return { n: n, fecha: Date.parse(r.headers.get('Last-Modified')) || 0 };\n"
                       "      })\n"
                       "      .catch(function () { return null; });\n"
                       "  })(n));\n"
                       "}\n"
                       "Promise.all(pedidos).then(function (fotos) {\n"
                       "  fotos = fotos.filter(function (f) { return f; });\n"
                       "  fotos.sort(function (a, b) { return b.fecha - a.fecha || b.n - a.n; });\n"
                       "  fotos.forEach(function (f) {\n"
                       "    var img = document.createElement('img');\n"
                       "    img.src = nombre(f.n) + '?t=' + f.fecha;\n"
                       "    img.alt = 'Foto ' + f.n;\n"
                       "    img.loading = 'lazy';\n"
                       "    galeria.appendChild(img);\n"
                       "  });\n"
                       "  if (!fotos.length) galeria.textContent = 'Todavía no hay fotos.';\n"
                       "});\n"
                       "</script>\n"
                       "</body>\n"
                       "</html>\n");
    return page;
}

bool writePages(const QString& folder, const QString& pageName, int reloadSeconds, int gallerySize) {
    if (pageName.isEmpty())
        return true;
    const QDir dir(folder);
    bool ok = writeIfOurs(dir.filePath(pageName + QStringLiteral(".html")),
                          livePage(pageName, reloadSeconds, gallerySize > 0));
    if (gallerySize > 0) {
        ok = writeIfOurs(dir.filePath(pageName + QStringLiteral("-gi.html")),
                         galleryPage(pageName, gallerySize)) &&
             ok;
    }
    return ok;
}

} // namespace WebPages
