// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/StatusLine.h"

#include "platform/DirectBlitter.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

StatusLine::StatusLine(const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
    , m_blitter(new DirectBlitter(this)) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusLine::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    if (m_blitter->usable() && isVisible()) {
        if (m_picture.size() != size())
            m_picture = QImage(size(), QImage::Format_RGB32);
        QPainter painter(&m_picture);
        draw(painter);
        painter.end();
        if (m_blitter->put(m_picture))
            return;
    }
    update();
}

QSize StatusLine::sizeHint() const {
    return {100, 2 * fontMetrics().lineSpacing()};
}

void StatusLine::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ParentChange)
        m_ground = QColor(); // looked up again at the next paint
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_laidOut.clear();
    QWidget::changeEvent(event);
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    m_laidOut.clear();
    QWidget::resizeEvent(event);
}

const QStaticText& StatusLine::laidOut() {
    auto found = m_laidOut.constFind(m_text);
    if (found != m_laidOut.constEnd())
        return *found;
    if (m_laidOut.size() >= 64)
        m_laidOut.clear();
    QStaticText text(m_text);
    text.setTextFormat(Qt::PlainText);
    text.setTextWidth(width());
    text.prepare(QTransform(), font());
    return *m_laidOut.insert(m_text, text);
}

QColor StatusLine::groundBehind() {
    QWidget* parent = parentWidget();
    if (!parent)
        return palette().window().color();
    // The parent alone (a group box's frame may shade it), without its children, once.
    QImage behind(1, 1, QImage::Format_RGB32);
    behind.fill(palette().window().color());
    const QPoint middle = geometry().center();
    parent->render(&behind, QPoint(), QRegion(middle.x(), middle.y(), 1, 1), QWidget::DrawWindowBackground);
    return behind.pixelColor(0, 0);
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter);
}

void StatusLine::draw(QPainter& painter) {
    if (!m_ground.isValid())
        m_ground = groundBehind();
    painter.fillRect(rect(), m_ground);
    painter.setFont(font()); // a picture's painter starts with the application's font
    painter.setPen(palette().windowText().color());
    const QStaticText& text = laidOut();
    painter.drawStaticText(QPointF(0, (height() - text.size().height()) / 2), text);
}
