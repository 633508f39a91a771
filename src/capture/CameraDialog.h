// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/CameraChoice.h"
#include "platform/CaptureSources.h"

#include <QDialog>

class Dialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Button 2: which camera watches the shop (or a network camera, a video file, the demo scene) and in
// which format.
class CameraDialog : public QDialog {
    Q_OBJECT
public:
    CameraDialog(const CameraChoice& current, QList<CameraInfo> cameras, Dialogs* dialogs,
                 QString videoFolder, QWidget* parent = nullptr);

    CameraChoice choice() const;

    QComboBox* sourceBox() const { return m_source; }
    QComboBox* formatBox() const { return m_format; }
    QLineEdit* urlEdit() const { return m_url; }

private:
    enum Row { DefaultRow = 0 };
    void sourceChanged(int row);
    void fillFormats();
    int missingRow() const; // the saved camera, unplugged; -1: none
    int demoRow() const;
    int fileRow() const;
    int networkRow() const;
    void networkEdited();

    QList<CameraInfo> m_cameras;
    Dialogs* m_dialogs;
    QString m_videoFolder;
    QString m_file;
    CameraChoice m_initial;
    QComboBox* m_source = nullptr;
    QComboBox* m_format = nullptr;
    QLabel* m_fileLabel = nullptr;
    QLineEdit* m_url = nullptr;
    QPushButton* m_ok = nullptr;
    int m_lastRow = 0;
    bool m_missing = false;
};
