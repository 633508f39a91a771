// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/DemoSource.h"

#include <QPainter>
#include <QPainterPath>

DemoScene::DemoScene()
    : m_background(Size, QImage::Format_RGB32)
    , m_frame(Size, QImage::Format_RGB32) {
    QPainter p(&m_background);
    p.setRenderHint(QPainter::Antialiasing);
    // Wall, floor, a shelf of boxes and a counter with a display computer.
    p.fillRect(0, 0, 320, 160, QColor(222, 214, 196));
    p.fillRect(0, 160, 320, 80, QColor(150, 146, 140));
    p.fillRect(20, 40, 130, 8, QColor(120, 86, 50));
    p.fillRect(20, 90, 130, 8, QColor(120, 86, 50));
    const QColor boxes[] = {QColor(200, 60, 50), QColor(60, 110, 190), QColor(230, 180, 40),
                            QColor(70, 150, 80)};
    for (int i = 0; i < 8; ++i) {
        p.fillRect(24 + i * 16, 16 + (i % 2) * 4, 13, 24 - (i % 2) * 4, boxes[i % 4]);
        p.fillRect(24 + i * 16, 66 + ((i + 1) % 2) * 6, 13, 24 - ((i + 1) % 2) * 6, boxes[(i + 2) % 4]);
    }
    p.fillRect(190, 120, 120, 70, QColor(95, 70, 50));
    p.fillRect(225, 78, 56, 36, QColor(30, 30, 36));
    p.fillRect(229, 82, 48, 28, QColor(80, 160, 220));
    p.fillRect(250, 114, 6, 6, QColor(30, 30, 36));
    p.end();
}

QRect DemoScene::figureAt(qint64 ms) {
    const qint64 t = ms % PeriodMs;
    // The walk starts two seconds into each period, so a new start shows the still shop first.
    const qint64 start = 2000;
    if (t < start || t >= start + WalkMs) {
        return {};
    }
    const int width = 140;
    const int x = int(-width + (Size.width() + width) * (t - start) / WalkMs);
    return QRect(x, 20, width, 220);
}

const QImage& DemoScene::render(qint64 ms, quint32 noiseSeed) {
    // Copy the background row by row into the frame's own buffer: no allocation per frame.
    const int w = m_frame.width();
    quint32 state = noiseSeed * 2654435761u + 1;
    for (int y = 0; y < m_frame.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(m_background.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(m_frame.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // A camera's sensor noise: a few levels up or down on every channel.
            state = state * 1664525u + 1013904223u;
            const int n = int((state >> 24) % 7) - 3;
            const QRgb c = src[x];
            dst[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                          qBound(0, qBlue(c) + n, 255));
        }
    }
    const QRect figure = figureAt(ms);
    if (!figure.isEmpty()) {
        QPainter p(&m_frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QPointF head(figure.center().x(), figure.top() + 24);
        p.setBrush(QColor(200, 150, 120));
        p.drawEllipse(head, 20, 22);
        // Dark clothes, as most customers wear against a light shop.
        p.setBrush(QColor(28, 34, 52));
        p.drawRoundedRect(QRectF(figure.left() + 8, figure.top() + 48, figure.width() - 16, 110), 20, 20);
        p.setBrush(QColor(22, 22, 26));
        p.drawRect(QRectF(figure.left() + 26, figure.top() + 150, 36, 70));
        p.drawRect(QRectF(figure.right() - 62, figure.top() + 150, 36, 70));
    }
    return m_frame;
}

DemoSource::DemoSource(QObject* parent)
    : FrameSource(parent) {}

void DemoSource::start() {
    if (!m_running) {
        m_clock.start();
        m_running = true;
        emit activeChanged(true);
    }
}

void DemoSource::stop() {
    if (m_running) {
        m_running = false;
        emit activeChanged(false);
    }
}

bool DemoSource::withNewestFrame(const std::function<void(const FrameView&)>& use) {
    if (!m_running) {
        return false;
    }
    use(FrameView::ofImage(m_scene.render(m_clock.elapsed(), ++m_frames)));
    return true;
}

QString DemoSource::description() const {
    return QStringLiteral("Escena de demostración");
}
