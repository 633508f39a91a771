// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/LiveView.h"

#include "platform/DirectBlitter.h"

#include <QPainter>

LiveView::LiveView(QWidget* parent)
    : QWidget(parent)
    , m_blitter(new DirectBlitter(this)) {
    setFixedSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LiveView::showFrame(const QImage* frame) {
    m_frame = frame;
    if (!frame || !m_blitter->put(*frame))
        update();
}

void LiveView::showPicture(const QPixmap& picture) {
    if (!m_frame && !m_picture.isNull() && m_picture.cacheKey() == picture.cacheKey()) {
        return; // already there: no repaint on every idle tick
    }
    m_frame = nullptr;
    m_picture = picture;
    update();
}

void LiveView::clear() {
    m_frame = nullptr;
    m_picture = QPixmap();
    update();
}

void LiveView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_frame && !m_frame->isNull()) {
        painter.drawImage(rect(), *m_frame);
    } else if (!m_picture.isNull()) {
        painter.drawPixmap(rect(), m_picture);
    } else {
        painter.fillRect(rect(), Qt::black);
    }
}
