// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraChoice.h"

#include "settings/AtomicSave.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace {
const char* kindName(CameraChoice::Kind kind) {
    switch (kind) {
    case CameraChoice::Kind::Camera:
        return "camera";
    case CameraChoice::Kind::File:
        return "file";
    case CameraChoice::Kind::Demo:
        return "demo";
    case CameraChoice::Kind::Network:
        return "network";
    case CameraChoice::Kind::SystemDefault:
        break;
    }
    return "default";
}
} // namespace

QString CameraChoice::toText() const {
    QStringList lines;
    lines << QStringLiteral("source=") + QLatin1String(kindName(kind));
    if (!device.isEmpty()) {
        lines << QStringLiteral("device=") + device;
    }
    if (!name.isEmpty()) {
        lines << QStringLiteral("name=") + name;
    }
    if (!file.isEmpty()) {
        lines << QStringLiteral("file=") + file;
    }
    if (!url.isEmpty()) {
        lines << QStringLiteral("url=") + url;
    }
    if (resolution.isValid() && !resolution.isEmpty()) {
        lines << QStringLiteral("size=%1x%2").arg(resolution.width()).arg(resolution.height());
    }
    if (frameRate > 0) {
        lines << QStringLiteral("fps=") + QString::number(frameRate);
    }
    if (!ignoreLightChanges) {
        lines << QStringLiteral("light=0");
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

std::optional<CameraChoice> CameraChoice::fromText(const QString& text) {
    CameraChoice choice;
    bool sawSource = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || eq <= 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("source")) {
            sawSource = true;
            if (value == QLatin1String("camera")) {
                choice.kind = Kind::Camera;
            } else if (value == QLatin1String("file")) {
                choice.kind = Kind::File;
            } else if (value == QLatin1String("demo")) {
                choice.kind = Kind::Demo;
            } else if (value == QLatin1String("network")) {
                choice.kind = Kind::Network;
            } else {
                choice.kind = Kind::SystemDefault;
            }
        } else if (key == QLatin1String("device")) {
            choice.device = value;
        } else if (key == QLatin1String("name")) {
            choice.name = value;
        } else if (key == QLatin1String("file")) {
            choice.file = value;
        } else if (key == QLatin1String("url")) {
            choice.url = value;
        } else if (key == QLatin1String("size")) {
            const QStringList parts = value.split(QLatin1Char('x'));
            bool okW = false;
            bool okH = false;
            const int w = parts.value(0).toInt(&okW);
            const int h = parts.value(1).toInt(&okH);
            if (parts.size() == 2 && okW && okH && w > 0 && h > 0 && w <= 8192 && h <= 8192) {
                choice.resolution = QSize(w, h);
            }
        } else if (key == QLatin1String("fps")) {
            bool ok = false;
            const double fps = value.toDouble(&ok);
            if (ok && fps > 0 && fps <= 1000) {
                choice.frameRate = fps;
            }
        } else if (key == QLatin1String("light")) {
            choice.ignoreLightChanges = value != QLatin1String("0");
        }
    }
    if (!sawSource || (choice.kind == Kind::File && choice.file.isEmpty()) ||
        (choice.kind == Kind::Network && !isNetworkAddress(choice.url))) {
        return std::nullopt;
    }
    return choice;
}

CameraChoice CameraChoice::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return fromText(QString::fromUtf8(file.read(64 * 1024))).value_or(CameraChoice{});
}

bool CameraChoice::write(const QString& path, QString* error) const {
    return saveAtomically(path, toText().toUtf8(), std::nullopt, {}, error);
}

CameraChoice CameraChoice::fromArgument(const QString& argument) {
    CameraChoice choice;
    if (argument.compare(QLatin1String("demo"), Qt::CaseInsensitive) == 0) {
        choice.kind = Kind::Demo;
    } else if (isNetworkAddress(argument)) {
        choice.kind = Kind::Network;
        choice.url = argument.trimmed();
    } else if (QFileInfo(argument).isFile()) {
        choice.kind = Kind::File;
        choice.file = QFileInfo(argument).absoluteFilePath();
    } else {
        choice.kind = Kind::Camera;
        choice.device = argument;
        choice.name = argument;
    }
    return choice;
}

QString CameraChoice::describe() const {
    switch (kind) {
    case Kind::Camera:
        return name.isEmpty() ? device : name;
    case Kind::File:
        return QFileInfo(file).fileName();
    case Kind::Demo:
        return QStringLiteral("Escena de demostración");
    case Kind::Network:
        // Never the password.
        return QUrl(url).toDisplayString(QUrl::RemoveUserInfo);
    case Kind::SystemDefault:
        break;
    }
    return QStringLiteral("Cámara predeterminada del sistema");
}

bool CameraChoice::isNetworkAddress(const QString& text) {
    const QUrl address(text.trimmed(), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    return address.isValid() && !address.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
            scheme == QLatin1String("rtsp"));
}
