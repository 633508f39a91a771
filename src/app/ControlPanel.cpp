// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"

#include "app/PictureButton.h"
#include "app/Product.h"
#include "app/ReadMe.h"
#include "app/WorkFolder.h"
#include "banner/BannerWindow.h"
#include "capture/FrameSource.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "media/BackgroundWindow.h"
#include "platform/DesktopShortcut.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
#include "platform/VideoPlayer.h"
#include "publish/Publisher.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SideFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextOption>
#include <QVBoxLayout>

namespace {
// What a click on each button would do, with the feature off and on.
struct Hint {
    const char16_t* off;
    const char16_t* on;
};
constexpr std::array<Hint, 9> kHints{{
    {u"Activar Detección de Movimiento", u"Desactivar Detección de Movimiento"},
    {u"Activar Imagen de Fondo", u"Desactivar Imagen de Fondo"},
    {u"Configurar Cámara Web", u"Configurar Cámara Web"},
    {u"Activar Sonidos al Detectar Movimiento", u"Activar Sonidos al Detectar Movimiento"},
    {u"Desactivar Sonidos al Detectar Movimiento", u"Desactivar Sonidos al Detectar Movimiento"},
    {u"Transferir Imágenes por Internet", u"Desconectar Servidor FTP"},
    {u"Activar Mensaje", u"Desactivar Mensaje"},
    {u"Iniciar Publicidad", u"Detener Publicidad"},
    {u"Activar Video de Fondo", u"Desactivar Video de Fondo"},
}};

const QString kDefaultMessage = QStringLiteral("ESCRIBIR MENSAJE AQUI...");
const QString kStatusOff = QStringLiteral("AutoMensaje DESACTIVADO");

QString hintStyle(Bgr color) {
    return QStringLiteral("color: %1;").arg(toQColor(color).name());
}

QScrollBar* makeSlider(const SliderBounds& bounds, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(bounds.minimum, bounds.maximum);
    bar->setSingleStep(bounds.singleStep);
    bar->setPageStep(bounds.pageStep);
    bar->setValue(bounds.designValue);
    bar->setMinimumWidth(150);
    return bar;
}

// A help label: a click anywhere on it opens its page (ControlPanel::eventFilter), whatever it shows.
QLabel* makeLink(const QString& text, const QString& path, QObject* clickFilter, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setProperty("helpPath", path);
    label->installEventFilter(clickFilter);
    return label;
}

// Shown in the live view while there is no frame and no Pregonar.jpg.
QPixmap builtInIdlePicture() {
    QPixmap pixmap(320, 240);
    pixmap.fill(QColor(48, 56, 64));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(110, 50, buttonPicture(ControlPanel::Camera, 100, 1.0));
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRect(0, 170, 320, 40), Qt::AlignCenter, QStringLiteral("Cámara Web"));
    return pixmap;
}
} // namespace

