// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/Dialogs.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

QStringList nameFiltersFromPairs(const QString& filter) {
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The descriptions already show their patterns, e.g. "Imágenes (*.jpg;*.jpeg)"; Qt reads the
        // patterns from a trailing parenthesis, so replace it rather than add a second one.
        QString description = parts[i].trimmed();
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)$")));
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file on Windows; here it would leave out names without a dot.
        patterns.replaceInStrings(QRegularExpression(QStringLiteral("^\\*\\.\\*$")), QStringLiteral("*"));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void DesktopDialogs::message(QWidget* owner, Icon icon, const QString& title, const QString& text) {
    const QMessageBox::Icon qtIcon = icon == Icon::Critical  ? QMessageBox::Critical
                                     : icon == Icon::Warning ? QMessageBox::Warning
                                                             : QMessageBox::Information;
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, owner);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool DesktopDialogs::question(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(QStringLiteral("No"), QMessageBox::NoRole));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    return box.clickedButton() == yes;
}

QString DesktopDialogs::fileDialog(QWidget* owner, bool saveDialog, const QString& title,
                                   const QString& filter, const QString& fileName, const QString& extension,
                                   const QString& initialFolder) {
    if (fileName.size() >= 261) {
        return {};
    }
    QFileDialog dialog(owner, title, initialFolder);
    dialog.setAcceptMode(saveDialog ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saveDialog ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFiltersFromPairs(filter));
    dialog.setDefaultSuffix(extension);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }
    if (owner) {
        owner->setEnabled(false);
    }
    QElapsedTimer clock;
    clock.start();
    int result = dialog.exec();
    // Some desktops close a dialog that was opened while the previous one was still going away;
    // one that returns at once was never seen by the user, so it is shown again.
    if (clock.elapsed() < 20) {
        result = dialog.exec();
    }
    if (owner) {
        owner->setEnabled(true);
    }
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}
