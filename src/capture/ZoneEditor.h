// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/LiveView.h"
#include "capture/ZoneMask.h"

#include <QPoint>

// The live view with the detector's sample grid over it, where the owner marks the points the
// detector ignores: a click or a drag marks the points under it (drawn shaded), a click or a drag
// that starts on an ignored point unmarks them.
class ZoneEditor : public LiveView {
    Q_OBJECT
public:
    explicit ZoneEditor(QWidget* parent = nullptr);

    void setZones(const ZoneMask& zones);
    const ZoneMask& zones() const { return m_zones; }
    void clearZones();

    // The grid point whose cell holds this position of the view (clamped into the grid).
    static QPoint pointAt(QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The second press of a double click already toggled its point.
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    void dragTo(QPoint position);

    ZoneMask m_zones;
    ZoneMask m_beforeDrag; // the drag's rectangle is drawn over this
    QPoint m_dragStart;
    bool m_dragging = false;
    bool m_marking = true; // the drag marks points (false: it unmarks them)
};
