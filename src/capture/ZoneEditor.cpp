// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/ZoneEditor.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
// The grid's points sit at pixels (3 + 9 column, 3 + 9 row) of the 320x240 view; each owns the
// 9 x 9 cell around it.
constexpr int Cell = 9;
constexpr int FirstPoint = 3;
} // namespace

ZoneEditor::ZoneEditor(QWidget* parent)
    : LiveView(parent) {
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("Marque con el ratón los puntos que no se vigilan (una pantalla, un "
                              "escaparate); arrastrar desde un punto marcado los desmarca."));
}

void ZoneEditor::setZones(const ZoneMask& zones) {
    m_zones = zones;
    m_dragging = false;
    update();
}

void ZoneEditor::clearZones() {
    setZones(ZoneMask());
}

QPoint ZoneEditor::pointAt(QPoint position) {
    return {std::clamp(position.x() / Cell, 0, ZoneMask::Columns - 1),
            std::clamp(position.y() / Cell, 0, ZoneMask::Rows - 1)};
}

void ZoneEditor::paintEvent(QPaintEvent* event) {
    LiveView::paintEvent(event);
    QPainter painter(this);
    for (int row = 0; row < ZoneMask::Rows; ++row) {
        for (int column = 0; column < ZoneMask::Columns; ++column) {
            const QPoint point(FirstPoint + Cell * column, FirstPoint + Cell * row);
            if (m_zones.isIgnored(column, row)) {
                painter.fillRect(QRect(Cell * column, Cell * row, Cell, Cell), QColor(0, 0, 0, 150));
                painter.fillRect(QRect(point - QPoint(1, 1), QSize(3, 3)), QColor(255, 200, 0));
            } else {
                painter.fillRect(QRect(point, QSize(1, 1)), QColor(255, 255, 255, 200));
            }
        }
    }
}

void ZoneEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragStart = pointAt(event->position().toPoint());
    m_beforeDrag = m_zones;
    m_marking = !m_zones.isIgnored(m_dragStart.x(), m_dragStart.y());
    m_dragging = true;
    dragTo(event->position().toPoint());
}

void ZoneEditor::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging)
        dragTo(event->position().toPoint());
}

void ZoneEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_dragging) {
        dragTo(event->position().toPoint());
        m_dragging = false;
    }
}

void ZoneEditor::dragTo(QPoint position) {
    const QPoint end = pointAt(position);
    m_zones = m_beforeDrag;
    m_zones.setIgnored(QRect(QPoint(std::min(m_dragStart.x(), end.x()), std::min(m_dragStart.y(), end.y())),
                             QPoint(std::max(m_dragStart.x(), end.x()), std::max(m_dragStart.y(), end.y()))),
                       m_marking);
    update();
}
