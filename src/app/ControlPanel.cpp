// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"

#include "app/PanelTexts.h"
#include "app/PictureButton.h"
#include "app/Product.h"
#include "app/ReadMe.h"
#include "app/WorkFolder.h"
#include "audience/Audience.h"
#include "audience/AudienceViews.h"
#include "banner/BannerWindow.h"
#include "banner/MessageBanner.h"
#include "capture/CameraDialog.h"
#include "capture/Capture.h"
#include "capture/FrameSource.h"
#include "capture/LiveView.h"
#include "media/BackgroundPicture.h"
#include "media/BackgroundVideo.h"
#include "media/Greeting.h"
#include "platform/CaptureSources.h"
#include "platform/DesktopShortcut.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
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

} // namespace

ControlPanel::ControlPanel(PanelEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , m_env(std::move(environment)) {
    setWindowTitle(Product::kNameAndVersion);
    setAttribute(Qt::WA_QuitOnClose, false);
    buildFeatures();
    buildWindow();
    buildTrayMenu();

    m_publisher = std::make_unique<Publisher>(this, m_env.workFolder, m_env.dialogs, m_env.ftpFactory);
    m_publisher->setDetecting([this] { return m_shop->detectorRunning(); });
    m_publisher->setVisitPages(
        [this](const QString& page) { return m_audience->audience().writePages(page); });
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
        made->setColour(Colors::Idle);
        made->setFixedSize(56, 56);
        m_buttons[size_t(i)] = made;
        connect(made, &PictureButton::clicked, this, &ControlPanel::clickButton);
        connect(made, &PictureButton::mouseMoved, this, &ControlPanel::hoverButton);
        connect(made, &PictureButton::mouseDown, this,
                [this](int index) { button(index)->setColour(Colors::Pressed); });
        connect(made, &PictureButton::mouseUp, this,
                [this](int index) { button(index)->setColour(Colors::Hover); });
        if (i != SoundsOff) {
            row->addWidget(made);
        }
    }
    row->insertWidget(3, m_buttons[SoundsOff]);
    m_buttons[SoundsOff]->hide();
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
    auto* sensorsGroup = new QGroupBox(QStringLiteral("SENSORES CAMARA WEB"), this);
    auto* sensorsLayout = new QGridLayout(sensorsGroup);
    m_liveView = new LiveView(sensorsGroup);
    sensorsLayout->addWidget(m_liveView, 0, 0, 1, 3);
    // Which source the detector watches, so that a demo scene or a video file is never taken for
    // the shop's own camera.
    m_sourceLabel = new QLabel(QStringLiteral("Fuente: ") + m_capture->choice().describe(), sensorsGroup);
    m_sourceLabel->setAlignment(Qt::AlignCenter);
    sensorsLayout->addWidget(m_sourceLabel, 1, 0, 1, 2);
    sensorsLayout->addWidget(m_audience->todayLabel(), 1, 2);
    const std::array<QString, 3> captions{QStringLiteral("Movimiento"), QStringLiteral("Color"),
                                          QStringLiteral("Frecuencia")};
    const std::array<SliderBounds, 3> bounds{Sliders::Movement, Sliders::Color, Sliders::Interval};
    for (int i = 0; i < 3; ++i) {
        m_sensorLabels[size_t(2 * i)] = new QLabel(captions[size_t(i)], sensorsGroup);
        m_sensorLabels[size_t(2 * i + 1)] = new QLabel(sensorsGroup);
        m_sensorLabels[size_t(2 * i + 1)]->setMinimumWidth(70);
        m_sensorSliders[size_t(i)] = makeSlider(bounds[size_t(i)], sensorsGroup);
        sensorsLayout->addWidget(m_sensorLabels[size_t(2 * i)], i + 2, 0);
        sensorsLayout->addWidget(m_sensorSliders[size_t(i)], i + 2, 1);
        sensorsLayout->addWidget(m_sensorLabels[size_t(2 * i + 1)], i + 2, 2);
        connect(m_sensorSliders[size_t(i)], &QScrollBar::valueChanged, this, [this, i] { sensorChanged(i); });
        sensorChanged(i);
    }
    sensorsLayout->setRowStretch(5, 1); // spare height below the sliders, not between the rows
    columns->addWidget(sensorsGroup);

    // The message.
    auto* messageGroup = new QGroupBox(QStringLiteral("CONFIGURACION MENSAJE"), this);
    auto* messageLayout = new QGridLayout(messageGroup);
    m_messageEdit = new QPlainTextEdit(messageGroup);
    m_messageEdit->setPlaceholderText(PanelTexts::kDefaultMessage);
    m_messageEdit->setMinimumSize(260, 120);
    messageLayout->addWidget(m_messageEdit, 0, 0, 1, 3);
    m_sensorLabels[10] = new QLabel(QStringLiteral("Velocidad"), messageGroup);
    m_sensorLabels[9] = new QLabel(messageGroup);
    m_sensorLabels[9]->setMinimumWidth(70);
    m_speedSlider = makeSlider(Sliders::Speed, messageGroup);
    messageLayout->addWidget(m_sensorLabels[10], 1, 0);
    messageLayout->addWidget(m_speedSlider, 1, 1);
    messageLayout->addWidget(m_sensorLabels[9], 1, 2);
    m_sensorLabels[6] = new QLabel(QStringLiteral("Alineación"), messageGroup);
    m_sensorLabels[7] = new QLabel(messageGroup);
    m_alignmentSlider = makeSlider(Sliders::Alignment, messageGroup);
    messageLayout->addWidget(m_sensorLabels[6], 2, 0);
    messageLayout->addWidget(m_alignmentSlider, 2, 1);
    messageLayout->addWidget(m_sensorLabels[7], 2, 2);
    m_statusLine = new StatusLine(PanelTexts::kStatusOff, messageGroup);
    messageLayout->addWidget(m_statusLine, 3, 0, 1, 3);
    m_soundList = new QListWidget(messageGroup);
    m_soundList->setMinimumHeight(70);
    m_soundList->setMouseTracking(true);
    m_soundList->viewport()->setMouseTracking(true);
    m_soundList->viewport()->installEventFilter(this);
    QSizePolicy keepPlace = m_soundList->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_soundList->setSizePolicy(keepPlace);
    m_soundList->hide();
    // The chosen sound greets the customers; a click plays it so that the shop hears what they will.
    connect(m_soundList, &QListWidget::currentTextChanged, this,
            [this](const QString& name) { m_greeting->choose(name); });
    connect(m_soundList, &QListWidget::itemClicked, this, [this](const QListWidgetItem* item) {
        if (m_soundList->isVisible() && item)
            m_greeting->preview(item->text());
    });
    messageLayout->addWidget(m_soundList, 4, 0, 1, 3);
    columns->addWidget(messageGroup, 1);
    connect(m_speedSlider, &QScrollBar::valueChanged, this, &ControlPanel::speedChanged);
    connect(m_alignmentSlider, &QScrollBar::valueChanged, this, &ControlPanel::alignmentChanged);
    speedChanged();
    alignmentChanged();

    m_donationLink =
        makeLink(QStringLiteral("<a href=\"#\">Donaciones</a>"), QStringLiteral("/donaciones"), this, this);
    root->addWidget(m_donationLink, 0, Qt::AlignRight);

    // The window background, the frames, the views and the message box put the hint to rest.
    for (QWidget* w :
         std::initializer_list<QWidget*>{sensorsGroup, messageGroup, m_liveView, m_messageEdit->viewport()}) {
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
    m_shop->bringPanelBack();
}

void ControlPanel::setButtonState(int index, bool on) {
    if (button(index)->isOn() == on)
        return; // unchanged: a hover colour stays
    button(index)->setOn(on);
    button(index)->setColour(on ? Colors::On : Colors::Idle);
}

void ControlPanel::drawSwitches() {
    const Shop& shop = *m_shop;
    const bool wasDetecting = button(Detection)->isOn();
    setButtonState(Detection, shop.detecting());
    if (wasDetecting && !shop.detecting()) {
        showIdlePicture();
        statusLabel()->setText(PanelTexts::kStatusOff);
    }
    setButtonState(Picture, shop.pictureOn());
    setButtonState(Message, shop.messageOn());
    setButtonState(Video, shop.videoOn());

    const bool sounds = shop.soundsOn();
    if (button(SoundsOff)->isOn() != sounds) {
        button(SoundsOn)->setVisible(!sounds);
        button(SoundsOff)->setVisible(sounds);
        button(SoundsOff)->setOn(sounds);
        button(SoundsOff)->setColour(sounds ? Colors::On : Colors::Idle);
        if (sounds)
            refreshSoundList();
        m_soundList->setVisible(sounds);
    }

    const bool advertising = shop.advertising();
    if (button(Advertising)->isOn() != advertising) {
        button(Advertising)->setOn(advertising);
        button(Advertising)->setColour(advertising ? Colors::Hover : Colors::Idle);
    }
    // While the show runs its switches cannot change under it.
    for (int i : {Detection, Picture, Camera, SoundsOn, SoundsOff, Message, Video})
        button(i)->setEnabled(!shop.switchesLocked());
    const bool messageLocked = advertising && shop.messageOn();
    m_messageEdit->setEnabled(!messageLocked);
    m_alignmentSlider->setEnabled(!messageLocked);
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
        m_capture->detector().setMovement(value);
        m_sensorLabels[1]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 1:
        m_capture->detector().setColor(value);
        m_sensorLabels[3]->setText(QString::number(value + 50) + QLatin1Char('%'));
        break;
    case 2:
        m_capture->setInterval(value);
        m_sensorLabels[5]->setText(QString::number(value) + QStringLiteral(" mseg"));
        break;
    default:
        break;
    }
}

