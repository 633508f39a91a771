// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "shop/Outputs.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class VideoPlayer;

// The video shown to a customer: played once, full screen while the panel is away, and watched
// for its end.
class BackgroundVideo : public QObject, public VideoOutput {
    Q_OBJECT
public:
    explicit BackgroundVideo(std::function<bool()> panelVisible, QObject* parent = nullptr);
    ~BackgroundVideo() override;

    void play(const QString& path) override;
    void stop() override;
    bool playing() const { return m_watch.isActive(); }
    // Null until a video was first played.
    VideoPlayer* player() const { return m_player.get(); }
    QTimer& watchTimer() { return m_watch; }

signals:
    // The video reached its end, or could not be played at all.
    void finished();
    void escapePressed();

private:
    VideoPlayer& ensurePlayer();
    void watch();

    std::function<bool()> m_panelVisible;
    std::unique_ptr<VideoPlayer> m_player;
    QTimer m_watch;
};
