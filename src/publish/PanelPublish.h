// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/ControlPanel.h"
#include "platform/FtpClient.h"
#include "publish/FtpDialog.h"

// The panel's publishing state (the rest lives in ControlPanel: the gallery counter, saved with the panel's
// state, and the newest snapshot's name).
struct ControlPanel::PublishingState {
    std::unique_ptr<FtpClient> client;
    std::unique_ptr<FtpDialog> ftpDialog;
    // Trimmed fields of the last accept.
    QString server;
    QString user;
    QString password;
    QString pageName;
    int reloadSeconds = 0;
    int gallerySize = 0;
    QString lastGalleryName;  // the snapshot last published to the gallery
    bool connecting = false;  // connectToServer started, loggedIn() not yet arrived
    int uploadFailures = 0;   // failed uploads since the last one that went through
    bool messageOpen = false; // a message box of publishing waits for its OK
};
