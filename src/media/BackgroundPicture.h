// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "shop/Outputs.h"

#include <QObject>

#include <functional>
#include <memory>

class BackgroundWindow;

// The picture behind the show: a borderless window covering the screen, black when the file
// cannot be read.
class BackgroundPicture : public QObject, public PictureOutput {
    Q_OBJECT
public:
    // `panelVisible`: with the panel away the picture takes the keyboard, so that Esc reaches it.
    explicit BackgroundPicture(std::function<bool()> panelVisible, QObject* parent = nullptr);
    ~BackgroundPicture() override;

    void show(const QString& path) override;
    void hide() override;
    BackgroundWindow* window() const { return m_window.get(); }

signals:
    void escapePressed();
    // Up on the screen: windows meant to stay above it are raised again.
    void shown();

private:
    std::function<bool()> m_panelVisible;
    std::unique_ptr<BackgroundWindow> m_window;
};
