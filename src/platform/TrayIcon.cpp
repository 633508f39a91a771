// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/TrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

SystemTray::SystemTray(QObject* parent)
    : Tray(parent) {}

SystemTray::~SystemTray() {
    remove();
}

void SystemTray::add(const QIcon& icon, const QString& tip) {
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) {
                emit leftClicked();
            } else if (reason == QSystemTrayIcon::Context) {
                emit menuRequested(QCursor::pos());
            }
        });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void SystemTray::remove() {
    if (m_icon) {
        m_icon->hide();
        delete m_icon;
        m_icon = nullptr;
    }
}

bool SystemTray::isShown() const {
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

bool SystemTray::hostAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
