// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>
#include <QUrl>

namespace Product {
inline const QString kName = QStringLiteral("Pregonar");
inline const QString kVersion = QStringLiteral("4.12");
inline const QString kNameAndVersion = QStringLiteral("Pregonar 4.12");
inline const QString kHost = QStringLiteral("pregonar.example");
inline const QString kContactMail = QStringLiteral("soporte@pregonar.example");

// A page of the publisher's site, e.g. "/pregonar".
inline QUrl pageUrl(const QString& path) {
    return QUrl(QStringLiteral("https://") + kHost + path);
}
} // namespace Product
