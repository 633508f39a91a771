// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/BackgroundWindow.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

BackgroundWindow::BackgroundWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_pictureLabel(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Pregonar - Imagen de Fondo"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    m_pictureLabel->setScaledContents(true);
    m_pictureLabel->hide();
}

void BackgroundWindow::coverScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // Without a window manager full screen alone keeps the old size: the geometry is set.
    setGeometry(screen->geometry());
    m_pictureLabel->setGeometry(rect());
}

bool BackgroundWindow::loadPicture(const QString& path) {
    QImageReader reader(path);
    // Pictures named .jpg that are really something else still show.
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    m_pictureLabel->setPixmap(QPixmap::fromImage(image));
    return !image.isNull();
}

void BackgroundWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_pictureLabel->setGeometry(rect());
}

void BackgroundWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}
