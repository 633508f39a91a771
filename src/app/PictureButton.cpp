// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

PictureButton::PictureButton(int index, QPixmap picture, QWidget* parent)
    : QFrame(parent)
    , m_index(index)
    , m_picture(std::move(picture)) {
    setMouseTracking(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::setOn(bool on) {
    if (m_on == on) {
        return;
    }
    m_on = on;
    // Raised and sunken like a pressed switch when on, flat when off.
    setFrameStyle(on ? (QFrame::Panel | QFrame::Sunken) : (QFrame::Box | QFrame::Plain));
    setLineWidth(on ? 2 : 1);
    update();
}

void PictureButton::setColour(Bgr colour) {
    if (m_colour != colour) {
        m_colour = colour;
        update();
    }
}

QSize PictureButton::sizeHint() const {
    return {56, 56};
}

void PictureButton::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), toQColor(m_colour));
        const QSize logical = m_picture.deviceIndependentSize().toSize();
        const QPoint topLeft((width() - logical.width()) / 2, (height() - logical.height()) / 2);
        if (!isEnabled()) {
            painter.setOpacity(0.45);
        }
        painter.drawPixmap(topLeft, m_picture);
    }
    QFrame::paintEvent(event);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit mouseDown(m_index);
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    emit mouseUp(m_index);
    if (rect().contains(event->position().toPoint())) {
        emit clicked(m_index);
    }
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    Q_UNUSED(event);
    emit mouseMoved(m_index);
}

namespace {
const QColor kInk(40, 48, 56);
const QColor kAccent(200, 40, 40);

void speaker(QPainter& p, qreal s) {
    QPainterPath body;
    body.moveTo(0.12 * s, 0.38 * s);
    body.lineTo(0.30 * s, 0.38 * s);
    body.lineTo(0.50 * s, 0.20 * s);
    body.lineTo(0.50 * s, 0.80 * s);
    body.lineTo(0.30 * s, 0.62 * s);
    body.lineTo(0.12 * s, 0.62 * s);
    body.closeSubpath();
    p.setBrush(kInk);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
}
} // namespace

