// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "shop/Outputs.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class BannerWindow;

// The message on screen: the banner window, made on its first showing, with the speed and the
// alignment the panel's sliders set.
class MessageBanner : public QObject, public MessageOutput {
    Q_OBJECT
public:
    // `detectionRunning`: the message goes away after one pass while the camera watches, and
    // scrolls on otherwise. `text`: the message as it stands when it is shown.
    MessageBanner(std::function<bool()> detectionRunning, std::function<QString()> text,
                  QObject* parent = nullptr);
    ~MessageBanner() override;

    void show() override;
    void hide() override;
    void setSpeed(int speed);
    void setAlignment(int sliderValue);
    // Null until the message was first shown.
    BannerWindow* window() const { return m_window.get(); }

signals:
    void passFinished();
    void escapePressed();

private:
    std::function<bool()> m_detectionRunning;
    std::function<QString()> m_text;
    std::unique_ptr<BannerWindow> m_window;
    int m_speed = -1;
    int m_alignment = -1;
};