ControlPanel::ControlPanel(PanelEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , m_env(std::move(environment)) {
    setWindowTitle(Product::kNameAndVersion);
    m_snapshots = std::make_unique<SnapshotWriter>(m_env.workFolder);
    connect(m_snapshots.get(), &SnapshotWriter::saved, this, [this](const QString& name) {
        m_snapshotName = name;
        m_publisher->setSnapshot(name);
    });
    m_cameraChoice =
        m_env.cameraOverride.value_or(CameraChoice::read(pathIn(QStringLiteral("Pregonar.CAM"))));
    setAttribute(Qt::WA_QuitOnClose, false);
    for (QTimer* timer : {&m_detectorTimer, &m_holdOffTimer, &m_videoWatchTimer, &m_autoHideTimer}) {
        timer->stop();
    }
    m_detectorTimer.setInterval(100);
    m_holdOffTimer.setInterval(7000);
    m_videoWatchTimer.setInterval(10);
    m_autoHideTimer.setInterval(5000);
    m_detectorTimer.setTimerType(Qt::PreciseTimer);
    m_videoWatchTimer.setTimerType(Qt::PreciseTimer);

    connect(&m_detectorTimer, &QTimer::timeout, this, &ControlPanel::detectorTick);
    connect(&m_videoWatchTimer, &QTimer::timeout, this, &ControlPanel::watchVideo);
    // The hold-off only marks seven seconds after an answer.
    connect(&m_holdOffTimer, &QTimer::timeout, &m_holdOffTimer, &QTimer::stop);
    connect(&m_autoHideTimer, &QTimer::timeout, this, [this] {
        m_autoHideTimer.stop();
        hide();
    });

    buildWindow();
    buildTrayMenu();

    m_publisher = std::make_unique<Publisher>(this, m_env.workFolder, m_env.dialogs, m_env.ftpFactory);
    m_publisher->setDetecting([this] { return m_detectorTimer.isActive(); });
    connect(m_publisher.get(), &Publisher::runningChanged, this,
            [this](bool on) { setButtonState(Publish, on); });
    connect(m_publisher.get(), &Publisher::hint, this, [this](const QString& text) {
        m_hintLabel->setStyleSheet(hintStyle(Colors::HintActive));
        m_hintLabel->setText(text);
    });
}

ControlPanel::~ControlPanel() {
    if (!m_unloaded) {
        unload();
    }
}

QString ControlPanel::restingHint() {
    return Product::kHost;
}

QString ControlPanel::pathIn(const QString& name) const {
    return QDir(m_env.workFolder).filePath(name);
}

QString ControlPanel::settingsPath() const {
    return pathIn(QStringLiteral("Pregonar.DAT"));
}

void ControlPanel::buildWindow() {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setMouseTracking(true);
    auto* root = new QVBoxLayout(this);

    // The row of buttons; 3 and 4 share one place.
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < 9; ++i) {
        auto* made = new PictureButton(i, buttonPicture(i, 40, ratio), this);
        made->setBackColor(Colors::Idle);
        made->setFixedSize(56, 56);
        m_buttons[size_t(i)] = made;
        connect(made, &PictureButton::clicked, this, &ControlPanel::clickButton);
        connect(made, &PictureButton::mouseMoved, this, &ControlPanel::hoverButton);
        connect(made, &PictureButton::mouseDown, this,
                [this](int index) { button(index)->setBackColor(Colors::Pressed); });
        connect(made, &PictureButton::mouseUp, this,
                [this](int index) { button(index)->setBackColor(Colors::Hover); });
        if (i != SoundsOff) {
            row->addWidget(made);
        }
    }
    row->insertWidget(3, m_buttons[SoundsOff]);
    m_buttons[SoundsOff]->hide();
    m_buttons[SoundsOff]->setTag(QStringLiteral("0"));
    m_buttons[Detection]->setTag(QStringLiteral("0"));
    row->addStretch();
    root->addLayout(row);

    auto* hints = new QHBoxLayout;
    // The hint line is a link to the product page, as the help label always was.
    m_hintLabel = makeLink(restingHint(), QStringLiteral("/pregonar"), this, this);
    m_hintLabel->setStyleSheet(hintStyle(Colors::HintResting));
    m_cameraHelpLink = makeLink(QStringLiteral("<a href=\"#\">Ayuda Cámara Web</a>"),
                                QStringLiteral("/pregonar/webcam.html"), this, this);
    m_cameraHelpLink->hide();
    hints->addWidget(m_hintLabel, 1);
    hints->addWidget(m_cameraHelpLink);
    root->addLayout(hints);

    m_separator = new QLabel(this);
    m_separator->setFixedHeight(4);
    m_separator->setStyleSheet(QStringLiteral("background: #6c8c6c;"));
    m_separator->setMouseTracking(true);
    m_separator->installEventFilter(this);
    root->addWidget(m_separator);

    auto* columns = new QHBoxLayout;
    root->addLayout(columns);

    // Camera sensors.
    auto* sensores = new QGroupBox(QStringLiteral("SENSORES CAMARA WEB"), this);
    auto* sensoresLayout = new QGridLayout(sensores);
    m_liveView = new LiveView(sensores);
    sensoresLayout->addWidget(m_liveView, 0, 0, 1, 3);
    // Which source the detector watches, so that a demo scene or a video file is never taken for
    // the shop's own camera.
    m_sourceLabel = new QLabel(QStringLiteral("Fuente: ") + m_cameraChoice.describe(), sensores);
    m_sourceLabel->setAlignment(Qt::AlignCenter);
    sensoresLayout->addWidget(m_sourceLabel, 1, 0, 1, 3);
    const std::array<QString, 3> captions{QStringLiteral("Movimiento"), QStringLiteral("Color"),
                                          QStringLiteral("Frecuencia")};
    const std::array<SliderBounds, 3> bounds{Sliders::Movement, Sliders::Color, Sliders::Interval};
    for (int i = 0; i < 3; ++i) {
        m_sensorLabels[size_t(2 * i)] = new QLabel(captions[size_t(i)], sensores);
        m_sensorLabels[size_t(2 * i + 1)] = new QLabel(sensores);
        m_sensorLabels[size_t(2 * i + 1)]->setMinimumWidth(70);
        m_sensorSliders[size_t(i)] = makeSlider(bounds[size_t(i)], sensores);
        sensoresLayout->addWidget(m_sensorLabels[size_t(2 * i)], i + 2, 0);
        sensoresLayout->addWidget(m_sensorSliders[size_t(i)], i + 2, 1);
        sensoresLayout->addWidget(m_sensorLabels[size_t(2 * i + 1)], i + 2, 2);
        connect(m_sensorSliders[size_t(i)], &QScrollBar::valueChanged, this, [this, i] { sensorChanged(i); });
        sensorChanged(i);
    }
    sensoresLayout->setRowStretch(5, 1); // spare height below the sliders, not between the rows
    columns->addWidget(sensores);

    // The message.
    auto* mensaje = new QGroupBox(QStringLiteral("CONFIGURACION MENSAJE"), this);
    auto* mensajeLayout = new QGridLayout(mensaje);
    m_messageEdit = new QPlainTextEdit(mensaje);
    m_messageEdit->setPlaceholderText(kDefaultMessage);
    m_messageEdit->setMinimumSize(260, 120);
    mensajeLayout->addWidget(m_messageEdit, 0, 0, 1, 3);
    m_sensorLabels[10] = new QLabel(QStringLiteral("Velocidad"), mensaje);
    m_sensorLabels[9] = new QLabel(mensaje);
    m_sensorLabels[9]->setMinimumWidth(70);
    m_speedSlider = makeSlider(Sliders::Speed, mensaje);
    mensajeLayout->addWidget(m_sensorLabels[10], 1, 0);
    mensajeLayout->addWidget(m_speedSlider, 1, 1);
    mensajeLayout->addWidget(m_sensorLabels[9], 1, 2);
    m_sensorLabels[6] = new QLabel(QStringLiteral("Alineación"), mensaje);
    m_sensorLabels[7] = new QLabel(mensaje);
    m_alignmentSlider = makeSlider(Sliders::Alignment, mensaje);
    mensajeLayout->addWidget(m_sensorLabels[6], 2, 0);
    mensajeLayout->addWidget(m_alignmentSlider, 2, 1);
    mensajeLayout->addWidget(m_sensorLabels[7], 2, 2);
    m_sensorLabels[8] = new QLabel(kStatusOff, mensaje);
    QFont statusFont = m_sensorLabels[8]->font();
    statusFont.setBold(true);
    m_sensorLabels[8]->setFont(statusFont);
    mensajeLayout->addWidget(m_sensorLabels[8], 3, 0, 1, 3);
    m_soundList = new QListWidget(mensaje);
    m_soundList->setMinimumHeight(70);
    m_soundList->setMouseTracking(true);
    m_soundList->viewport()->setMouseTracking(true);
    m_soundList->viewport()->installEventFilter(this);
    QSizePolicy keepPlace = m_soundList->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_soundList->setSizePolicy(keepPlace);
    m_soundList->hide();
    connect(m_soundList, &QListWidget::itemClicked, this, &ControlPanel::previewSound);
    mensajeLayout->addWidget(m_soundList, 4, 0, 1, 3);
    columns->addWidget(mensaje, 1);
    connect(m_speedSlider, &QScrollBar::valueChanged, this, &ControlPanel::speedChanged);
    connect(m_alignmentSlider, &QScrollBar::valueChanged, this, &ControlPanel::alignmentChanged);
    speedChanged();
    alignmentChanged();

    m_donationLink =
        makeLink(QStringLiteral("<a href=\"#\">Donaciones</a>"), QStringLiteral("/donaciones"), this, this);
    root->addWidget(m_donationLink, 0, Qt::AlignRight);

    // The window background, the frames, the views and the message box put the hint to rest.
    for (QWidget* w :
         std::initializer_list<QWidget*>{sensores, mensaje, m_liveView, m_messageEdit->viewport()}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    m_hintLabel->setText(
        QStringLiteral("<a href=\"#\" style=\"color: inherit; text-decoration: none;\">%1</a>")
            .arg(restingHint()));
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event) {
    const QString helpPath = watched->property("helpPath").toString();
    if (!helpPath.isEmpty() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (m_env.shell) {
            m_env.shell->openUrl(Product::pageUrl(helpPath));
        }
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == m_separator) {
            m_cameraHelpLink->hide();
        } else if (watched == m_soundList->viewport()) {
            hoverButton(-1);
            m_hintLabel->setStyleSheet(hintStyle(Colors::HintActive));
            m_hintLabel->setText(QStringLiteral("Seleccionar Archivo de Sonido"));
        } else if (watched != m_hintLabel) {
            restHint();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ControlPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && m_env.shell) {
        m_env.shell->openFile(pathIn(QString::fromUtf16(ReadMe::kFileName)));
        return;
    }
    QWidget::keyPressEvent(event);
}

void ControlPanel::mouseMoveEvent(QMouseEvent* event) {
    // The window's own background; moves over a child that does not take them arrive here too.
    if (!childAt(event->position().toPoint())) {
        restHint();
    }
    QWidget::mouseMoveEvent(event);
}

void ControlPanel::closeEvent(QCloseEvent* event) {
    // Closing the panel closes the program, as the system's shutdown does.
    event->accept();
    unload();
}

void ControlPanel::showPanel() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void ControlPanel::bringPanelBack() {
    showPanel();
    if (isOn(Advertising)) {
        m_autoHideTimer.start();
    }
}

bool ControlPanel::isOn(int index) const {
    return button(index)->appearance() == 1;
}

void ControlPanel::setButtonState(int index, bool on) {
    button(index)->setAppearance(on ? 1 : 0);
    button(index)->setBackColor(on ? Colors::On : Colors::Idle);
}

// ---------------------------------------------------------------- start-up and shutdown

bool ControlPanel::load() {
    if (m_env.tray) {
        m_env.tray->add(QIcon(buttonPicture(Advertising, 32, 1.0)), QStringLiteral(" Pregonar 4.12 "));
    }
    loadIdlePicture();
    m_liveView->showPicture(m_idlePicture);

    if (!ReadMe::write(m_env.workFolder)) {
        if (m_env.dialogs) {
            m_env.dialogs->message(
                this, Dialogs::Icon::Critical, QStringLiteral("Pregonar - Imposible Continuar"),
                QStringLiteral("La carpeta '") + QDir::toNativeSeparators(m_env.workFolder) +
                    QStringLiteral("' está protegida contra escritura."));
        }
        if (m_unloaded) {
            return true; // closed while the message was open (a logout, say): an orderly end
        }
        if (m_env.tray) {
            m_env.tray->remove();
        }
        m_unloaded = true;
        return false;
    }
    for (const char* folder : {"Sonidos", "Fondos", "Videos"}) {
        EnsureFolder(pathIn(QString::fromLatin1(folder)));
    }

    QString icon = pathIn(QStringLiteral("Pregonar.png"));
    if (!QFileInfo::exists(icon)) {
        icon = pathIn(QStringLiteral("Pregonar.ico"));
    }
    const DesktopShortcut shortcut{m_env.desktopFolder, m_env.executable, m_env.workFolder,
                                   QFileInfo::exists(icon) ? icon : QString()};
    if (shortcut.createIfMissing() && m_env.dialogs) {
        m_env.dialogs->message(
            this, Dialogs::Icon::Information, QStringLiteral("Pregonar - BIENVENIDO"),
            QStringLiteral("Un acceso directo con el nombre \"Pregonar\" ha sido creado en el escritorio."));
    }
    if (m_unloaded) {
        return true; // closed while the welcome was open: the settings were never applied
    }

    ApplyPanelSettings();
    RestoreBannerSettings();
    m_settingsApplied = true;
    return true;
}

void ControlPanel::loadIdlePicture() {
    const QString path = pathIn(QStringLiteral("Pregonar.jpg"));
    QPixmap picture;
    if (FileExists(path) && picture.load(path)) {
        m_idlePicture = picture.scaled(m_liveView->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        m_idlePicture = builtInIdlePicture();
    }
}

void ControlPanel::unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    if (m_env.tray) {
        m_env.tray->remove();
    }
    stopBanner();
    stopVideo();
    stopAllSounds();
    m_detectorTimer.stop();
    // Saved before the buttons are reset below: the next start finds the panel as it was closed.
    // A close during start-up (at its messages) leaves the stored settings alone: the panel does
    // not hold them yet.
    if (m_settingsApplied) {
        SavePanelSettings();
        SaveBannerSettings();
    }
    stopCamera();
    for (int index : {Detection, Publish}) {
        button(index)->setAppearance(0);
        button(index)->setBackColor(Colors::Idle);
    }
    m_publisher->shutdown();
    m_sensorLabels[8]->setText(kStatusOff);
    for (QTimer* timer : {&m_holdOffTimer, &m_videoWatchTimer, &m_autoHideTimer}) {
        timer->stop();
    }
    m_bannerWindow.reset();
    m_backgroundWindow.reset();
    m_videoPlayer.reset();
    hide();
    emit unloaded();
}

// ---------------------------------------------------------------- settings

void ControlPanel::ApplyPanelSettings() {
    const SettingsFile file(settingsPath());
    if (!file.exists()) {
        // First start: show the read-me; the sliders keep their design values.
        if (m_env.shell) {
            m_env.shell->openFile(pathIn(QString::fromUtf16(ReadMe::kFileName)));
        }
    } else {
        const SettingsRecord record = file.read(1);
        // A file without a usable record 1 keeps the design values.
        const PanelRecord panel =
            record.varA.type() == RecordVariant::Type::Empty ? PanelRecord{} : decodePanelRecord(record);
        m_sensorSliders[0]->setValue(panel.movement);
        m_sensorSliders[1]->setValue(panel.color);
        m_sensorSliders[2]->setValue(panel.interval);
        m_detectorTimer.setInterval(panel.interval);
        button(SoundsOff)->setAppearance(panel.soundsOn ? 1 : 0);
        button(SoundsOff)->setBackColor(Colors::On);
        button(SoundsOff)->setVisible(panel.soundsOn);
        button(SoundsOff)->setTag(panel.soundsOn ? QStringLiteral("1") : QStringLiteral("0"));
        button(SoundsOn)->setVisible(!panel.soundsOn);
        if (panel.soundsOn) {
            refreshSoundList();
            m_soundList->show();
        }
        m_publisher->setUploadCounter(panel.uploadCounter);
        if (panel.detectionOn) {
            button(Detection)->setAppearance(1);
        }
        if (panel.imageOn) {
            setButtonState(Picture, true);
            if (const auto path = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.WPR")))) {
                m_wallpaperPath = *path;
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        sensorChanged(i);
    }
}

void ControlPanel::RestoreBannerSettings() {
    const SettingsFile file(settingsPath());
    const bool exists = file.exists();
    const SettingsRecord record = exists ? file.read(7) : SettingsRecord{};
    BannerRecord banner = decodeBannerRecord(record);
    if (record.varA.type() == RecordVariant::Type::Empty) {
        // Nothing saved yet: the first sound of the folder is the greeting until one is chosen.
        banner.soundIndex = 0;
    }
    if (exists) {
        m_speedSlider->setValue(banner.speed);
        m_alignmentSlider->setValue(banner.alignment);
    }
    const auto message = SideFiles::readMessage(pathIn(QStringLiteral("Pregonar.LST")));
    m_messageEdit->setPlainText(message ? *message : kDefaultMessage);
    speedChanged();
    alignmentChanged();
    if (banner.soundIndex != -1) {
        refreshSoundList();
        if (banner.soundIndex < m_soundList->count()) {
            m_soundList->setCurrentRow(banner.soundIndex);
        }
    }
    if (banner.videoOn) {
        setButtonState(Video, true);
        if (const auto path = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.VDO")))) {
            m_videoPath = *path;
        }
    }
    if (banner.messageOn) {
        clickButton(Message);
    }
    if (button(Detection)->appearance() == 1) {
        clickButton(Detection);
    }
    if (banner.advertisingOn) {
        clickButton(Advertising);
    }
}

void ControlPanel::SavePanelSettings() {
    PanelRecord panel;
    panel.detectionOn = button(Detection)->appearance() == 1;
    panel.uploadCounter = m_publisher->uploadCounter();
    panel.imageOn = isOn(Picture);
    panel.soundsOn = button(SoundsOff)->tag() == QLatin1String("1");
    panel.movement = m_sensorSliders[0]->value();
    panel.color = m_sensorSliders[1]->value();
    panel.interval = m_sensorSliders[2]->value();
    SettingsFile(settingsPath()).write({{1, encodePanelRecord(panel)}});
}

void ControlPanel::SaveBannerSettings() {
    BannerRecord banner;
    banner.messageOn = isOn(Message);
    banner.advertisingOn = isOn(Advertising);
    banner.videoOn = button(Video)->appearance() != 0;
    banner.soundIndex = m_soundList->currentRow();
    banner.speed = m_speedSlider->value();
    banner.alignment = m_alignmentSlider->value();
    SettingsFile(settingsPath()).write({{7, encodeBannerRecord(banner)}});
    SideFiles::writeMessage(pathIn(QStringLiteral("Pregonar.LST")), m_messageEdit->toPlainText());
}

void ControlPanel::refreshSoundList() {
    const QString previous = m_soundList->currentItem() ? m_soundList->currentItem()->text() : QString();
    QDir folder(pathIn(QStringLiteral("Sonidos")));
    folder.setNameFilters({QStringLiteral("*.mp3"), QStringLiteral("*.wav")});
    folder.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    // Windows file lists match patterns without regard to case; so does this one.
    QStringList names;
    const QStringList all = QDir(folder.path()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : all) {
        const QString lower = name.toLower();
        if (lower.endsWith(QLatin1String(".mp3")) || lower.endsWith(QLatin1String(".wav"))) {
            names << name;
        }
    }
    m_soundList->clear();
    m_soundList->addItems(names);
    const auto found = m_soundList->findItems(previous, Qt::MatchExactly);
    if (!previous.isEmpty() && !found.isEmpty()) {
        m_soundList->setCurrentItem(found.constFirst());
    }
}

// ---------------------------------------------------------------- sliders

void ControlPanel::sensorChanged(int index) {
    const int value = m_sensorSliders[size_t(index)]->value();
    switch (index) {
    case 0:
        m_detector.setMovement(value);
        m_sensorLabels[1]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 1:
        m_detector.setColor(value);
        m_sensorLabels[3]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 2:
        m_detectorTimer.setInterval(value);
        m_sensorLabels[5]->setText(QString::number(value) + QStringLiteral(" mseg"));
        break;
    default:
        break;
    }
}

void ControlPanel::speedChanged() {
    applyBannerSpeed();
    m_sensorLabels[9]->setText(QString::number(m_speedSlider->value()) + QLatin1Char('%'));
}

void ControlPanel::alignmentChanged() {
    applyBannerAlignment();
}

// ---------------------------------------------------------------- hover

void ControlPanel::hoverButton(int index) {
    const int last = button(Detection)->tag().toInt();
    if (last >= 0 && last < 9 && last != index && button(last)->appearance() == 0) {
        button(last)->setBackColor(Colors::Idle);
    }
    if (index < 0) {
        return;
    }
    PictureButton* hovered = button(index);
    if (last == index &&
        (index == Video || hovered->backColor() == Colors::On || hovered->backColor() == Colors::Idle)) {
        if (index != Video && hovered->appearance() == 0) {
            hovered->setBackColor(Colors::Hover);
        }
        bool on = false;
        switch (index) {
        case Detection:
            on = m_detectorTimer.isActive();
            break;
        case Publish:
            on = m_publisher->running();
            break;
        case Picture:
        case Message:
        case Advertising:
        case Video:
            on = hovered->appearance() != 0;
            break;
        default:
            break;
        }
        m_hintLabel->setStyleSheet(hintStyle(Colors::HintActive));
        m_hintLabel->setText(QString::fromUtf16(on ? kHints[size_t(index)].on : kHints[size_t(index)].off));
        if (index == Detection) {
            m_cameraHelpLink->show();
        }
    }
    button(Detection)->setTag(QString::number(index));
}

void ControlPanel::restHint() {
    m_cameraHelpLink->hide();
    const int last = button(Detection)->tag().toInt();
    if (last >= 0 && last < 9 && button(last)->backColor() == Colors::Hover &&
        button(last)->appearance() == 0) {
        button(last)->setBackColor(Colors::Idle);
    }
    m_hintLabel->setStyleSheet(hintStyle(Colors::HintResting));
    m_hintLabel->setText(
        QStringLiteral("<a href=\"#\" style=\"color: inherit; text-decoration: none;\">%1</a>")
            .arg(restingHint()));
}

// ---------------------------------------------------------------- the buttons

QString ControlPanel::chooseFile(const QString& folder, const QString& title, const QString& filter) {
    if (!m_env.dialogs) {
        return {};
    }
    return m_env.dialogs->fileDialog(this, false, title, filter, {}, {}, pathIn(folder));
}

void ControlPanel::clickButton(int index) {
    switch (index) {
    case Detection:
        if (!m_detectorTimer.isActive()) {
            button(index)->setAppearance(1);
            button(index)->setBackColor(Colors::On);
            stopCamera();
            startCamera();
            m_detectorTimer.start();
        } else {
            m_detectorTimer.stop();
            stopCamera();
            m_liveView->showPicture(m_idlePicture);
            setButtonState(index, false);
            m_sensorLabels[8]->setText(kStatusOff);
            if (isOn(Video)) {
                clickButton(Video);
            }
        }
        break;
    case Picture:
        if (!isOn(index)) {
            const QString path = chooseFile(
                QStringLiteral("Fondos"), QStringLiteral("Seleccionar imagen"),
                QStringLiteral(
                    "Todos los archivos de imagen (*.jpg;*.jpeg)|*.jpg;*.jpeg|Todos los archivos [*.*]|*.*"));
            if (!path.isEmpty()) {
                setButtonState(index, true);
                m_wallpaperPath = path;
                SideFiles::writePath(pathIn(QStringLiteral("Pregonar.WPR")), path);
            }
        } else {
            setButtonState(index, false);
        }
        break;
    case Camera:
        chooseCamera();
        break;
    case SoundsOn:
        button(SoundsOn)->hide();
        button(SoundsOff)->setAppearance(1);
        button(SoundsOff)->setBackColor(Colors::On);
        button(SoundsOff)->show();
        button(SoundsOff)->setTag(QStringLiteral("1"));
        refreshSoundList();
        m_soundList->show();
        break;
    case SoundsOff:
        button(SoundsOn)->show();
        button(SoundsOff)->hide();
        button(SoundsOff)->setAppearance(0);
        button(SoundsOff)->setBackColor(Colors::Idle);
        button(SoundsOff)->setTag(QStringLiteral("0"));
        m_soundList->hide();
        stopAllSounds();
        break;
    case Publish:
        m_publisher->toggle();
        break;
    case Message:
        if (!isOn(index)) {
            if (isOn(Video)) {
                clickButton(Video);
            }
            setButtonState(index, true);
        } else {
            setButtonState(index, false);
        }
        break;
    case Advertising: {
        const bool image = isOn(Picture);
        const bool message = isOn(Message);
        const bool video = isOn(Video);
        const bool motion = button(Detection)->appearance() == 1;
        const bool sounds = button(SoundsOff)->appearance() == 1;
        // Only when there is something to show.
        if (!(((image || message) && !video) || (motion && sounds) || (motion && video))) {
            break;
        }
        if (!isOn(index)) {
            for (int i : {Detection, Picture, Camera, SoundsOn, SoundsOff, Message, Video}) {
                button(i)->setEnabled(false);
            }
            button(index)->setAppearance(1);
            button(index)->setBackColor(Colors::Hover);
            hide();
            if (image) {
                showBackgroundPicture();
            }
            if (message) {
                m_messageEdit->setEnabled(false);
                m_alignmentSlider->setEnabled(false);
                startBanner();
            }
            SavePanelSettings();
            SaveBannerSettings();
        } else {
            m_autoHideTimer.stop();
            for (int i : {Detection, Picture, Camera, SoundsOn, SoundsOff, Message, Video}) {
                button(i)->setEnabled(true);
            }
            setButtonState(index, false);
            if (image) {
                m_backgroundWindow.reset();
            }
            if (message) {
                m_messageEdit->setEnabled(true);
                m_alignmentSlider->setEnabled(true);
                stopBanner();
            }
            stopVideo();
            stopAllSounds();
        }
        break;
    }
    case Video:
        if (!isOn(index)) {
            const QString path =
                chooseFile(QStringLiteral("Videos"), QStringLiteral("Seleccionar video"),
                           QStringLiteral("Todos los archivos de video (*.avi;*.mov;*.mp4;*.mpg;*.wmv)|"
                                          "*.avi;*.mov;*.mp4;*.mpg;*.wmv|Todos los archivos [*.*]|*.*"));
            if (!path.isEmpty()) {
                setButtonState(index, true);
                m_videoPath = path;
                SideFiles::writePath(pathIn(QStringLiteral("Pregonar.VDO")), path);
                if (isOn(Message)) {
                    clickButton(Message);
                }
                if (!m_detectorTimer.isActive()) {
                    clickButton(Detection);
                }
            }
        } else {
            setButtonState(index, false);
        }
        break;
    default:
        break;
    }
}
