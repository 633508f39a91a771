// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the greeting sound.
#include "app/ControlPanel.h"

#include "app/PictureButton.h"
#include "app/WorkFolder.h"
#include "media/Mci.h"

#include <QDir>
#include <QListWidget>

QString ControlPanel::sendSoundCommand(const QString& command) {
    if (!m_env.mci) {
        return {};
    }
    QString reply = m_env.mci->send(command);
    reply.remove(QChar(0));
    return reply;
}

void ControlPanel::stopAllSounds() {
    sendSoundCommand(QStringLiteral("close all"));
}

bool ControlPanel::openSound(const QString& path) {
    stopAllSounds();
    const QString reply = sendSoundCommand(QStringLiteral("open \"") + path + QStringLiteral("\" alias med"));
    sendSoundCommand(QStringLiteral("set med time format milliseconds"));
    m_currentSound = path;
    return reply.toInt() != 0;
}

void ControlPanel::playSound() {
    sendSoundCommand(QStringLiteral("play med"));
}

int ControlPanel::soundState() {
    const QString mode = sendSoundCommand(QStringLiteral("status med mode"));
    if (mode == QLatin1String("playing")) {
        return 1;
    }
    if (mode == QLatin1String("paused")) {
        return 2;
    }
    return 0;
}

void ControlPanel::greet() {
    // A greeting still playing is never cut off by the next customer.
    if (button(Detection)->appearance() != 1 || button(SoundsOff)->tag().toInt() != 1 || soundState() != 0) {
        return;
    }
    const QListWidgetItem* item = m_soundList->currentItem();
    const QString path =
        QDir(m_env.workFolder).filePath(QStringLiteral("Sonidos/") + (item ? item->text() : QString()));
    if (item && FileExists(path)) {
        openSound(path);
        playSound();
    }
}

void ControlPanel::previewSound() {
    // A click on the list plays the sound so that the shop hears what customers will.
    const QListWidgetItem* item = m_soundList->currentItem();
    if (!m_soundList->isVisible() || !item) {
        return;
    }
    openSound(QDir(m_env.workFolder).filePath(QStringLiteral("Sonidos/") + item->text()));
    playSound();
}
