// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/CameraDialog.h"

#include "capture/Capture.h"
#include "capture/ZoneEditor.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CameraDialog::CameraDialog(const CameraChoice& current, QList<CameraInfo> cameras, Dialogs* dialogs,
                           QString videoFolder, QWidget* parent)
    : QDialog(parent)
    , m_cameras(std::move(cameras))
    , m_dialogs(dialogs)
    , m_videoFolder(std::move(videoFolder))
    , m_file(current.file)
    , m_initial(current) {
    setWindowTitle(QStringLiteral("Pregonar - Cámara Web"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_source = new QComboBox(this);
    m_source->addItem(QStringLiteral("Cámara predeterminada del sistema"));
    for (const CameraInfo& camera : m_cameras) {
        m_source->addItem(camera.name, camera.id);
    }
    // The saved camera stays the choice while it is unplugged, until another one is picked.
    m_missing = current.kind == CameraChoice::Kind::Camera && pickCamera(current, m_cameras) < 0;
    if (m_missing) {
        m_source->addItem(current.describe() + QStringLiteral(" (no conectada)"));
    }
    m_source->addItem(QStringLiteral("Escena de demostración"));
    m_source->addItem(QStringLiteral("Archivo de video..."));
    m_source->addItem(QStringLiteral("Cámara de red"));
    form->addRow(QStringLiteral("Fuente de imagen:"), m_source);

    m_fileLabel = new QLabel(this);
    m_fileLabel->setWordWrap(true);
    form->addRow(QString(), m_fileLabel);
    m_url = new QLineEdit(current.url, this);
    m_url->setPlaceholderText(QStringLiteral("http://camara/video.mjpg o rtsp://camara/stream"));
    m_url->setToolTip(QStringLiteral("Dirección de una cámara de red: Motion JPEG por HTTP, o RTSP"));
    form->addRow(QString(), m_url);

    m_format = new QComboBox(this);
    form->addRow(QStringLiteral("Formato:"), m_format);

    m_light = new QCheckBox(QStringLiteral("Ignorar cambios de luz"), this);
    m_light->setToolTip(QStringLiteral("Una lámpara que se enciende o una nube no saludan a nadie"));
    m_light->setChecked(current.ignoreLightChanges);
    form->addRow(QString(), m_light);
    m_zonesButton = new QPushButton(QStringLiteral("Zonas ignoradas"), this);
    m_zonesButton->setCheckable(true);
    m_zonesButton->hide(); // until there are zones to edit
    form->addRow(QString(), m_zonesButton);
    m_zonesPanel = new QWidget(this);
    auto* zonesLayout = new QHBoxLayout(m_zonesPanel);
    zonesLayout->setContentsMargins(0, 0, 0, 0);
    m_zoneEditor = new ZoneEditor(m_zonesPanel);
    zonesLayout->addWidget(m_zoneEditor);
    auto* clear = new QPushButton(QStringLiteral("Limpiar"), m_zonesPanel);
    connect(clear, &QPushButton::clicked, m_zoneEditor, &ZoneEditor::clearZones);
    zonesLayout->addWidget(clear, 0, Qt::AlignTop);
    m_zonesPanel->hide();
    layout->addWidget(m_zonesPanel);
    connect(m_zonesButton, &QPushButton::toggled, this, [this](bool on) {
        m_zonesPanel->setVisible(on);
        adjustSize();
    });

    if (m_cameras.isEmpty()) {
        auto* none =
            new QLabel(QStringLiteral("No se encontró ninguna cámara conectada a este equipo."), this);
        none->setWordWrap(true);
        layout->addWidget(none);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    int row = DefaultRow;
    switch (current.kind) {
    case CameraChoice::Kind::Camera:
        // By id, or by name when it came back under another id.
        row = m_missing ? missingRow() : pickCamera(current, m_cameras) + 1;
        break;
    case CameraChoice::Kind::Demo:
        row = demoRow();
        break;
    case CameraChoice::Kind::File:
        row = fileRow();
        break;
    case CameraChoice::Kind::Network:
        row = networkRow();
        break;
    case CameraChoice::Kind::SystemDefault:
        break;
    }
    m_lastRow = row;
    m_source->setCurrentIndex(row);
    sourceChanged(row);
    if (current.resolution.isValid()) {
        for (int i = 0; i < m_format->count(); ++i) {
            if (m_format->itemData(i).toSize() == current.resolution) {
                m_format->setCurrentIndex(i);
            }
        }
    }
    connect(m_source, &QComboBox::currentIndexChanged, this, &CameraDialog::sourceChanged);
    connect(m_url, &QLineEdit::textChanged, this, &CameraDialog::networkEdited);
}

int CameraDialog::missingRow() const {
    return m_missing ? int(m_cameras.size()) + 1 : -1;
}

int CameraDialog::demoRow() const {
    return int(m_cameras.size()) + (m_missing ? 2 : 1);
}

int CameraDialog::fileRow() const {
    return demoRow() + 1;
}

int CameraDialog::networkRow() const {
    return fileRow() + 1;
}

void CameraDialog::networkEdited() {
    // Only an address a camera can have is taken.
    const bool network = m_source->currentIndex() == networkRow();
    m_url->setVisible(network);
    m_ok->setEnabled(!network || CameraChoice::isNetworkAddress(m_url->text()));
}

void CameraDialog::sourceChanged(int row) {
    if (row == fileRow() && m_dialogs && (m_file.isEmpty() || row != m_lastRow)) {
        const QString file = m_dialogs->fileDialog(
            this, false, QStringLiteral("Seleccionar video"),
            QStringLiteral("Todos los archivos de video (*.avi;*.mov;*.mp4;*.mpg;*.wmv;*.webm;*.ogv;*.mkv)|"
                           "*.avi;*.mov;*.mp4;*.mpg;*.wmv;*.webm;*.ogv;*.mkv|Todos los archivos [*.*]|*.*"),
            {}, {}, m_videoFolder);
        if (file.isEmpty() && m_file.isEmpty()) {
            // Nothing chosen: back to where the list was.
            QSignalBlocker block(m_source);
            m_source->setCurrentIndex(m_lastRow);
            row = m_lastRow;
        } else if (!file.isEmpty()) {
            m_file = file;
        }
    }
    m_lastRow = row;
    m_fileLabel->setText(row == fileRow() ? QFileInfo(m_file).fileName() : QString());
    m_fileLabel->setVisible(row == fileRow());
    networkEdited();
    fillFormats();
}

void CameraDialog::fillFormats() {
    m_format->clear();
    m_format->addItem(QStringLiteral("Automático"), QSize());
    const int row = m_source->currentIndex();
    const bool camera = row >= 1 && row <= m_cameras.size();
    m_format->setEnabled(camera);
    if (row == missingRow() && m_initial.resolution.isValid()) {
        m_format->addItem(
            QStringLiteral("%1 x %2").arg(m_initial.resolution.width()).arg(m_initial.resolution.height()),
            m_initial.resolution);
    }
    if (!camera) {
        return;
    }
    for (const CameraMode& mode : m_cameras[row - 1].modes) {
        m_format->addItem(QStringLiteral("%1 x %2 (%3 imágenes/s)")
                              .arg(mode.resolution.width())
                              .arg(mode.resolution.height())
                              .arg(mode.maxFrameRate, 0, 'f', 0),
                          mode.resolution);
    }
}

CameraChoice CameraDialog::choice() const {
    CameraChoice choice;
    const int row = m_source->currentIndex();
    if (row >= 1 && row <= m_cameras.size()) {
        choice.kind = CameraChoice::Kind::Camera;
        choice.device = m_cameras[row - 1].id;
        choice.name = m_cameras[row - 1].name;
        choice.resolution = m_format->currentData().toSize();
    } else if (row == missingRow()) {
        choice = m_initial;
    } else if (row == demoRow()) {
        choice.kind = CameraChoice::Kind::Demo;
    } else if (row == fileRow() && !m_file.isEmpty()) {
        choice.kind = CameraChoice::Kind::File;
        choice.file = m_file;
    } else if (row == networkRow() && CameraChoice::isNetworkAddress(m_url->text())) {
        choice.kind = CameraChoice::Kind::Network;
        choice.url = m_url->text().trimmed();
    }
    choice.ignoreLightChanges = m_light->isChecked();
    return choice;
}

void CameraDialog::editZones(Capture& capture, const QPixmap& idlePicture) {
    m_capture = &capture;
    m_savedZones = ZoneMask::read(capture.zonesPath()).mask;
    m_zoneEditor->setZones(m_savedZones);
    // The detector's own view, redrawn with every tick while the dialog is open.
    const QImage& view = capture.detector().view();
    if (capture.isOpen() && !view.isNull())
        m_zoneEditor->showFrame(&view);
    else
        m_zoneEditor->showPicture(idlePicture);
    connect(&capture, &Capture::compared, m_zoneEditor,
            [this, &capture] { m_zoneEditor->showFrame(&capture.detector().view()); });
    m_zonesButton->show();
}

void CameraDialog::accept() {
    if (m_capture && m_zoneEditor->zones() != m_savedZones) {
        QString error;
        if (!m_zoneEditor->zones().write(m_capture->zonesPath(), &error)) {
            // The dialog stays open: nothing was saved.
            if (m_dialogs)
                m_dialogs->message(this, Dialogs::Icon::Warning, QStringLiteral("Pregonar - Cámara Web"),
                                   QStringLiteral("No se pudieron guardar las zonas ignoradas: ") + error);
            return;
        }
        m_savedZones = m_zoneEditor->zones();
        m_capture->readZones();
    }
    QDialog::accept();
}
