// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ReadMe.h"

#include "app/Product.h"
#include "settings/AtomicSave.h"

#include <QDir>

QStringList ReadMe::lines() {
    return {
        QStringLiteral("Pregonar 4.12"),
        QStringLiteral("Desarrollado por el equipo de Pregonar"),
        QStringLiteral("Hecho en Montevideo, Uruguay"),
        QString(),
        QString(),
        QStringLiteral("ACERCA DE PREGONAR"),
        QStringLiteral("Pregonar  es  un  programa  gratuito  diseñado  para  vendedores  y  tiendas  de "),
        QStringLiteral("computadores que deseen hacer publicidad inteligente a través de los monitores y "),
        QStringLiteral("portátiles que tengan en exhibición. Con Pregonar y el sistema de detección de "),
        QStringLiteral("movimiento por cámara Web podrán reproducir mensajes de voz, música en formato "),
        QStringLiteral("mp3, videos HD y descripciones detalladas en pantalla justo cuando los clientes "),
        QStringLiteral("se acerquen o requieran información adicional del equipo que están viendo."),
        QString(),
        QStringLiteral("MAS INFORMACION"),
        QStringLiteral("Sitio web: ") + Product::pageUrl(QStringLiteral("/pregonar")).toString(),
        QStringLiteral("Correo: ") + Product::kContactMail,
        QStringLiteral("Eso es todo, gracias."),
        QString(),
    };
}

bool ReadMe::write(const QString& folder) {
    const QString path = QDir(folder).filePath(QString::fromUtf16(kFileName));
    QString text;
    for (const QString& line : lines()) {
        text += line + QLatin1String("\r\n");
    }
    // Written through a temporary file and renamed, the read-only mark cleared first: a read-me
    // copied from a CD is replaced all the same, and a failed write leaves the old one.
    return saveAtomically(path, text.toUtf8(), std::nullopt, {}, nullptr);
}
