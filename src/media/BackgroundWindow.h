// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QWidget>

class QLabel;

// The background picture: a borderless window over the whole primary screen whose image control
// `ImgFondo` stretches the shop's picture to its own size. Black where there is no picture. It is
// an ordinary window, never kept on top, so the panel and the banner stay above it.
class BackgroundWindow : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundWindow(QWidget* parent = nullptr);

    QLabel* pictureLabel() const { return m_pictureLabel; }
    // The window and `ImgFondo` take the primary screen's size (and place).
    void coverScreen();
    // Loads the picture into `ImgFondo`; false, and an empty picture, when it cannot be read.
    bool loadPicture(const QString& path);

signals:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_pictureLabel;
};