QPixmap buttonPicture(int index, int size, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPen pen(kInk, s * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);

    switch (index) {
    case 0: { // motion detection: an eye
        QPainterPath eye;
        eye.moveTo(0.08 * s, 0.5 * s);
        eye.quadTo(0.5 * s, 0.08 * s, 0.92 * s, 0.5 * s);
        eye.quadTo(0.5 * s, 0.92 * s, 0.08 * s, 0.5 * s);
        p.drawPath(eye);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(0.5 * s, 0.5 * s), 0.13 * s, 0.13 * s);
        break;
    }
    case 1: { // background picture: a framed landscape
        p.drawRect(QRectF(0.1 * s, 0.18 * s, 0.8 * s, 0.64 * s));
        QPainterPath hills;
        hills.moveTo(0.14 * s, 0.78 * s);
        hills.lineTo(0.4 * s, 0.45 * s);
        hills.lineTo(0.58 * s, 0.65 * s);
        hills.lineTo(0.7 * s, 0.52 * s);
        hills.lineTo(0.86 * s, 0.78 * s);
        hills.closeSubpath();
        p.setBrush(kInk);
        p.drawPath(hills);
        p.setBrush(QColor(230, 170, 0));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0.7 * s, 0.32 * s), 0.07 * s, 0.07 * s);
        break;
    }
    case 2: { // camera set-up: a webcam on its stand
        p.drawEllipse(QPointF(0.5 * s, 0.42 * s), 0.28 * s, 0.28 * s);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(0.5 * s, 0.42 * s), 0.1 * s, 0.1 * s);
        p.drawLine(QPointF(0.5 * s, 0.7 * s), QPointF(0.5 * s, 0.82 * s));
        p.drawLine(QPointF(0.3 * s, 0.86 * s), QPointF(0.7 * s, 0.86 * s));
        break;
    }
    case 3: // sounds off now: a silent speaker, click to switch sounds on
        speaker(p, s);
        p.setPen(QPen(kAccent, s * 0.07, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.62 * s, 0.38 * s), QPointF(0.86 * s, 0.62 * s));
        p.drawLine(QPointF(0.86 * s, 0.38 * s), QPointF(0.62 * s, 0.62 * s));
        break;
    case 4: // sounds on: a speaker with its waves
        speaker(p, s);
        p.drawArc(QRectF(0.42 * s, 0.34 * s, 0.3 * s, 0.32 * s), -50 * 16, 100 * 16);
        p.drawArc(QRectF(0.38 * s, 0.2 * s, 0.5 * s, 0.6 * s), -50 * 16, 100 * 16);
        break;
    case 5: { // publishing on the web: a globe with an arrow up
        p.drawEllipse(QPointF(0.42 * s, 0.56 * s), 0.3 * s, 0.3 * s);
        p.drawEllipse(QRectF(0.3 * s, 0.26 * s, 0.24 * s, 0.6 * s));
        p.drawLine(QPointF(0.12 * s, 0.56 * s), QPointF(0.72 * s, 0.56 * s));
        p.setPen(QPen(kAccent, s * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(0.8 * s, 0.42 * s), QPointF(0.8 * s, 0.1 * s));
        p.drawLine(QPointF(0.68 * s, 0.22 * s), QPointF(0.8 * s, 0.1 * s));
        p.drawLine(QPointF(0.92 * s, 0.22 * s), QPointF(0.8 * s, 0.1 * s));
        break;
    }
    case 6: { // the message: lines of text in a box
        p.drawRoundedRect(QRectF(0.1 * s, 0.14 * s, 0.8 * s, 0.6 * s), 0.08 * s, 0.08 * s);
        p.drawLine(QPointF(0.3 * s, 0.74 * s), QPointF(0.22 * s, 0.9 * s));
        p.setPen(QPen(kInk, s * 0.06, Qt::SolidLine, Qt::RoundCap));
        for (qreal y : {0.3, 0.44, 0.58}) {
            p.drawLine(QPointF(0.22 * s, y * s), QPointF((y > 0.5 ? 0.6 : 0.78) * s, y * s));
        }
        break;
    }
    case 7: { // advertising: a megaphone
        QPainterPath horn;
        horn.moveTo(0.14 * s, 0.4 * s);
        horn.lineTo(0.3 * s, 0.4 * s);
        horn.lineTo(0.74 * s, 0.16 * s);
        horn.lineTo(0.74 * s, 0.84 * s);
        horn.lineTo(0.3 * s, 0.6 * s);
        horn.lineTo(0.14 * s, 0.6 * s);
        horn.closeSubpath();
        p.setBrush(kAccent);
        p.drawPath(horn);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(0.3 * s, 0.6 * s), QPointF(0.36 * s, 0.84 * s));
        p.drawLine(QPointF(0.84 * s, 0.36 * s), QPointF(0.92 * s, 0.3 * s));
        p.drawLine(QPointF(0.84 * s, 0.64 * s), QPointF(0.92 * s, 0.7 * s));
        break;
    }
    case 8: { // background video: a film strip with a play mark
        p.drawRect(QRectF(0.12 * s, 0.16 * s, 0.76 * s, 0.68 * s));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (qreal y = 0.22; y < 0.8; y += 0.16) {
            p.drawRect(QRectF(0.16 * s, y * s, 0.07 * s, 0.08 * s));
            p.drawRect(QRectF(0.77 * s, y * s, 0.07 * s, 0.08 * s));
        }
        QPainterPath play;
        play.moveTo(0.42 * s, 0.34 * s);
        play.lineTo(0.64 * s, 0.5 * s);
        play.lineTo(0.42 * s, 0.66 * s);
        play.closeSubpath();
        p.setBrush(kAccent);
        p.drawPath(play);
        break;
    }
    default:
        break;
    }
    return pixmap;
}
