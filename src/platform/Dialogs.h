// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

class QWidget;

// Message boxes and the file dialog go through this seam so that tests can answer them
// without anything being shown.
class Dialogs {
public:
    enum class Icon { Information, Warning, Critical };

    virtual ~Dialogs() = default;

    // A modal message box with an OK button.
    virtual void message(QWidget* owner, Icon icon, const QString& title, const QString& text) = 0;

    // A modal question with "Sí" and "No" buttons ("No" by default); true for "Sí".
    virtual bool question(QWidget* owner, const QString& title, const QString& text) = 0;

    // The file dialog: `filter` is "description|pattern|description|pattern..." with patterns
    // separated by ';'. Returns the chosen path, or an empty string when cancelled.
    virtual QString fileDialog(QWidget* owner, bool saveDialog, const QString& title, const QString& filter,
                               const QString& fileName = {}, const QString& extension = {},
                               const QString& initialFolder = {}) = 0;
};

// The real dialogs.
class DesktopDialogs : public Dialogs {
public:
    void message(QWidget* owner, Icon icon, const QString& title, const QString& text) override;
    bool question(QWidget* owner, const QString& title, const QString& text) override;
    QString fileDialog(QWidget* owner, bool saveDialog, const QString& title, const QString& filter,
                       const QString& fileName, const QString& extension,
                       const QString& initialFolder) override;
};

// "desc|pat;pat|desc|pat" into Qt's name filters ("desc (pat pat)"), one per pair.
QStringList nameFiltersFromPairs(const QString& filter);
