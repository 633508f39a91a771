// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "platform/FtpClient.h"
#include "settings/UploadSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The message boxes publishing may need ("Pregonar - Conexión FTP"). The session opens at most one
// at a time.
class PublishingPrompts {
public:
    virtual ~PublishingPrompts() = default;
    virtual void warn(const QString& text) = 0;
    // A yes-or-no question; true for "Sí".
    virtual bool ask(const QString& text) = 0;
};

// Publishing on the web, without any window: the connection to the shop's FTP server, the
// automatic session that reconnects, and the upload timer with what each of its ticks uploads.
//
//   Off --toggle--> Manual (the FTP dialog open) --accept, logged in--> Publishing
//   Publishing --toggle--> Off
//   Publishing --an upload fails--> Automatic (the dialog open again, an accept every 5 s until a
//                                   login goes through; failed logins are quiet there)
//   Manual, Automatic --the dialog closed--> Off
//
// The client answers later, by signal; while a login is pending (connecting()) a new accept is
// ignored. Upload failures in a row (three, with a new login between them) stop publishing with
// one message instead of another restart: a new login cures a lost connection, not a server that
// refuses the file.
class PublishingSession : public QObject {
    Q_OBJECT
public:
    enum class State { Off, Manual, Automatic, Publishing };
    Q_ENUM(State)

    static constexpr int kUploadFailuresToStop = 3;

    PublishingSession(FtpClient& client, PublishingPrompts& prompts, QString workFolder,
                      QObject* parent = nullptr);

    State state() const { return m_state; }
    bool running() const { return m_state == State::Publishing; }
    bool automatic() const { return m_state == State::Automatic; }
    bool connecting() const { return m_connecting; }

    // The globe button: the dialog when off (raised when already open), off when publishing.
    void toggle();
    // ACEPTAR with the dialog's contents (the automatic session repeats the last ones).
    void accept(const UploadAccount& account);
    // The automatic session's attempt (its timer, every 5 s): ACEPTAR with the last contents.
    void retry() { accept(m_account); }
    // The dialog closed in any way: a pending login no longer counts, the automatic session ends.
    void formClosed();
    // The program closes: everything off, the session dropped.
    void stop();

    // Uploads happen only while this says detection runs (none: never).
    void setDetecting(std::function<bool()> detecting) { m_detecting = std::move(detecting); }
    // The newest snapshot of a customer, relative to the working folder.
    void setSnapshot(const QString& name) { m_snapshot = name; }
    // Writes the visit pages for a page name into the working folder and names them; they go to the
    // server under those names at login and then at most once every visitPagesIntervalMs.
    void setVisitPages(std::function<QStringList(const QString& pageName)> write) {
        m_visitPages = std::move(write);
    }
    int visitPagesIntervalMs() const { return m_visitPagesIntervalMs; }
    void setVisitPagesIntervalMs(int ms) { m_visitPagesIntervalMs = ms; }
    // The last gallery number used (saved with the panel's state).
    int galleryCounter() const { return m_galleryCounter; }
    void setGalleryCounter(int counter) { m_galleryCounter = counter; }
    const QString& lastGalleryName() const { return m_lastGalleryName; }

    // The choices of the last accept, trimmed and read.
    const QString& pageName() const { return m_pageName; }
    int reloadSeconds() const { return m_reloadSeconds; }
    int gallerySize() const { return m_gallerySize; }

    // One tick of the upload timer: the live picture and, once per snapshot, the gallery picture.
    void tick();

    QTimer& uploadTimer() { return m_uploadTimer; }
    QTimer& retryTimer() { return m_retryTimer; } // the automatic session's

signals:
    // The FTP dialog should show (or come to the front), captioned for the mode.
    void formWanted(bool automatic);
    // The FTP dialog should close: logged in, or the automatic session gave up.
    void formDone();
    // An accept passed the checks: records 2 to 6 and the pages are due, before the login.
    void accepted(const UploadAccount& account);
    void connectingChanged(bool connecting);
    void runningChanged(bool running);

private:
    void onLoggedIn(bool ok, const QString& error, FtpClient::LoginFailure failure);
    void loginFailed();
    void onUploaded(const QString& remote, bool ok, const QString& error);
    void sendVisitPages();
    void setConnecting(bool connecting);
    void setState(State state);
    void stopPublishing();
    void warn(const QString& text);
    bool ask(const QString& text);

    FtpClient& m_client;
    PublishingPrompts& m_prompts;
    QString m_workFolder;
    QTimer m_uploadTimer;
    QTimer m_retryTimer;
    State m_state = State::Off;
    bool m_connecting = false;
    bool m_messageOpen = false;
    int m_uploadFailures = 0; // failed uploads since the last one that went through

    UploadAccount m_account; // as typed, for the automatic session
    QString m_server;
    QString m_user;
    QString m_password;
    QString m_pageName;
    int m_reloadSeconds = 0;
    int m_gallerySize = 0;

    std::function<bool()> m_detecting;
    QString m_snapshot;
    int m_galleryCounter = 0;
    QString m_lastGalleryName; // the snapshot last published to the gallery
    std::function<QStringList(const QString&)> m_visitPages;
    int m_visitPagesIntervalMs = 60'000;
    QElapsedTimer m_visitPagesSent;
};
