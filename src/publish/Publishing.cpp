// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/Publishing.h"

#include "settings/Windows1252.h"

#include <algorithm>
#include <array>

namespace Publishing {

const QStringList& reloadItems() {
    static const QStringList items{
        QStringLiteral("5 Segundos"),  QStringLiteral("6 Segundos"),  QStringLiteral("7 Segundos"),
        QStringLiteral("8 Segundos"),  QStringLiteral("9 Segundos"),  QStringLiteral("10 Segundos"),
        QStringLiteral("15 Segundos"), QStringLiteral("20 Segundos"), QStringLiteral("25 Segundos"),
        QStringLiteral("30 Segundos"), QStringLiteral("40 Segundos"), QStringLiteral("50 Segundos"),
        QStringLiteral("60 Segundos")};
    return items;
}

const QStringList& galleryItems() {
    static const QStringList items{
        QStringLiteral("DESACTIVADO"), QStringLiteral("10 Fotos"),  QStringLiteral("20 Fotos"),
        QStringLiteral("30 Fotos"),    QStringLiteral("40 Fotos"),  QStringLiteral("50 Fotos"),
        QStringLiteral("60 Fotos"),    QStringLiteral("70 Fotos"),  QStringLiteral("80 Fotos"),
        QStringLiteral("90 Fotos"),    QStringLiteral("100 Fotos"), QStringLiteral("150 Fotos"),
        QStringLiteral("200 Fotos")};
    return items;
}

int leadingNumber(const QString& item) {
    int value = 0;
    for (const QChar c : item.trimmed()) {
        if (!c.isDigit() || value > 100'000)
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

int uploadInterval(int reloadSeconds) {
    const qint32 ms = qint32(reloadSeconds) * 1000;
    if (reloadSeconds >= 2 && reloadSeconds <= 4)
        return ms - 1000;
    if (reloadSeconds >= 5 && reloadSeconds <= 7)
        return ms - 2000;
    return ms - 3000;
}

int nextGalleryNumber(int counter, int size) {
    return counter < size ? counter + 1 : 1;
}

QString pageNameProblem(const QString& pageName) {
    const QString name = pageName.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Escriba en \"Archivo HTML\" el nombre de las páginas web, por ejemplo: casa");
    const bool control =
        std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (control || name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral("..")))
        return QStringLiteral("El nombre de \"Archivo HTML\" no puede contener \"/\", \"\\\", \"..\" ni "
                              "caracteres de control.\nEscriba solo el nombre de las páginas web, por "
                              "ejemplo: casa");
    return {};
}

QString accountProblem(const UploadAccount& account) {
    const std::array<std::pair<const char16_t*, const QString*>, 4> fields{
        {{u"Servidor FTP", &account.server},
         {u"Usuario", &account.user},
         {u"Contraseña", &account.password},
         {u"Archivo HTML", &account.pageName}}};
    for (const auto& [caption, text] : fields) {
        if (Windows1252::canEncode(*text))
            continue;
        // The first character (a whole surrogate pair counts as one) that has no byte.
        for (qsizetype at = 0; at < text->size(); ++at) {
            const qsizetype length = text->at(at).isHighSurrogate() && at + 1 < text->size() ? 2 : 1;
            if (!Windows1252::canEncode(QStringView(*text).mid(at, length)))
                return QStringLiteral("El dato \"%1\" contiene el carácter \"%2\", que Pregonar no puede "
                                      "guardar.\nEscríbalo sin ese carácter.")
                    .arg(QString::fromUtf16(caption), text->mid(at, length));
            at += length - 1;
        }
    }
    return pageNameProblem(account.pageName);
}

QString galleryName(const QString& pageName, int number) {
    return pageName + u'-' + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0')) +
           QStringLiteral(".jpg");
}

std::optional<int> GalleryRotation::next(const QString& snapshotName, int gallerySize) {
    if (gallerySize <= 0 || snapshotName == lastName)
        return std::nullopt;
    counter = nextGalleryNumber(counter, gallerySize);
    lastName = snapshotName;
    return counter;
}

} // namespace Publishing
