// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Colors.h"

#include <QFrame>
#include <QPixmap>

// One of the panel's picture buttons: a picture drawn sunken (on) or flat (off) on a colour.
// The panel draws the shop's state on it; the button only reports the mouse.
class PictureButton : public QFrame {
    Q_OBJECT
public:
    PictureButton(int index, QPixmap picture, QWidget* parent = nullptr);

    int index() const { return m_index; }

    bool isOn() const { return m_on; }
    void setOn(bool on);

    Bgr colour() const { return m_colour; }
    void setColour(Bgr colour);

    QSize sizeHint() const override;

signals:
    void clicked(int index);
    void mouseDown(int index);
    void mouseUp(int index);
    void mouseMoved(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int m_index;
    QPixmap m_picture;
    bool m_on = false;
    Bgr m_colour = Colors::Idle;
};

// The picture of each button, drawn so that it reads without its hint.
QPixmap buttonPicture(int index, int size, qreal devicePixelRatio);
