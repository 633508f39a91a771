// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/VisitsWindow.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

QString visitsText(int count) {
    return count == 1 ? QStringLiteral("1 visita") : QStringLiteral("%1 visitas").arg(count);
}

BarChart::BarChart(QWidget* parent)
    : QWidget(parent) {
    setMinimumSize(480, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BarChart::setBars(QList<int> values, QStringList labels, int labelEvery) {
    m_values = std::move(values);
    m_labels = std::move(labels);
    m_labelEvery = std::max(1, labelEvery);
    update();
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (m_values.isEmpty())
        return;
    const int textHeight = p.fontMetrics().height();
    // Room for the numbers above the bars and the labels under them.
    const QRect area = rect().adjusted(6, textHeight + 4, -6, -(textHeight + 6));
    const int largest = std::max(1, *std::max_element(m_values.begin(), m_values.end()));
    const double slot = double(area.width()) / double(m_values.size());
    // The numbers over narrow bars in a smaller type, so that every bar has its number.
    QFont numbers = p.font();
    const int widest = p.fontMetrics().horizontalAdvance(QString::number(largest)) + 2;
    if (widest > slot)
        numbers.setPointSizeF(std::max(6.0, numbers.pointSizeF() * slot / widest));
    const QFont labels = p.font();
    const QFontMetrics metrics(numbers);
    const int barWidth = std::max(1, int(slot * 0.7));
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    for (int i = 0; i < m_values.size(); ++i) {
        const int x = area.left() + int(slot * i + (slot - barWidth) / 2);
        const int height = int(double(area.height()) * m_values[i] / largest);
        const QRect bar(x, area.bottom() - height, barWidth, height);
        p.fillRect(bar, QColor(0x2a, 0x8a, 0x3a));
        p.setPen(palette().color(QPalette::Text));
        const QRect above(int(area.left() + slot * i), bar.top() - textHeight - 2, int(slot), textHeight);
        if (m_values[i] > 0 && metrics.horizontalAdvance(QString::number(m_values[i])) <= slot) {
            p.setFont(numbers);
            p.drawText(above, Qt::AlignCenter, QString::number(m_values[i]));
            p.setFont(labels);
        }
        if (i % m_labelEvery == 0 && i < m_labels.size()) {
            const QRect under(int(area.left() + slot * (i - 1)), area.bottom() + 3, int(slot * 3),
                              textHeight);
            p.drawText(under, Qt::AlignHCenter | Qt::AlignTop, m_labels[i]);
        }
    }
}

VisitsWindow::VisitsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) { // not under the panel, which stays on top
    setWindowTitle(QStringLiteral("Pregonar - Visitas"));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    QFont bold = font();
    bold.setBold(true);
    m_todayTitle = new QLabel(this);
    m_todayTitle->setFont(bold);
    m_today = new BarChart(this);
    m_daysTitle = new QLabel(this);
    m_daysTitle->setFont(bold);
    m_days = new BarChart(this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_todayTitle, m_today, m_daysTitle, m_days})
        layout->addWidget(w);
    resize(640, 440);
}

void VisitsWindow::setCounts(const VisitCounts& counts) {
    m_todayTitle->setText(
        QStringLiteral("Hoy, %1: %2")
            .arg(QLocale(QLocale::Spanish).toString(counts.today, QStringLiteral("dddd d 'de' MMMM")),
                 visitsText(counts.todayTotal())));
    m_daysTitle->setText(QStringLiteral("Últimos 30 días: %1").arg(visitsText(counts.daysTotal())));
    QStringList hours;
    for (int h = 0; h < 24; ++h)
        hours << QStringLiteral("%1 h").arg(h);
    m_today->setBars({counts.todayByHour.begin(), counts.todayByHour.end()}, hours, 3);
    QStringList days;
    for (int d = 0; d < VisitCounts::kDays; ++d)
        days << counts.dayAt(d).toString(QStringLiteral("d/M"));
    m_days->setBars({counts.byDay.begin(), counts.byDay.end()}, days, 5);
}
