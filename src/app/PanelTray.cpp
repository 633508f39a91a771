// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The tray icon's side of the panel: a left click brings the panel back (for a while when
// advertising runs), a right click opens `trayMenu`.
#include "app/ControlPanel.h"
#include "app/PanelTexts.h"
#include "app/Product.h"
#include "audience/AudienceViews.h"
#include "platform/Autostart.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"

#include <QMenu>

void ControlPanel::buildTrayMenu() {
    m_trayMenu = new QMenu(this);
    // The panel stays up, even when a click on the icon had it going away again.
    QAction* mnuAbrir =
        m_trayMenu->addAction(QStringLiteral("Abrir Pregonar"), this, [this] { m_shop->openPanel(); });
    mnuAbrir->setObjectName(QStringLiteral("mnuAbrir"));
    m_trayMenu
        ->addAction(QStringLiteral("Acerca de..."), this,
                    [this] {
                        if (m_env.shell) {
                            m_env.shell->openUrl(Product::pageUrl(QStringLiteral("/pregonar")));
                        }
                    })
        ->setObjectName(QStringLiteral("mnuAcerca"));
    m_trayMenu->addAction(PanelTexts::kVisits, this, [this] { m_audience->showVisits(); })
        ->setObjectName(QStringLiteral("mnuVisitas"));
    m_trayMenu->addAction(PanelTexts::kOpeningHours, this, [this] { m_audience->showHours(); })
        ->setObjectName(QStringLiteral("mnuHorario"));
    if (!m_env.configFolder.isEmpty()) {
        addAutostartItem();
    }
    m_trayMenu->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    m_trayMenu->addAction(QStringLiteral("Salir"), this, &ControlPanel::unload)
        ->setObjectName(QStringLiteral("mnuSalir"));
    // The default item shows in bold.
    m_trayMenu->setDefaultAction(mnuAbrir);
    // The menu stays open after the click that opened it: it clears the guard when it goes.
    connect(m_trayMenu, &QMenu::aboutToHide, this, [this] { m_trayBusy = false; });

    if (m_env.tray) {
        connect(m_env.tray, &Tray::leftClicked, this, [this] { trayMessage(false, {}); });
        connect(m_env.tray, &Tray::menuRequested, this, [this](QPoint at) { trayMessage(true, at); });
    }
}

void ControlPanel::trayMessage(bool menu, QPoint position) {
    if (m_trayBusy || m_unloaded) {
        return;
    }
    if (menu) {
        m_trayBusy = true;
        m_trayMenu->popup(position, m_trayMenu->defaultAction());
    } else {
        m_trayBusy = true;
        bringPanelBack();
        m_trayBusy = false;
    }
}

void ControlPanel::addAutostartItem() {
    // "I" is its key in the open menu.
    QAction* item = m_trayMenu->addAction(QLatin1Char('&') + PanelTexts::kStartWithComputer);
    item->setObjectName(QStringLiteral("mnuIniciar"));
    item->setCheckable(true);
    const Autostart entry(m_env.configFolder);
    // The entry itself is the state, read again every time: a removal by hand is seen.
    connect(m_trayMenu, &QMenu::aboutToShow, item, [item, entry] { item->setChecked(entry.isEnabled()); });
    connect(item, &QAction::triggered, this, [this, entry](bool on) {
        QString error;
        if (!(on ? entry.enable(m_env.executable, m_env.workFolder, &error) : entry.disable(&error)) &&
            m_env.dialogs) {
            m_env.dialogs->message(this, Dialogs::Icon::Warning,
                                   QStringLiteral("Pregonar - ") + PanelTexts::kStartWithComputer,
                                   QStringLiteral("No se pudo cambiar el inicio con el equipo.\n") + error);
        }
    });
}
