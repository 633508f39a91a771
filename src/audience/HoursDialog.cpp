// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/HoursDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

HoursDialog::HoursDialog(QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pregonar - Horario de atención"));
    setWindowFlag(Qt::WindowStaysOnTopHint); // not under the panel, which stays on top
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Fuera de este horario la publicidad se detiene; la cámara sigue "
                                  "contando las visitas.\nCada horario como 09:00-13:00; un "
                                  "día abierto sin horario, abierto todo el día."),
                   this));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Mañana / primer horario"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Tarde / segundo horario"), this), 0, 3);
    for (int day = 0; day < 7; ++day) {
        QString name = OpeningHours::dayName(day);
        name[0] = name[0].toUpper();
        grid->addWidget(new QLabel(name, this), day + 1, 0);
        auto* closed = new QCheckBox(QStringLiteral("Cerrado"), this);
        m_closed[size_t(day)] = closed;
        grid->addWidget(closed, day + 1, 1);
        for (int period = 0; period < 2; ++period) {
            auto* edit = new QLineEdit(this);
            edit->setPlaceholderText(period == 0 ? QStringLiteral("09:00-13:00")
                                                 : QStringLiteral("15:00-20:00"));
            m_periods[size_t(day)][size_t(period)] = edit;
            grid->addWidget(edit, day + 1, period + 2);
            connect(closed, &QCheckBox::toggled, edit, &QWidget::setDisabled);
        }
    }
    layout->addLayout(grid);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    m_message->hide();
    layout->addWidget(m_message);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &HoursDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HoursDialog::reject);
    layout->addWidget(buttons);
}

void HoursDialog::setHours(const OpeningHours& hours, const QStringList& problems) {
    for (int day = 0; day < 7; ++day) {
        const OpeningHours::Day& d = hours.day(day);
        m_closed[size_t(day)]->setChecked(!d.allDay && d.periods.isEmpty());
        const QStringList parts = OpeningHours::dayText(d).split(u',', Qt::SkipEmptyParts);
        for (int period = 0; period < 2; ++period)
            m_periods[size_t(day)][size_t(period)]->setText(parts.value(period));
    }
    if (problems.isEmpty())
        m_message->hide();
    else
        showMessage(problems.join(u'\n'), false);
}

std::optional<OpeningHours> HoursDialog::hours() {
    OpeningHours hours;
    for (int day = 0; day < 7; ++day) {
        if (m_closed[size_t(day)]->isChecked()) {
            hours.setDay(day, OpeningHours::Day{false, {}});
            continue;
        }
        QStringList parts;
        for (QLineEdit* edit : m_periods[size_t(day)]) {
            if (!edit->text().trimmed().isEmpty())
                parts << edit->text().trimmed();
        }
        if (parts.isEmpty())
            continue; // open all day
        QString problem;
        const auto parsed = OpeningHours::parseDay(parts.join(u','), &problem);
        if (!parsed) {
            QString name = OpeningHours::dayName(day);
            name[0] = name[0].toUpper();
            showMessage(name + QStringLiteral(": ") + problem, true);
            m_periods[size_t(day)][0]->setFocus();
            return std::nullopt;
        }
        hours.setDay(day, *parsed);
    }
    return hours;
}

void HoursDialog::accept() {
    const auto filled = hours();
    if (!filled)
        return;
    QString error;
    if (m_save && !m_save(*filled, &error)) {
        showMessage(QStringLiteral("No se pudo guardar el horario: ") + error, true);
        return;
    }
    m_message->hide();
    QDialog::accept();
}

void HoursDialog::showMessage(const QString& text, bool error) {
    m_message->setStyleSheet(error ? QStringLiteral("color: #c00000;") : QStringLiteral("color: #a05000;"));
    m_message->setText(text);
    m_message->show();
}
