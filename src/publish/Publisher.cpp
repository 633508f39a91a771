// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/Publisher.h"

#include "platform/CurlFtpClient.h"
#include "platform/Dialogs.h"
#include "publish/FtpDialog.h"
#include "publish/WebPages.h"
#include "settings/SettingsFile.h"

#include <QDir>

namespace {
const QString kTitle = QStringLiteral("Pregonar - Conexión FTP");
}

Publisher::Publisher(QWidget* window, QString workFolder, Dialogs* dialogs, const ClientFactory& makeClient)
    : m_window(window)
    , m_workFolder(std::move(workFolder))
    , m_dialogs(dialogs)
    , m_client(makeClient ? makeClient()
                          : std::make_unique<CurlFtpClient>(
                                QDir(m_workFolder).filePath(QStringLiteral("Pregonar.TLS"))))
    , m_session(std::make_unique<PublishingSession>(*m_client, static_cast<PublishingPrompts&>(*this),
                                                    m_workFolder)) {
    connect(m_session.get(), &PublishingSession::runningChanged, this, &Publisher::runningChanged);
    connect(m_session.get(), &PublishingSession::formWanted, this, &Publisher::showForm);
    connect(m_session.get(), &PublishingSession::formDone, this, [this] {
        if (m_dialog && m_dialog->isVisible())
            m_dialog->accept();
    });
    connect(m_session.get(), &PublishingSession::accepted, this, &Publisher::store);
    connect(m_session.get(), &PublishingSession::connectingChanged, this, [this](bool busy) {
        if (m_dialog)
            m_dialog->setBusy(busy);
    });
}

Publisher::~Publisher() = default;

void Publisher::toggle() {
    m_session->toggle();
}

void Publisher::shutdown() {
    m_session->stop();
    if (m_dialog && m_dialog->isVisible())
        m_dialog->reject();
}

void Publisher::showForm(bool automatic) {
    if (!m_dialog) {
        m_dialog = std::make_unique<FtpDialog>(m_window);
        connect(m_dialog.get(), &FtpDialog::acceptClicked, this,
                [this] { m_session->accept(m_dialog->account()); });
        connect(m_dialog.get(), &QDialog::finished, m_session.get(), &PublishingSession::formClosed);
        connect(m_dialog.get(), &FtpDialog::hint, this, &Publisher::hint);
    }
    if (m_dialog->isVisible()) {
        m_dialog->raise();
        return;
    }
    if (const SettingsFile file(QDir(m_workFolder).filePath(QStringLiteral("Pregonar.DAT"))); file.exists()) {
        QMap<int, SettingsRecord> records;
        for (int n = 2; n <= 6; ++n)
            records.insert(n, file.read(n));
        m_dialog->setAccount(decodeUploadRecords(records));
    }
    m_dialog->prepare(automatic);
    // open(), not exec(): nothing here runs a nested event loop, so a restart coming from inside a
    // signal cannot stack up.
    m_dialog->open();
}

void Publisher::store(const UploadAccount& account) {
    SettingsFile(QDir(m_workFolder).filePath(QStringLiteral("Pregonar.DAT")))
        .write(encodeUploadRecords(account));
    WebPages::writePages(m_workFolder, m_session->pageName(), m_session->reloadSeconds(),
                         m_session->gallerySize());
}

QWidget* Publisher::messageOwner() const {
    return m_dialog && m_dialog->isVisible() ? static_cast<QWidget*>(m_dialog.get()) : m_window;
}

void Publisher::warn(const QString& text) {
    if (m_dialogs)
        m_dialogs->message(messageOwner(), Dialogs::Icon::Warning, kTitle, text);
}

bool Publisher::ask(const QString& text) {
    return m_dialogs && m_dialogs->question(messageOwner(), kTitle, text);
}
