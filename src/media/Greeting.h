// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "shop/Outputs.h"

#include <QString>

class Mci;

// The greeting: the sound file chosen from the folder Sonidos, played on the sound device. A
// greeting still playing is never cut off, and the same file is played every time.
class Greeting : public GreetingOutput {
public:
    // No device: nothing is heard.
    Greeting(const QString& soundsFolder, Mci* device);

    // The file chosen in the list (a name in the sounds folder); empty for none.
    void choose(const QString& fileName) { m_chosen = fileName; }
    const QString& chosen() const { return m_chosen; }

    bool playing() override;
    void play() override;
    void stopAll() override;
    // Plays a file of the folder at once, so that the shop hears what customers will.
    void preview(const QString& fileName);

    // The path last opened on the device.
    const QString& current() const { return m_current; }

private:
    QString send(const QString& command);
    void open(const QString& path);

    QString m_folder;
    Mci* m_device;
    QString m_chosen;
    QString m_current;
};
