// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "media/Mci.h"

#include <QString>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

// The greeting's sound device over Qt Multimedia: one medium under one alias at a time.
class MediaMci final : public Mci {
public:
    MediaMci();
    ~MediaMci() override;
    QString send(const QString& command) override;

private:
    QString status() const;

    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_output;
    QString m_alias;
    QString m_path;
};
