// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
//
// Publishing on the web: the FTP dialog's accept (connectPublishing), the automatic session and the
// upload timer.
//
// The FTP client answers later, by signal, so the steps that ran one after the other keep their
// order this way:
//   connectPublishing  saves records 2-6, starts connectToServer and returns; the dialog stays open with a
//                    busy cursor and ignores ACEPTAR until the answer.
//   onLoggedIn    failure: the message (manual accept only), the dialog stays open.
//                    success: the dialog closes, button 5 on, the publishing timer armed, the page uploads
//                    queued.
//   publishTick     first tick comes at least 3 s later; the client runs uploads strictly in the
//                    order they were queued, so pages always go before pictures.
//   onUploaded       a failed upload restarts publishing (button 5 twice, the automatic session in
//                    between); the third failure in a row stops it with one message instead. The
//                    dialog is opened with open(), not exec(): nothing here runs a nested event
//                    loop, so a restart coming from inside a signal cannot stack up.
#include "publish/PanelPublish.h"

#include "app/PictureButton.h"
#include "platform/CurlFtpClient.h"
#include "platform/Dialogs.h"
#include "publish/Publishing.h"
#include "publish/WebPages.h"
#include "settings/SettingsFile.h"

#include <QComboBox>
#include <QDir>

namespace {

// Upload failures in a row, each followed by a new login, after which publishing stops.
constexpr int kUploadFailuresToStop = 3;

// One message box at a time: the box waits for its OK while timers go on firing.
void warnOnce(bool& messageOpen, Dialogs* dialogs, QWidget* owner, const QString& text) {
    if (!dialogs || messageOpen)
        return;
    messageOpen = true;
    dialogs->message(owner, Dialogs::Icon::Warning, QStringLiteral("Pregonar - Conexión FTP"), text);
    messageOpen = false;
}

// The same for a yes-or-no question; no answer (another box open) is a no.
bool askOnce(bool& messageOpen, Dialogs* dialogs, QWidget* owner, const QString& text) {
    if (!dialogs || messageOpen)
        return false;
    messageOpen = true;
    const bool yes = dialogs->question(owner, QStringLiteral("Pregonar - Conexión FTP"), text);
    messageOpen = false;
    return yes;
}

} // namespace

void ControlPanel::setUpPublishing() {
    m_publishing = std::make_unique<PublishingState>();
    connect(&m_publishTimer, &QTimer::timeout, this, &ControlPanel::publishTick);
    connect(&m_autoSessionTimer, &QTimer::timeout, this, &ControlPanel::retryPublishing);
}

FtpDialog* ControlPanel::ftpDialog() const {
    return m_publishing->ftpDialog.get();
}

FtpClient* ControlPanel::ftpClient() const {
    return m_publishing->client.get();
}

const QString& ControlPanel::lastGalleryName() const {
    return m_publishing->lastGalleryName;
}

void ControlPanel::openFtpDialog() {
    PublishingState& p = *m_publishing;
    if (!p.ftpDialog) {
        p.ftpDialog = std::make_unique<FtpDialog>(*this);
        connect(p.ftpDialog.get(), &QDialog::finished, this, [this] {
            // Closed while the server was being asked: that answer no longer counts.
            if (m_publishing->connecting) {
                m_publishing->connecting = false;
                m_publishing->client->disconnectFromServer();
            }
        });
    }
    if (p.ftpDialog->isVisible()) {
        p.ftpDialog->raise();
        return;
    }
    LoadUploadSettings();
    p.ftpDialog->prepare();
    p.ftpDialog->open();
}

void ControlPanel::LoadUploadSettings() {
    const SettingsFile file(settingsPath());
    if (!ftpDialog() || !file.exists())
        return;
    QMap<int, SettingsRecord> records;
    for (int n = 2; n <= 6; ++n)
        records.insert(n, file.read(n));
    ftpDialog()->setAccount(decodeUploadRecords(records));
}

