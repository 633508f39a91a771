// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWindow>

#include <memory>

class QWidget;

// Puts pictures straight into a widget's place in its window, from memory the display server shares
// with the program. A repaint through the toolkit copies the picture into the window's backing store,
// and first waits for the server to finish reading the last one; at ten pictures a second that was a
// fifth of the program's processor time. Here the picture is copied once into one of two shared
// buffers, taken in turns, and the server is told where to draw it: nothing is waited for.
//
// Only on X11 with shared memory, for a true-colour window at a device pixel ratio of 1, and only while
// the widget is visible and not covered by a sibling; put() says no otherwise and the widget repaints as
// usual. The widget's own painting must draw the same picture: it is what the toolkit shows when it
// repaints the window itself.
class DirectBlitter : public QObject {
    Q_OBJECT
public:
    explicit DirectBlitter(QWidget* widget);
    ~DirectBlitter() override;

    // Shows `picture` (32-bit RGB, the widget's size) at once. False when it cannot: the caller repaints.
    bool put(const QImage& picture);

    // False once the display was found unsuitable (not X11, no shared memory, another pixel layout).
    bool usable() const { return !m_unusable; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Server;
    // The window to draw in, when the widget can be drawn there directly now.
    QWindow* drawableWindow() const;
    bool prepare(const QImage& picture);
    void putLast();
    void release();

    QWidget* m_widget;
    std::unique_ptr<Server> m_server;
    QPointer<QWindow> m_watched; // its exposures are followed by the last picture again
    bool m_unusable = false;
};
