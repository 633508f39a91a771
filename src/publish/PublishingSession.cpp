// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/PublishingSession.h"

#include "platform/FtpClient.h"
#include "publish/Publishing.h"

#include <QDir>

PublishingSession::PublishingSession(FtpClient& client, PublishingPrompts& prompts, QString workFolder,
                                     QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_prompts(prompts)
    , m_workFolder(std::move(workFolder)) {
    m_uploadTimer.setInterval(7000);
    m_retryTimer.setInterval(5000);
    connect(&m_uploadTimer, &QTimer::timeout, this, &PublishingSession::tick);
    connect(&m_retryTimer, &QTimer::timeout, this, &PublishingSession::retry);
    connect(&m_client, &FtpClient::loggedIn, this, &PublishingSession::onLoggedIn);
    connect(&m_client, &FtpClient::uploaded, this, &PublishingSession::onUploaded);
}

void PublishingSession::toggle() {
    switch (m_state) {
    case State::Publishing:
        stopPublishing();
        break;
    case State::Off:
        setState(State::Manual);
        emit formWanted(false);
        break;
    case State::Manual:
    case State::Automatic:
        emit formWanted(automatic());
        break;
    }
}

void PublishingSession::accept(const UploadAccount& account) {
    if (m_connecting || (m_state != State::Manual && m_state != State::Automatic))
        return;
    if (const QString refusal = Publishing::accountProblem(account); !refusal.isEmpty()) {
        // Nobody is there to mend it in the automatic session: it ends rather than try again.
        if (automatic()) {
            m_retryTimer.stop();
            setState(State::Off);
            emit formDone();
        } else {
            warn(refusal);
        }
        return;
    }
    if (!automatic())
        m_uploadFailures = 0; // the user starts afresh
    m_account = account;
    m_server = account.server.trimmed();
    m_user = account.user; // exactly as stored: a space may belong to them
    m_password = account.password;
    m_pageName = account.pageName.trimmed();
    m_reloadSeconds = Publishing::leadingNumber(Publishing::reloadItems().value(account.reloadIndex));
    m_gallerySize = Publishing::leadingNumber(Publishing::galleryItems().value(account.galleryIndex));
    emit accepted(account);
    if (m_client.connectToServer(m_server, m_user, m_password))
        setConnecting(true);
    else
        loginFailed(); // a field empty or not understood: no login was tried
}

void PublishingSession::loginFailed() {
    if (!automatic())
        warn(QStringLiteral("Imposible conectarse al servidor."));
}

void PublishingSession::onLoggedIn(bool ok, const QString& error, FtpClient::LoginFailure failure) {
    using Failure = FtpClient::LoginFailure;
    if (!m_connecting)
        return; // the dialog was closed meanwhile
    setConnecting(false);
    if (failure == Failure::KeyChanged || failure == Failure::Unsafe) {
        // Refused for the owner's safety: trying again would fail the same way, so the automatic
        // session stops and the owner is told why, and may trust a new key.
        m_retryTimer.stop();
        if (automatic())
            setState(State::Manual);
        if (failure == Failure::Unsafe)
            warn(error);
        else if (ask(error + QStringLiteral("\n\n¿Confiar en la nueva clave?")) && m_client.trustNewKey())
            accept(m_account);
        return;
    }
    if (!ok) {
        loginFailed();
        return;
    }
    m_retryTimer.stop();
    setState(State::Publishing);
    emit formDone();
    m_uploadTimer.setInterval(Publishing::uploadInterval(m_reloadSeconds));
    m_uploadTimer.start();
    const QDir folder(m_workFolder);
    const QString page = m_pageName + QStringLiteral(".html");
    m_client.upload(folder.filePath(page), page);
    if (m_gallerySize > 0) {
        const QString gallery = m_pageName + QStringLiteral("-gi.html");
        m_client.upload(folder.filePath(gallery), gallery);
    }
    m_visitPagesSent.invalidate();
    sendVisitPages();
}

void PublishingSession::sendVisitPages() {
    if (!m_visitPages || (m_visitPagesSent.isValid() && m_visitPagesSent.elapsed() < m_visitPagesIntervalMs))
        return;
    m_visitPagesSent.start();
    const QDir folder(m_workFolder);
    for (const QString& name : m_visitPages(m_pageName))
        m_client.upload(folder.filePath(name), name);
}

void PublishingSession::tick() {
    if (!running() || !m_detecting || !m_detecting())
        return;
    // One tick's uploads at a time: on a slow link the next tick waits instead of piling up a
    // backlog of stale pictures.
    if (m_client.pendingUploads() > 0)
        return;
    sendVisitPages();
    // No snapshot yet: nothing to publish. (Uploading the empty name would name the folder itself,
    // fail, and restart publishing every few seconds.)
    const QString snapshot = m_snapshot.trimmed();
    if (snapshot.isEmpty())
        return;
    const QString local = QDir(m_workFolder).filePath(snapshot);
    m_client.upload(local, m_pageName + QStringLiteral(".jpg"));
    Publishing::GalleryRotation rotation{m_galleryCounter, m_lastGalleryName};
    if (const auto number = rotation.next(m_snapshot, m_gallerySize)) {
        m_galleryCounter = rotation.counter;
        m_lastGalleryName = rotation.lastName;
        m_client.upload(local, Publishing::galleryName(m_pageName, *number));
    }
}

void PublishingSession::onUploaded(const QString& remote, bool ok, const QString& error) {
    if (ok) {
        m_uploadFailures = 0;
        return;
    }
    if (!running())
        return;
    stopPublishing(); // drops the session and whatever else was queued
    if (++m_uploadFailures >= kUploadFailuresToStop) {
        m_uploadFailures = 0;
        warn(QStringLiteral("No se pudo subir \"%1\" al servidor FTP en %2 intentos seguidos; la "
                            "transferencia de imágenes se detuvo.\n\nRespuesta del servidor:\n%3\n\nRevise "
                            "la cuenta (permiso de escritura, espacio libre, carpeta) y vuelva a conectarse.")
                 .arg(remote, QString::number(kUploadFailuresToStop), error));
        return;
    }
    // As after a lost connection: the dialog again, in automatic mode, whose timer reconnects.
    setState(State::Automatic);
    m_retryTimer.start();
    emit formWanted(true);
}

void PublishingSession::formClosed() {
    if (m_state != State::Manual && m_state != State::Automatic)
        return;
    if (m_connecting) {
        setConnecting(false);
        m_client.disconnectFromServer();
    }
    m_retryTimer.stop();
    setState(State::Off);
}

void PublishingSession::stop() {
    m_retryTimer.stop();
    setConnecting(false);
    stopPublishing();
    m_client.disconnectFromServer();
    setState(State::Off);
}

void PublishingSession::stopPublishing() {
    if (!running())
        return;
    m_uploadTimer.stop();
    m_client.disconnectFromServer();
    setState(State::Off);
}

void PublishingSession::setConnecting(bool connecting) {
    if (m_connecting == connecting)
        return;
    m_connecting = connecting;
    emit connectingChanged(connecting);
}

void PublishingSession::setState(State state) {
    const bool wasRunning = running();
    m_state = state;
    if (running() != wasRunning)
        emit runningChanged(running());
}

// One message box at a time: the box waits for its OK while timers go on firing.
void PublishingSession::warn(const QString& text) {
    if (m_messageOpen)
        return;
    m_messageOpen = true;
    m_prompts.warn(text);
    m_messageOpen = false;
}

// The same for a question; no answer (another box open) is a no.
bool PublishingSession::ask(const QString& text) {
    if (m_messageOpen)
        return false;
    m_messageOpen = true;
    const bool yes = m_prompts.ask(text);
    m_messageOpen = false;
    return yes;
}