void ControlPanel::connectPublishing() {
    PublishingState& p = *m_publishing;
    FtpDialog* dialog = p.ftpDialog.get();
    if (!dialog || p.connecting)
        return;

    // The settings file holds one byte per character; anything else would come back as '?'. A page
    // name must stay a plain file name, here and on the server.
    QString character;
    QString refusal;
    if (const QString field = dialog->unstorableField(&character); !field.isEmpty()) {
        refusal = QStringLiteral("El dato \"%1\" contiene el carácter \"%2\", que Pregonar no puede "
                                 "guardar.\nEscríbalo sin ese carácter.")
                      .arg(field, character);
    } else {
        refusal = Publishing::pageNameProblem(dialog->account().pageName);
    }
    if (!refusal.isEmpty()) {
        // Nobody is there to mend it in the automatic session: it ends rather than try again.
        if (m_autoSessionTimer.isActive())
            dialog->reject();
        else
            warnOnce(p.messageOpen, m_env.dialogs, dialog, refusal);
        return;
    }
    if (!m_autoSessionTimer.isActive())
        p.uploadFailures = 0; // the user starts afresh

    const UploadAccount account = dialog->account();
    SettingsFile(settingsPath()).write(encodeUploadRecords(account));
    p.server = account.server.trimmed();
    p.user = account.user; // exactly as stored: a space may belong to them
    p.password = account.password;
    p.pageName = account.pageName.trimmed();
    p.reloadSeconds = Publishing::leadingNumber(dialog->reloadList()->currentText());
    p.gallerySize = Publishing::leadingNumber(dialog->galleryList()->currentText());
    WebPages::writePages(m_env.workFolder, p.pageName, p.reloadSeconds, p.gallerySize);

    if (!p.client) {
        p.client = m_env.ftpFactory ? m_env.ftpFactory()
                                    : std::make_unique<CurlFtpClient>(
                                          QDir(m_env.workFolder).filePath(QStringLiteral("Pregonar.TLS")));
        connect(p.client.get(), &FtpClient::loggedIn, this,
                [this](bool ok, const QString& error, FtpClient::LoginFailure failure) {
                    using Failure = FtpClient::LoginFailure;
                    if (ok || (failure != Failure::KeyChanged && failure != Failure::Unsafe)) {
                        onLoggedIn(ok);
                        return;
                    }
                    // Refused for the owner's safety: trying again would fail the same way, so the
                    // automatic session stops and the owner is told why, and may trust a new key.
                    PublishingState& p = *m_publishing;
                    p.connecting = false;
                    m_autoSessionTimer.stop();
                    if (p.ftpDialog)
                        p.ftpDialog->setBusy(false);
                    if (failure == Failure::Unsafe)
                        warnOnce(p.messageOpen, m_env.dialogs, p.ftpDialog.get(), error);
                    else if (askOnce(p.messageOpen, m_env.dialogs, p.ftpDialog.get(),
                                     error + QStringLiteral("\n\n¿Confiar en la nueva clave?")) &&
                             p.client->trustNewKey())
                        connectPublishing();
                });
        connect(
            p.client.get(), &FtpClient::uploaded, this,
            [this](const QString& remote, bool ok, const QString& error) { onUploaded(remote, ok, error); });
    }
    if (!p.client->connectToServer(p.server, p.user, p.password)) {
        onLoggedIn(false);
        return;
    }
    p.connecting = true;
    dialog->setBusy(true);
}

void ControlPanel::onLoggedIn(bool ok) {
    PublishingState& p = *m_publishing;
    p.connecting = false;
    if (p.ftpDialog)
        p.ftpDialog->setBusy(false);
    if (!ok) {
        if (!m_autoSessionTimer.isActive())
            warnOnce(p.messageOpen, m_env.dialogs, p.ftpDialog.get(),
                     QStringLiteral("Imposible conectarse al servidor."));
        return;
    }
    if (p.ftpDialog)
        p.ftpDialog->accept();
    button(Publish)->setAppearance(1);
    button(Publish)->setBackColor(Colors::On);
    m_publishTimer.setInterval(Publishing::uploadInterval(p.reloadSeconds));
    m_publishTimer.start();
    const QDir folder(m_env.workFolder);
    const QString page = p.pageName + QStringLiteral(".html");
    p.client->upload(folder.filePath(page), page);
    if (p.gallerySize > 0) {
        const QString gallery = p.pageName + QStringLiteral("-gi.html");
        p.client->upload(folder.filePath(gallery), gallery);
    }
}

void ControlPanel::publishTick() {
    PublishingState& p = *m_publishing;
    if (!m_shop->detectorRunning() || !p.client)
        return;
    // No snapshot yet: nothing to publish. (Uploading the empty name would name the folder itself,
    // fail, and restart publishing every few seconds.)
    const QString snapshot = m_snapshotName.trimmed();
    if (snapshot.isEmpty())
        return;
    // One tick's uploads at a time, as when every upload finished within its tick: on a slow link
    // the next tick waits instead of piling up a backlog of stale pictures.
    if (p.client->pendingUploads() > 0)
        return;
    const QString local = QDir(m_env.workFolder).filePath(snapshot);
    p.client->upload(local, p.pageName + QStringLiteral(".jpg"));
    Publishing::GalleryRotation rotation{m_uploadCounter, p.lastGalleryName};
    if (const auto number = rotation.next(m_snapshotName, p.gallerySize)) {
        m_uploadCounter = rotation.counter;
        p.lastGalleryName = rotation.lastName;
        p.client->upload(local, Publishing::galleryName(p.pageName, *number));
    }
}

void ControlPanel::retryPublishing() {
    connectPublishing();
}

void ControlPanel::onUploaded(const QString& remote, bool ok, const QString& error) {
    PublishingState& p = *m_publishing;
    if (ok) {
        p.uploadFailures = 0;
        return;
    }
    if (!m_publishTimer.isActive())
        return;
    // A new login cures a lost connection, not a server that refuses the file (no write permission,
    // full quota, missing folder): after a few failures in a row with no upload between them,
    // publishing stops and the user is told what the server said.
    if (++p.uploadFailures >= kUploadFailuresToStop) {
        p.uploadFailures = 0;
        clickButton(Publish);
        m_autoSessionTimer.stop();
        warnOnce(p.messageOpen, m_env.dialogs, this,
                 QStringLiteral(
                     "No se pudo subir \"%1\" al servidor FTP en %2 intentos seguidos; la transferencia "
                     "de imágenes se detuvo.\n\nRespuesta del servidor:\n%3\n\nRevise la cuenta "
                     "(permiso de escritura, espacio libre, carpeta) y vuelva a conectarse.")
                     .arg(remote, QString::number(kUploadFailuresToStop), error));
        return;
    }
    // Publishing starts again as after a lost connection: switched off (which drops the session and
    // whatever else was queued), then the dialog again in automatic mode, whose timer reconnects.
    clickButton(Publish);
    m_autoSessionTimer.start();
    clickButton(Publish);
}

void ControlPanel::endPublishing() {
    PublishingState& p = *m_publishing;
    if (p.client)
        p.client->disconnectFromServer();
    if (p.ftpDialog && p.ftpDialog->isVisible())
        p.ftpDialog->reject();
}
