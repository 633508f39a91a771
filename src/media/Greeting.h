// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "shop/Outputs.h"

#include <QString>

class SoundPlayer;

// The greeting: the sound file chosen from the folder Sonidos, the same every time.
class Greeting : public GreetingOutput {
public:
    // No player: nothing is heard.
    Greeting(const QString& soundsFolder, SoundPlayer* player);

    // The file chosen in the list (a name in the sounds folder); empty for none.
    void choose(const QString& fileName) { m_chosen = fileName; }
    const QString& chosen() const { return m_chosen; }

    bool playing() override;
    void play() override;
    void stopAll() override;
    // Plays a file of the folder at once, so that the shop hears what customers will.
    void preview(const QString& fileName);

private:
    QString m_folder;
    SoundPlayer* m_player;
    QString m_chosen;
};
