// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "publish/PublishingSession.h"

#include <QObject>

#include <functional>
#include <memory>

class Dialogs;
class FtpClient;
class FtpDialog;
class QWidget;

// Publishing on the web, with everything it needs: the session, the FTP client, the FTP dialog,
// the two pages and records 2 to 6 of Pregonar.DAT. The panel only toggles it with its globe
// button, shows whether it runs, and tells it whether detection runs and which snapshot is newest.
class Publisher : public QObject, private PublishingPrompts {
    Q_OBJECT
public:
    using ClientFactory = std::function<std::unique_ptr<FtpClient>()>;

    // `window` owns the dialog and the messages; the files live in `workFolder`. An empty factory
    // gives the real client (CurlFtpClient), which keeps the servers' TLS keys in Pregonar.TLS.
    Publisher(QWidget* window, QString workFolder, Dialogs* dialogs, const ClientFactory& makeClient = {});
    ~Publisher() override;

    // The globe button: the dialog when off, disconnected when on.
    void toggle();
    bool running() const { return m_session->running(); }
    // Uploads happen only while detection runs.
    void setDetecting(std::function<bool()> detecting) { m_session->setDetecting(std::move(detecting)); }
    // The newest snapshot of a customer, relative to the working folder.
    void setSnapshot(const QString& name) { m_session->setSnapshot(name); }
    // The visit pages that go with the pictures (see PublishingSession::setVisitPages).
    void setVisitPages(std::function<QStringList(const QString&)> write) {
        m_session->setVisitPages(std::move(write));
    }
    // The last gallery number used, kept in record 1 with the panel's state.
    int uploadCounter() const { return m_session->galleryCounter(); }
    void setUploadCounter(int counter) { m_session->setGalleryCounter(counter); }
    // The program closes: disconnected, the dialog closed.
    void shutdown();

    PublishingSession& session() { return *m_session; }
    FtpClient& client() { return *m_client; }
    FtpDialog* dialog() const { return m_dialog.get(); } // made when first shown

signals:
    void runningChanged(bool running);
    // For the panel's hint line, while a box of the dialog has the focus.
    void hint(const QString& text);

private:
    void showForm(bool automatic);
    void store(const UploadAccount& account);
    QWidget* messageOwner() const;
    void warn(const QString& text) override;
    bool ask(const QString& text) override;

    QWidget* m_window;
    QString m_workFolder;
    Dialogs* m_dialogs;
    std::unique_ptr<FtpClient> m_client;
    std::unique_ptr<PublishingSession> m_session;
    std::unique_ptr<FtpDialog> m_dialog;
};
