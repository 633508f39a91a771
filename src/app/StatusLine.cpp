// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/StatusLine.h"

#include <QPainter>

StatusLine::StatusLine(const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_text(text) {
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
    update();
}

QSize StatusLine::sizeHint() const {
    return {100, 2 * fontMetrics().lineSpacing()};
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_text);
}
