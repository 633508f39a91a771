// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/FrameSource.h"
#include "media/SoundPlayer.h"

#include <QImage>
#include <QStringList>

// A camera for tests: it shows whatever picture (Format_RGB32) the test puts in front of it.
struct ScriptedSource : FrameSource {
    QImage picture;
    bool present = true; // false: a camera that is not there
    bool running = false;

    void start() override { running = true; }
    void stop() override { running = false; }
    bool isActive() const override { return running && present; }
    bool withNewestFrame(const std::function<void(const FrameView&)>& use) override {
        if (!isActive() || picture.isNull())
            return false;
        use(FrameView::ofImage(picture));
        return true;
    }
    QString description() const override { return QStringLiteral("cámara de prueba"); }
};

// Records what it was asked to play.
struct RecordingSoundPlayer : SoundPlayer {
    QStringList played;

    bool play(const QString& path) override {
        played << path;
        return true;
    }
    bool playing() override { return false; }
    void stop() override {}
};
