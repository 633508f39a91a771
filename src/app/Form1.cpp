// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/Form1.h"

#include "app/PictureButton.h"
#include "app/Product.h"
#include "app/ReadMe.h"
#include "app/WorkFolder.h"
#include "banner/Form3.h"
#include "capture/FrameSource.h"
#include "capture/LiveView.h"
#include "capture/SnapshotWriter.h"
#include "media/Form4.h"
#include "platform/DesktopShortcut.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
#include "platform/VideoPlayer.h"
#include "publish/PanelPublish.h"
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

// A help label: a click anywhere on it opens its page (Form1::eventFilter), whatever it shows.
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
    p.drawPixmap(110, 50, buttonPicture(Form1::Camara, 100, 1.0));
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRect(0, 170, 320, 40), Qt::AlignCenter, QStringLiteral("Cámara Web"));
    return pixmap;
}
} // namespace

Form1::Form1(PanelEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , m_env(std::move(environment)) {
    setWindowTitle(Product::kNameAndVersion);
    m_snapshots = std::make_unique<SnapshotWriter>(m_env.workFolder);
    connect(m_snapshots.get(), &SnapshotWriter::saved, this,
            [this](const QString& name) { m_snapshotName = name; });
    m_cameraChoice =
        m_env.cameraOverride.value_or(CameraChoice::read(pathIn(QStringLiteral("Pregonar.CAM"))));
    setAttribute(Qt::WA_QuitOnClose, false);
    for (QTimer* timer :
         {&m_tmrReloj, &m_tmrAutoOFF, &m_tmrVideoPlay, &m_tmrAutoHide, &m_tmrAutoSesion, &m_tmrFTP}) {
        timer->stop();
    }
    m_tmrReloj.setInterval(100);
    m_tmrAutoOFF.setInterval(7000);
    m_tmrVideoPlay.setInterval(10);
    m_tmrAutoHide.setInterval(5000);
    m_tmrAutoSesion.setInterval(5000);
    m_tmrFTP.setInterval(7000);
    m_tmrReloj.setTimerType(Qt::PreciseTimer);
    m_tmrVideoPlay.setTimerType(Qt::PreciseTimer);

    connect(&m_tmrReloj, &QTimer::timeout, this, &Form1::TmrReloj_Timer);
    connect(&m_tmrVideoPlay, &QTimer::timeout, this, &Form1::TmrVideoPlay_Timer);
    // The hold-off only marks seven seconds after an answer.
    connect(&m_tmrAutoOFF, &QTimer::timeout, &m_tmrAutoOFF, &QTimer::stop);
    connect(&m_tmrAutoHide, &QTimer::timeout, this, [this] {
        m_tmrAutoHide.stop();
        hide();
    });

    buildWindow();
    buildTrayMenu();
    setUpPublishing();
}

Form1::~Form1() {
    if (!m_unloaded) {
        unload();
    }
}

QString Form1::restingHint() {
    return Product::kHost;
}

QString Form1::pathIn(const QString& name) const {
    return QDir(m_env.workFolder).filePath(name);
}

QString Form1::settingsPath() const {
    return pathIn(QStringLiteral("Pregonar.DAT"));
}

void Form1::buildWindow() {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setMouseTracking(true);
    auto* root = new QVBoxLayout(this);

    // The row of buttons; 3 and 4 share one place.
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < 9; ++i) {
        auto* button = new PictureButton(i, buttonPicture(i, 40, ratio), this);
        button->setBackColor(Colors::Idle);
        button->setFixedSize(56, 56);
        m_botones[size_t(i)] = button;
        connect(button, &PictureButton::clicked, this, &Form1::PctBoton_Click);
        connect(button, &PictureButton::mouseMoved, this, &Form1::PctBoton_MouseMove);
        connect(button, &PictureButton::mouseDown, this,
                [this](int index) { boton(index)->setBackColor(Colors::Pressed); });
        connect(button, &PictureButton::mouseUp, this,
                [this](int index) { boton(index)->setBackColor(Colors::Hover); });
        if (i != SonidoDesactivar) {
            row->addWidget(button);
        }
    }
    row->insertWidget(3, m_botones[SonidoDesactivar]);
    m_botones[SonidoDesactivar]->hide();
    m_botones[SonidoDesactivar]->setTag(QStringLiteral("0"));
    m_botones[Deteccion]->setTag(QStringLiteral("0"));
    row->addStretch();
    root->addLayout(row);

    auto* hints = new QHBoxLayout;
    // The hint line is a link to the product page, as the help label always was.
    m_lblAyuda = makeLink(restingHint(), QStringLiteral("/pregonar"), this, this);
    m_lblAyuda->setStyleSheet(hintStyle(Colors::HintResting));
    m_lblAyudaCam = makeLink(QStringLiteral("<a href=\"#\">Ayuda Cámara Web</a>"),
                             QStringLiteral("/pregonar/webcam.html"), this, this);
    m_lblAyudaCam->hide();
    hints->addWidget(m_lblAyuda, 1);
    hints->addWidget(m_lblAyudaCam);
    root->addLayout(hints);

    m_pctSeparador = new QLabel(this);
    m_pctSeparador->setFixedHeight(4);
    m_pctSeparador->setStyleSheet(QStringLiteral("background: #6c8c6c;"));
    m_pctSeparador->setMouseTracking(true);
    m_pctSeparador->installEventFilter(this);
    root->addWidget(m_pctSeparador);

    auto* columns = new QHBoxLayout;
    root->addLayout(columns);

    // Camera sensors.
    auto* sensores = new QGroupBox(QStringLiteral("SENSORES CAMARA WEB"), this);
    auto* sensoresLayout = new QGridLayout(sensores);
    m_picture1 = new LiveView(sensores);
    sensoresLayout->addWidget(m_picture1, 0, 0, 1, 3);
    // Which source the detector watches, so that a demo scene or a video file is never taken for
    // the shop's own camera.
    m_lblCamara = new QLabel(QStringLiteral("Fuente: ") + m_cameraChoice.describe(), sensores);
    m_lblCamara->setAlignment(Qt::AlignCenter);
    sensoresLayout->addWidget(m_lblCamara, 1, 0, 1, 3);
    const std::array<QString, 3> captions{QStringLiteral("Movimiento"), QStringLiteral("Color"),
                                          QStringLiteral("Frecuencia")};
    const std::array<SliderBounds, 3> bounds{Sliders::Movimiento, Sliders::Color, Sliders::Frecuencia};
    for (int i = 0; i < 3; ++i) {
        m_lblSensor[size_t(2 * i)] = new QLabel(captions[size_t(i)], sensores);
        m_lblSensor[size_t(2 * i + 1)] = new QLabel(sensores);
        m_lblSensor[size_t(2 * i + 1)]->setMinimumWidth(70);
        m_sensores[size_t(i)] = makeSlider(bounds[size_t(i)], sensores);
        sensoresLayout->addWidget(m_lblSensor[size_t(2 * i)], i + 2, 0);
        sensoresLayout->addWidget(m_sensores[size_t(i)], i + 2, 1);
        sensoresLayout->addWidget(m_lblSensor[size_t(2 * i + 1)], i + 2, 2);
        connect(m_sensores[size_t(i)], &QScrollBar::valueChanged, this, [this, i] { HsbSensor_Change(i); });
        HsbSensor_Change(i);
    }
    sensoresLayout->setRowStretch(5, 1); // spare height below the sliders, not between the rows
    columns->addWidget(sensores);

    // The message.
    auto* mensaje = new QGroupBox(QStringLiteral("CONFIGURACION MENSAJE"), this);
    auto* mensajeLayout = new QGridLayout(mensaje);
    m_txtBanner = new QPlainTextEdit(mensaje);
    m_txtBanner->setPlaceholderText(kDefaultMessage);
    m_txtBanner->setMinimumSize(260, 120);
    mensajeLayout->addWidget(m_txtBanner, 0, 0, 1, 3);
    m_lblSensor[10] = new QLabel(QStringLiteral("Velocidad"), mensaje);
    m_lblSensor[9] = new QLabel(mensaje);
    m_lblSensor[9]->setMinimumWidth(70);
    m_hsbSpeed = makeSlider(Sliders::Velocidad, mensaje);
    mensajeLayout->addWidget(m_lblSensor[10], 1, 0);
    mensajeLayout->addWidget(m_hsbSpeed, 1, 1);
    mensajeLayout->addWidget(m_lblSensor[9], 1, 2);
    m_lblSensor[6] = new QLabel(QStringLiteral("Alineación"), mensaje);
    m_lblSensor[7] = new QLabel(mensaje);
    m_hsbAlignment = makeSlider(Sliders::Alineacion, mensaje);
    mensajeLayout->addWidget(m_lblSensor[6], 2, 0);
    mensajeLayout->addWidget(m_hsbAlignment, 2, 1);
    mensajeLayout->addWidget(m_lblSensor[7], 2, 2);
    m_lblSensor[8] = new QLabel(kStatusOff, mensaje);
    QFont statusFont = m_lblSensor[8]->font();
    statusFont.setBold(true);
    m_lblSensor[8]->setFont(statusFont);
    mensajeLayout->addWidget(m_lblSensor[8], 3, 0, 1, 3);
    m_filEfectoSonido = new QListWidget(mensaje);
    m_filEfectoSonido->setMinimumHeight(70);
    m_filEfectoSonido->setMouseTracking(true);
    m_filEfectoSonido->viewport()->setMouseTracking(true);
    m_filEfectoSonido->viewport()->installEventFilter(this);
    QSizePolicy keepPlace = m_filEfectoSonido->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_filEfectoSonido->setSizePolicy(keepPlace);
    m_filEfectoSonido->hide();
    connect(m_filEfectoSonido, &QListWidget::itemClicked, this, &Form1::FilEfectoSonido_Click);
    mensajeLayout->addWidget(m_filEfectoSonido, 4, 0, 1, 3);
    columns->addWidget(mensaje, 1);
    connect(m_hsbSpeed, &QScrollBar::valueChanged, this, &Form1::HsbSpeed_Change);
    connect(m_hsbAlignment, &QScrollBar::valueChanged, this, &Form1::HsbAlignment_Change);
    HsbSpeed_Change();
    HsbAlignment_Change();

    m_lblDonacion =
        makeLink(QStringLiteral("<a href=\"#\">Donaciones</a>"), QStringLiteral("/donaciones"), this, this);
    root->addWidget(m_lblDonacion, 0, Qt::AlignRight);

    // The window background, the frames, the views and the message box put the hint to rest.
    for (QWidget* w :
         std::initializer_list<QWidget*>{sensores, mensaje, m_picture1, m_txtBanner->viewport()}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    m_lblAyuda->setText(
        QStringLiteral("<a href=\"#\" style=\"color: inherit; text-decoration: none;\">%1</a>")
            .arg(restingHint()));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QString helpPath = watched->property("helpPath").toString();
    if (!helpPath.isEmpty() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (m_env.shell) {
            m_env.shell->openUrl(Product::pageUrl(helpPath));
        }
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == m_pctSeparador) {
            m_lblAyudaCam->hide();
        } else if (watched == m_filEfectoSonido->viewport()) {
            PctBoton_MouseMove(-1);
            m_lblAyuda->setStyleSheet(hintStyle(Colors::HintActive));
            m_lblAyuda->setText(QStringLiteral("Seleccionar Archivo de Sonido"));
        } else if (watched != m_lblAyuda) {
            ResetHint();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && m_env.shell) {
        m_env.shell->openFile(pathIn(QString::fromUtf16(ReadMe::kFileName)));
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    // The window's own background; moves over a child that does not take them arrive here too.
    if (!childAt(event->position().toPoint())) {
        ResetHint();
    }
    QWidget::mouseMoveEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the panel closes the program, as the system's shutdown does.
    event->accept();
    unload();
}

void Form1::showPanel() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void Form1::bringPanelBack() {
    showPanel();
    if (isOn(Publicidad)) {
        m_tmrAutoHide.start();
    }
}

bool Form1::isOn(int index) const {
    return boton(index)->appearance() == 1;
}

void Form1::setButtonState(int index, bool on) {
    boton(index)->setAppearance(on ? 1 : 0);
    boton(index)->setBackColor(on ? Colors::On : Colors::Idle);
}

// ---------------------------------------------------------------- start-up and shutdown

bool Form1::load() {
    if (m_env.tray) {
        m_env.tray->add(QIcon(buttonPicture(Publicidad, 32, 1.0)), QStringLiteral(" Pregonar 4.12 "));
    }
    loadIdlePicture();
    m_picture1->showPicture(m_picture3);

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

void Form1::loadIdlePicture() {
    const QString path = pathIn(QStringLiteral("Pregonar.jpg"));
    QPixmap picture;
    if (FileExists(path) && picture.load(path)) {
        m_picture3 = picture.scaled(m_picture1->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        m_picture3 = builtInIdlePicture();
    }
}

void Form1::unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    if (m_env.tray) {
        m_env.tray->remove();
    }
    DetenerBanner();
    DetenerVideo();
    CerrarTodo();
    m_tmrReloj.stop();
    // Saved before the buttons are reset below: the next start finds the panel as it was closed.
    // A close during start-up (at its messages) leaves the stored settings alone: the panel does
    // not hold them yet.
    if (m_settingsApplied) {
        SavePanelSettings();
        SaveBannerSettings();
    }
    WebCamApagar();
    for (int index : {Deteccion, Transferir}) {
        boton(index)->setAppearance(0);
        boton(index)->setBackColor(Colors::Idle);
    }
    m_tmrFTP.stop();
    endPublishing();
    m_lblSensor[8]->setText(kStatusOff);
    for (QTimer* timer : {&m_tmrAutoOFF, &m_tmrVideoPlay, &m_tmrAutoHide, &m_tmrAutoSesion}) {
        timer->stop();
    }
    m_form3.reset();
    m_form4.reset();
    m_mplayer.reset();
    hide();
    emit unloaded();
}

// ---------------------------------------------------------------- settings

void Form1::ApplyPanelSettings() {
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
        m_sensores[0]->setValue(panel.movimiento);
        m_sensores[1]->setValue(panel.color);
        m_sensores[2]->setValue(panel.frecuencia);
        m_tmrReloj.setInterval(panel.frecuencia);
        boton(SonidoDesactivar)->setAppearance(panel.soundsOn ? 1 : 0);
        boton(SonidoDesactivar)->setBackColor(Colors::On);
        boton(SonidoDesactivar)->setVisible(panel.soundsOn);
        boton(SonidoDesactivar)->setTag(panel.soundsOn ? QStringLiteral("1") : QStringLiteral("0"));
        boton(SonidoActivar)->setVisible(!panel.soundsOn);
        if (panel.soundsOn) {
            refreshSoundList();
            m_filEfectoSonido->show();
        }
        m_uploadCounter = panel.uploadCounter;
        if (panel.detectionOn) {
            boton(Deteccion)->setAppearance(1);
        }
        if (panel.imageOn) {
            setButtonState(Imagen, true);
            if (const auto path = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.WPR")))) {
                m_wallpaperPath = *path;
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        HsbSensor_Change(i);
    }
}

void Form1::RestoreBannerSettings() {
    const SettingsFile file(settingsPath());
    const bool exists = file.exists();
    const SettingsRecord record = exists ? file.read(7) : SettingsRecord{};
    BannerRecord banner = decodeBannerRecord(record);
    if (record.varA.type() == RecordVariant::Type::Empty) {
        // Nothing saved yet: the first sound of the folder is the greeting until one is chosen.
        banner.soundIndex = 0;
    }
    if (exists) {
        m_hsbSpeed->setValue(banner.speed);
        m_hsbAlignment->setValue(banner.alignment);
    }
    const auto message = SideFiles::readMessage(pathIn(QStringLiteral("Pregonar.LST")));
    m_txtBanner->setPlainText(message ? *message : kDefaultMessage);
    HsbSpeed_Change();
    HsbAlignment_Change();
    if (banner.soundIndex != -1) {
        refreshSoundList();
        if (banner.soundIndex < m_filEfectoSonido->count()) {
            m_filEfectoSonido->setCurrentRow(banner.soundIndex);
        }
    }
    if (banner.videoOn) {
        setButtonState(Video, true);
        if (const auto path = SideFiles::readPath(pathIn(QStringLiteral("Pregonar.VDO")))) {
            m_videoPath = *path;
        }
    }
    if (banner.messageOn) {
        PctBoton_Click(Mensaje);
    }
    if (boton(Deteccion)->appearance() == 1) {
        PctBoton_Click(Deteccion);
    }
    if (banner.advertisingOn) {
        PctBoton_Click(Publicidad);
    }
}

void Form1::SavePanelSettings() {
    PanelRecord panel;
    panel.detectionOn = boton(Deteccion)->appearance() == 1;
    panel.uploadCounter = m_uploadCounter;
    panel.imageOn = isOn(Imagen);
    panel.soundsOn = boton(SonidoDesactivar)->tag() == QLatin1String("1");
    panel.movimiento = m_sensores[0]->value();
    panel.color = m_sensores[1]->value();
    panel.frecuencia = m_sensores[2]->value();
    SettingsFile(settingsPath()).write({{1, encodePanelRecord(panel)}});
}

void Form1::SaveBannerSettings() {
    BannerRecord banner;
    banner.messageOn = isOn(Mensaje);
    banner.advertisingOn = isOn(Publicidad);
    banner.videoOn = boton(Video)->appearance() != 0;
    banner.soundIndex = m_filEfectoSonido->currentRow();
    banner.speed = m_hsbSpeed->value();
    banner.alignment = m_hsbAlignment->value();
    SettingsFile(settingsPath()).write({{7, encodeBannerRecord(banner)}});
    SideFiles::writeMessage(pathIn(QStringLiteral("Pregonar.LST")), m_txtBanner->toPlainText());
}

void Form1::refreshSoundList() {
    const QString previous =
        m_filEfectoSonido->currentItem() ? m_filEfectoSonido->currentItem()->text() : QString();
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
    m_filEfectoSonido->clear();
    m_filEfectoSonido->addItems(names);
    const auto found = m_filEfectoSonido->findItems(previous, Qt::MatchExactly);
    if (!previous.isEmpty() && !found.isEmpty()) {
        m_filEfectoSonido->setCurrentItem(found.constFirst());
    }
}

// ---------------------------------------------------------------- sliders

void Form1::HsbSensor_Change(int index) {
    const int value = m_sensores[size_t(index)]->value();
    switch (index) {
    case 0:
        m_detector.setMovimiento(value);
        m_lblSensor[1]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 1:
        m_detector.setColor(value);
        m_lblSensor[3]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 2:
        m_tmrReloj.setInterval(value);
        m_lblSensor[5]->setText(QString::number(value) + QStringLiteral(" mseg"));
        break;
    default:
        break;
    }
}

void Form1::HsbSpeed_Change() {
    SpeedBanner();
    m_lblSensor[9]->setText(QString::number(m_hsbSpeed->value()) + QLatin1Char('%'));
}

void Form1::HsbAlignment_Change() {
    AlignmentBanner();
}

// ---------------------------------------------------------------- hover

void Form1::PctBoton_MouseMove(int index) {
    const int last = boton(Deteccion)->tag().toInt();
    if (last >= 0 && last < 9 && last != index && boton(last)->appearance() == 0) {
        boton(last)->setBackColor(Colors::Idle);
    }
    if (index < 0) {
        return;
    }
    PictureButton* button = boton(index);
    if (last == index &&
        (index == Video || button->backColor() == Colors::On || button->backColor() == Colors::Idle)) {
        if (index != Video && button->appearance() == 0) {
            button->setBackColor(Colors::Hover);
        }
        bool on = false;
        switch (index) {
        case Deteccion:
            on = m_tmrReloj.isActive();
            break;
        case Transferir:
            on = m_tmrFTP.isActive();
            break;
        case Imagen:
        case Mensaje:
        case Publicidad:
        case Video:
            on = button->appearance() != 0;
            break;
        default:
            break;
        }
        m_lblAyuda->setStyleSheet(hintStyle(Colors::HintActive));
        m_lblAyuda->setText(QString::fromUtf16(on ? kHints[size_t(index)].on : kHints[size_t(index)].off));
        if (index == Deteccion) {
            m_lblAyudaCam->show();
        }
    }
    boton(Deteccion)->setTag(QString::number(index));
}

void Form1::ResetHint() {
    m_lblAyudaCam->hide();
    const int last = boton(Deteccion)->tag().toInt();
    if (last >= 0 && last < 9 && boton(last)->backColor() == Colors::Hover &&
        boton(last)->appearance() == 0) {
        boton(last)->setBackColor(Colors::Idle);
    }
    m_lblAyuda->setStyleSheet(hintStyle(Colors::HintResting));
    m_lblAyuda->setText(
        QStringLiteral("<a href=\"#\" style=\"color: inherit; text-decoration: none;\">%1</a>")
            .arg(restingHint()));
}

// ---------------------------------------------------------------- the buttons

QString Form1::chooseFile(const QString& folder, const QString& title, const QString& filter) {
    if (!m_env.dialogs) {
        return {};
    }
    return m_env.dialogs->fileDialog(this, false, title, filter, {}, {}, pathIn(folder));
}

void Form1::PctBoton_Click(int index) {
    switch (index) {
    case Deteccion:
        if (!m_tmrReloj.isActive()) {
            boton(index)->setAppearance(1);
            boton(index)->setBackColor(Colors::On);
            WebCamApagar();
            WebCamConectar();
            m_tmrReloj.start();
        } else {
            m_tmrReloj.stop();
            WebCamApagar();
            m_picture1->showPicture(m_picture3);
            setButtonState(index, false);
            m_lblSensor[8]->setText(kStatusOff);
            if (isOn(Video)) {
                PctBoton_Click(Video);
            }
        }
        break;
    case Imagen:
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
    case Camara:
        ConfigurarCamara();
        break;
    case SonidoActivar:
        boton(SonidoActivar)->hide();
        boton(SonidoDesactivar)->setAppearance(1);
        boton(SonidoDesactivar)->setBackColor(Colors::On);
        boton(SonidoDesactivar)->show();
        boton(SonidoDesactivar)->setTag(QStringLiteral("1"));
        refreshSoundList();
        m_filEfectoSonido->show();
        break;
    case SonidoDesactivar:
        boton(SonidoActivar)->show();
        boton(SonidoDesactivar)->hide();
        boton(SonidoDesactivar)->setAppearance(0);
        boton(SonidoDesactivar)->setBackColor(Colors::Idle);
        boton(SonidoDesactivar)->setTag(QStringLiteral("0"));
        m_filEfectoSonido->hide();
        CerrarTodo();
        break;
    case Transferir:
        if (!m_tmrFTP.isActive()) {
            AbrirForm2();
        } else {
            m_tmrFTP.stop();
            if (ftpClient()) {
                ftpClient()->DesconectarFTP();
            }
            setButtonState(index, false);
        }
        break;
    case Mensaje:
        if (!isOn(index)) {
            if (isOn(Video)) {
                PctBoton_Click(Video);
            }
            setButtonState(index, true);
        } else {
            setButtonState(index, false);
        }
        break;
    case Publicidad: {
        const bool image = isOn(Imagen);
        const bool message = isOn(Mensaje);
        const bool video = isOn(Video);
        const bool motion = boton(Deteccion)->appearance() == 1;
        const bool sounds = boton(SonidoDesactivar)->appearance() == 1;
        // Only when there is something to show.
        if (!(((image || message) && !video) || (motion && sounds) || (motion && video))) {
            break;
        }
        if (!isOn(index)) {
            for (int i : {Deteccion, Imagen, Camara, SonidoActivar, SonidoDesactivar, Mensaje, Video}) {
                boton(i)->setEnabled(false);
            }
            boton(index)->setAppearance(1);
            boton(index)->setBackColor(Colors::Hover);
            hide();
            if (image) {
                MostrarFondo();
            }
            if (message) {
                m_txtBanner->setEnabled(false);
                m_hsbAlignment->setEnabled(false);
                IniciarBanner();
            }
            SavePanelSettings();
            SaveBannerSettings();
        } else {
            m_tmrAutoHide.stop();
            for (int i : {Deteccion, Imagen, Camara, SonidoActivar, SonidoDesactivar, Mensaje, Video}) {
                boton(i)->setEnabled(true);
            }
            setButtonState(index, false);
            if (image) {
                m_form4.reset();
            }
            if (message) {
                m_txtBanner->setEnabled(true);
                m_hsbAlignment->setEnabled(true);
                DetenerBanner();
            }
            DetenerVideo();
            CerrarTodo();
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
                if (isOn(Mensaje)) {
                    PctBoton_Click(Mensaje);
                }
                if (!m_tmrReloj.isActive()) {
                    PctBoton_Click(Deteccion);
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
