// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// The XDG autostart entry (`autostart/pregonar.desktop` in the user's configuration folder) that
// starts Pregonar in its folder when the user's session starts. The entry itself is the state:
// nothing else remembers whether it is on, so an entry removed or switched off by hand is seen.
class Autostart {
public:
    // `configFolder`: the user's configuration folder, see `userConfigFolder`.
    explicit Autostart(QString configFolder);

    // $XDG_CONFIG_HOME, or ~/.config.
    static QString userConfigFolder();

    QString entryPath() const;
    // True when the entry is there and the session would start it (not marked Hidden, not switched
    // off by a desktop's "startup applications").
    bool isEnabled() const;
    // Writes the entry (atomically), starting `executable` in `workFolder`.
    bool enable(const QString& executable, const QString& workFolder, QString* error = nullptr) const;
    // Removes the entry; true when it is gone.
    bool disable(QString* error = nullptr) const;

private:
    QString m_configFolder;
};
