// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "media/SoundPlayer.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// The greeting's sound over Qt Multimedia.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool play(const QString& path) override;
    bool playing() override;
    void stop() override;

private:
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_output;
};