void ControlPanel::speedChanged() {
    m_banner->setSpeed(m_speedSlider->value());
    m_sensorLabels[9]->setText(QString::number(m_speedSlider->value()) + QLatin1Char('%'));
}

void ControlPanel::alignmentChanged() {
    static const std::array<std::pair<const char*, Qt::Alignment>, 3> kAlign{{
        {"Izquierda", Qt::AlignLeft},
        {"Centrar", Qt::AlignHCenter},
        {"Derecha", Qt::AlignRight},
    }};
    const int value = m_alignmentSlider->value();
    if (value < 0 || value > 2) {
        return;
    }
    m_sensorLabels[7]->setText(QString::fromLatin1(kAlign[size_t(value)].first));
    // The message box shows the layout the banner will use.
    QTextOption option = m_messageEdit->document()->defaultTextOption();
    option.setAlignment(kAlign[size_t(value)].second);
    m_messageEdit->document()->setDefaultTextOption(option);
    m_banner->setAlignment(value);
}

// ---------------------------------------------------------------- hover

void ControlPanel::hoverButton(int index) {
    const int last = m_lastHovered;
    if (last >= 0 && last < 9 && last != index && !button(last)->isOn()) {
        button(last)->setColour(Colors::Idle);
    }
    if (index < 0) {
        return;
    }
    PictureButton* hovered = button(index);
    if (last == index &&
        (index == Video || hovered->colour() == Colors::On || hovered->colour() == Colors::Idle)) {
        if (index != Video && !hovered->isOn()) {
            hovered->setColour(Colors::Hover);
        }
        bool on = false;
        switch (index) {
        case Detection:
            on = m_shop->detectorRunning();
            break;
        case Publish:
            on = m_publisher->running();
            break;
        case Picture:
        case Message:
        case Advertising:
        case Video:
            on = hovered->isOn();
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
    m_lastHovered = index;
}

void ControlPanel::restHint() {
    m_cameraHelpLink->hide();
    const int last = m_lastHovered;
    if (last >= 0 && last < 9 && button(last)->colour() == Colors::Hover && !button(last)->isOn()) {
        button(last)->setColour(Colors::Idle);
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
    Shop& shop = *m_shop;
    switch (index) {
    case Detection:
        shop.setDetection(!shop.detecting());
        break;
    case Picture:
        if (!shop.pictureOn()) {
            shop.choosePicture(
                chooseFile(QStringLiteral("Fondos"), QStringLiteral("Seleccionar imagen"),
                           QStringLiteral("Todos los archivos de imagen (*.jpg;*.jpeg)|*.jpg;*.jpeg|Todos "
                                          "los archivos [*.*]|*.*")));
        } else {
            shop.switchPictureOff();
        }
        break;
    case Camera:
        chooseCamera();
        break;
    case SoundsOn:
        shop.setSounds(true);
        break;
    case SoundsOff:
        shop.setSounds(false);
        break;
    case Publish:
        m_publisher->toggle();
        break;
    case Message:
        shop.setMessage(!shop.messageOn());
        break;
    case Advertising:
        if (!shop.advertising()) {
            shop.startAdvertising();
        } else {
            shop.stopAdvertising();
        }
        break;
    case Video:
        if (!shop.videoOn()) {
            shop.chooseVideo(
                chooseFile(QStringLiteral("Videos"), QStringLiteral("Seleccionar video"),
                           QStringLiteral("Todos los archivos de video (*.avi;*.mov;*.mp4;*.mpg;*.wmv)|"
                                          "*.avi;*.mov;*.mp4;*.mpg;*.wmv|Todos los archivos [*.*]|*.*")));
        } else {
            shop.switchVideoOff();
        }
        break;
    default:
        break;
    }
}

void ControlPanel::chooseCamera() {
    CameraDialog dialog(m_capture->choice(), availableCameras(), m_env.dialogs,
                        pathIn(QStringLiteral("Videos")), this);
    dialog.editZones(*m_capture, m_idlePicture);
    if (dialog.exec() != QDialog::Accepted || dialog.choice() == m_capture->choice()) {
        return;
    }
    // A running detection moves to the new source at once.
    m_capture->setChoice(dialog.choice());
    m_capture->choice().write(pathIn(QStringLiteral("Pregonar.CAM")));
    m_sourceLabel->setText(QStringLiteral("Fuente: ") + m_capture->choice().describe());
}

void ControlPanel::showIdlePicture() {
    m_liveView->showPicture(m_idlePicture);
}
