// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class DirectBlitter;

// The camera's live view with the detector's red dots, or the idle picture while there are no frames.
// A new frame goes straight to the screen where the display allows it (see DirectBlitter); a repaint
// of the window paints the detector's own frame buffer.
class LiveView : public QWidget {
    Q_OBJECT
public:
    explicit LiveView(QWidget* parent = nullptr);

    // `frame` stays owned by the caller and must outlive the view or the next call.
    void showFrame(const QImage* frame);
    void showPicture(const QPixmap& picture);
    void clear();

    bool isShowingFrame() const { return m_frame != nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage* m_frame = nullptr;
    QPixmap m_picture;
    DirectBlitter* m_blitter;
};
