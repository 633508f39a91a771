// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "capture/CameraChoice.h"
#include "capture/ZoneMask.h"
#include "platform/CaptureSources.h"

#include <QDialog>

class Capture;
class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ZoneEditor;

// Button 2: which camera watches the shop (or a network camera, a video file, the demo scene) and in
// which format.
class CameraDialog : public QDialog {
    Q_OBJECT
public:
    CameraDialog(const CameraChoice& current, QList<CameraInfo> cameras, Dialogs* dialogs,
                 QString videoFolder, QWidget* parent = nullptr);

    CameraChoice choice() const;
    // Offers the zones the capture's detector ignores, drawn over its live picture (the idle picture
    // while it has none). Aceptar saves them to Pregonar.MSK and the capture takes them at once.
    void editZones(Capture& capture, const QPixmap& idlePicture);

    void accept() override;

    QComboBox* sourceBox() const { return m_source; }
    QComboBox* formatBox() const { return m_format; }
    QLineEdit* urlEdit() const { return m_url; }
    QCheckBox* lightBox() const { return m_light; }
    QPushButton* zonesButton() const { return m_zonesButton; }
    ZoneEditor* zoneEditor() const { return m_zoneEditor; }

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
    QCheckBox* m_light = nullptr;
    QPushButton* m_zonesButton = nullptr;
    QWidget* m_zonesPanel = nullptr;
    ZoneEditor* m_zoneEditor = nullptr;
    Capture* m_capture = nullptr;
    ZoneMask m_savedZones;
    int m_lastRow = 0;
    bool m_missing = false;
};
