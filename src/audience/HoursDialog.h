// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "audience/OpeningHours.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;

// "Horario de atención": for each day closed, or one or two periods. A period that passes midnight,
// periods that overlap and times that are not times are refused with the reason; the dialog stays
// open until the hours make sense or it is cancelled.
class HoursDialog : public QDialog {
    Q_OBJECT
public:
    explicit HoursDialog(QWidget* parent = nullptr);

    // The hours to edit, and what was wrong in the file they were read from.
    void setHours(const OpeningHours& hours, const QStringList& problems);
    // The hours as filled in, or nothing with the reason shown in the dialog.
    std::optional<OpeningHours> hours();

    QCheckBox* closedBox(int day) const { return m_closed[size_t(day)]; }
    QLineEdit* periodEdit(int day, int period) const { return m_periods[size_t(day)][size_t(period)]; }
    QLabel* messageLabel() const { return m_message; }

    // Aceptar: the hours, if they make sense, go to `save`; false there keeps the dialog open.
    void setSave(std::function<bool(const OpeningHours&, QString* error)> save) { m_save = std::move(save); }
    void accept() override;

private:
    void showMessage(const QString& text, bool error);

    std::array<QCheckBox*, 7> m_closed{};
    std::array<std::array<QLineEdit*, 2>, 7> m_periods{};
    QLabel* m_message;
    std::function<bool(const OpeningHours&, QString*)> m_save;
};
