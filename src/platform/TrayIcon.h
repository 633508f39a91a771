// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QSystemTrayIcon;

// The notification-area icon. Without a tray host there is no icon and no error.
class Tray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void add(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    virtual bool isShown() const = 0;

signals:
    void leftClicked();
    void menuRequested(QPoint globalPosition);
};

class SystemTray : public Tray {
    Q_OBJECT
public:
    explicit SystemTray(QObject* parent = nullptr);
    ~SystemTray() override;
    void add(const QIcon& icon, const QString& tip) override;
    void remove() override;
    bool isShown() const override;
    // A tray host (a panel with a notification area) is running on this display.
    static bool hostAvailable();

private:
    QSystemTrayIcon* m_icon = nullptr;
};
