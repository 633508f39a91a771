// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Form1.h"
#include "platform/FtpClient.h"
#include "publish/Form2.h"

// The panel's publishing state (the rest lives in Form1: the gallery counter, saved with the panel's
// state, and the newest snapshot's name).
struct Form1::Publicacion {
    std::unique_ptr<FtpClient> client;
    std::unique_ptr<Form2> form2;
    // Trimmed fields of the last accept.
    QString server;
    QString user;
    QString password;
    QString pageName;
    int reloadSeconds = 0;
    int gallerySize = 0;
    QString lastGalleryName;  // the snapshot last published to the gallery
    bool connecting = false;  // ConectarFTP started, conectado() not yet arrived
    int uploadFailures = 0;   // failed uploads since the last one that went through
    bool messageOpen = false; // a message box of publishing waits for its OK
};
