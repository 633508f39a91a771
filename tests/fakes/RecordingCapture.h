// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameSource.h"
#include "media/Mci.h"

#include <QImage>
#include <QStringList>

// A camera for tests: it shows whatever picture the test puts in front of it.
class ScriptedSource : public FrameSource {
public:
    QImage picture;
    bool present = true; // false: a camera that is not there
    bool running = false;
    int starts = 0;

    void start() override {
        running = true;
        ++starts;
    }
    void stop() override { running = false; }
    bool isActive() const override { return running && present; }
    bool withNewestFrame(const std::function<void(const FrameView&)>& use) override {
        if (!isActive() || picture.isNull()) {
            return false;
        }
        const QImage frame = picture.convertToFormat(QImage::Format_RGB32);
        use(FrameView::ofImage(frame));
        return true;
    }
    QString description() const override { return QStringLiteral("cámara de prueba"); }
};

// A sound device that records the commands it was sent; "status med mode" answers `mode`.
class RecordingMci : public Mci {
public:
    QStringList commands;
    QString mode = QStringLiteral("stopped");

    QString send(const QString& command) override {
        commands << command;
        if (command.startsWith(QLatin1String("open "))) {
            return QStringLiteral("1");
        }
        if (command == QLatin1String("status med mode")) {
            return mode;
        }
        return {};
    }
    int plays() const { return int(commands.count(QStringLiteral("play med"))); }
};
