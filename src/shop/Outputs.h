// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// What the shop drives. Each feature owns its windows, devices and files behind one of these; the
// shop only says when. A missing output (null) is simply not driven.

class CameraOutput {
public:
    virtual ~CameraOutput() = default;
    // Opens the chosen source; a camera just opened is compared with its own first frame.
    virtual void start() = 0;
    virtual void stop() = 0;
};

class GreetingOutput {
public:
    virtual ~GreetingOutput() = default;
    // A greeting still playing (or paused) is never cut off by the next customer.
    virtual bool playing() = 0;
    // Plays the chosen greeting, if there is one and its file is there.
    virtual void play() = 0;
    virtual void stopAll() = 0;
};

class MessageOutput {
public:
    virtual ~MessageOutput() = default;
    // Scrolls the message: once per customer while the camera watches, over and over otherwise.
    virtual void show() = 0;
    virtual void hide() = 0;
};

class PictureOutput {
public:
    virtual ~PictureOutput() = default;
    virtual void show(const QString& path) = 0;
    virtual void hide() = 0;
};

class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // Plays the file once, full screen while the panel is away; its end is reported to the shop.
    virtual void play(const QString& path) = 0;
    virtual void stop() = 0;
};

struct ShopOutputs {
    CameraOutput* camera = nullptr;
    GreetingOutput* greeting = nullptr;
    MessageOutput* message = nullptr;
    PictureOutput* picture = nullptr;
    VideoOutput* video = nullptr;
};
