// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/FtpDialog.h"

#include "publish/Publishing.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace {

// The window was drawn in twips; 15 twips make a pixel at 96 dpi.
QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString colourStyle(Bgr back, Bgr fore) {
    return QStringLiteral("background-color: %1; color: %2;")
        .arg(toQColor(back).name(), toQColor(fore).name());
}

constexpr Bgr kBoxBack = 0x00C0E0FF;
constexpr Bgr kCaptionBack = 0x0080C0FF;
constexpr Bgr kCaptionFore = 0x00404040;
constexpr Bgr kBlack = 0x00000000;

struct Box {
    int top;
    const char16_t* caption;
    int maxLength;
    bool masked;
};
constexpr std::array<Box, 4> kBoxes{{
    {165, u"Servidor FTP ", 48, false},
    {480, u"Usuario ", 24, true},
    {795, u"Contraseña ", 24, true},
    {1110, u"Archivo HTML ", 24, false},
}};

} // namespace

FtpDialog::FtpDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setFixedSize(4515 / 15, 2640 / 15);
    setMouseTracking(true);

    auto* fieldFrame = new QLabel(this);
    fieldFrame->setGeometry(twips(1410, 150, 3015, 1305));
    fieldFrame->setStyleSheet(colourStyle(kBlack, kBlack));
    auto* listFrame = new QLabel(this);
    listFrame->setGeometry(twips(2250, 1500, 2175, 675));
    listFrame->setStyleSheet(colourStyle(kBlack, kBlack));

    QFont boxFont(QStringLiteral("Courier"));
    boxFont.setStyleHint(QFont::TypeWriter);
    boxFont.setPointSizeF(9.75);
    QFont captionFont(QStringLiteral("Lucida Sans Unicode"));
    captionFont.setPointSizeF(8.25);
    QFont buttonFont(QStringLiteral("Verdana"));
    buttonFont.setPointSizeF(8.25);
    buttonFont.setBold(true);

    for (int i = 0; i < 4; ++i) {
        const Box& box = kBoxes[size_t(i)];
        auto* text = new QLineEdit(this);
        text->setGeometry(twips(1425, box.top, 2985, 330));
        text->setFont(boxFont);
        text->setMaxLength(box.maxLength);
        text->setFrame(false);
        text->setStyleSheet(colourStyle(kBoxBack, kBlack) +
                            QStringLiteral("lineedit-password-character: 42;"));
        if (box.masked)
            text->setEchoMode(QLineEdit::Password);
        text->setMouseTracking(true);
        text->installEventFilter(this);
        m_fields[size_t(i)] = text;

        auto* caption = new QLabel(QString::fromUtf16(box.caption), this);
        caption->setGeometry(twips(90, box.top, 1335, 330));
        m_labels[size_t(i)] = caption;
    }

    const auto combo = [&](int top, const QStringList& items, const char16_t* caption, int index) {
        auto* list = new QComboBox(this);
        list->setGeometry(twips(2265, top, 2145, 330));
        list->setFont(boxFont);
        list->addItems(items);
        list->setStyleSheet(colourStyle(kBoxBack, kBlack));
        // Choosing an item sends the user back to the top of the form.
        connect(list, &QComboBox::activated, this, [this] { m_fields[0]->setFocus(Qt::OtherFocusReason); });
        auto* label = new QLabel(QString::fromUtf16(caption), this);
        label->setGeometry(twips(90, top, 2175, 330));
        m_labels[size_t(index)] = label;
        return list;
    };
    m_reloadList = combo(1515, Publishing::reloadItems(), u"Tiempo Actualización ", 4);
    m_galleryList = combo(1845, Publishing::galleryItems(), u"Galería de Imágenes ", 5);

    for (int i = 0; i < 6; ++i) {
        m_labels[size_t(i)]->setFont(captionFont);
        m_labels[size_t(i)]->setStyleSheet(colourStyle(kCaptionBack, kCaptionFore));
    }
    const auto button = [&](int index, const char16_t* caption, int left, int width) {
        auto* label = new QLabel(QString::fromUtf16(caption), this);
        label->setGeometry(twips(left, 2220, width, 330));
        label->setFont(buttonFont);
        label->setAlignment(Qt::AlignCenter);
        m_labels[size_t(index)] = label;
    };
    button(kAccept, u"ACEPTAR  ", 90, 2775);
    button(kCancel, u"CANCELAR  ", 2850, 1575);
    for (QLabel* label : m_labels) {
        label->setMouseTracking(true);
        label->installEventFilter(this);
    }
    setButtonColor(kAccept, Colors::Idle);
    setButtonColor(kCancel, Colors::Idle);
    setTabOrder(m_fields[0], m_fields[1]);
    setTabOrder(m_fields[1], m_fields[2]);
    setTabOrder(m_fields[2], m_fields[3]);
    setTabOrder(m_fields[3], m_reloadList);
    setTabOrder(m_reloadList, m_galleryList);
    prepare(false);
}

void FtpDialog::prepare(bool automatic) {
    setWindowTitle(automatic ? QStringLiteral("Pregonar  -  Sesión Automática")
                             : QStringLiteral("Pregonar  -  Iniciar Sesión"));
    m_rememberedBox = 1;
    m_rememberedButton = kCancel;
    setButtonColor(kAccept, Colors::Idle);
    setButtonColor(kCancel, Colors::Idle);
    setBusy(false);
    m_fields[0]->setFocus(Qt::OtherFocusReason);
}

QString FtpDialog::hintFor(int index) {
    switch (index) {
    case 0:
        return QStringLiteral("EJEMPLO:  ftp.miweb.com.ar");
    case 1:
        return QStringLiteral("Cuenta o nombre de usuario");
    case 2:
        return QStringLiteral("Contraseña de acceso");
    case 3:
        return QStringLiteral("EJEMPLO:  casa  ( www.miweb.com.ar/casa )");
    default:
        return {};
    }
}

void FtpDialog::setAccount(const UploadAccount& account) {
    m_fields[0]->setText(account.server);
    m_fields[1]->setText(account.user);
    m_fields[2]->setText(account.password);
    m_fields[3]->setText(account.pageName);
    m_reloadList->setCurrentIndex(account.reloadIndex);
    m_galleryList->setCurrentIndex(account.galleryIndex);
}

UploadAccount FtpDialog::account() const {
    return {m_fields[0]->text(), m_fields[1]->text(),          m_fields[2]->text(),
            m_fields[3]->text(), m_reloadList->currentIndex(), m_galleryList->currentIndex()};
}

void FtpDialog::setBusy(bool busy) {
    m_busy = busy;
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void FtpDialog::setButtonColor(int index, Bgr color) {
    m_buttonColor[size_t(index - kAccept)] = color;
    m_labels[size_t(index)]->setStyleSheet(colourStyle(color, kBlack));
}

// ---------------------------------------------------------------- focus and keys

void FtpDialog::fieldFocused(int index) {
    QLineEdit* box = m_fields[size_t(index)];
    if (index != m_rememberedBox) {
        box->selectAll();
        // A click goes on to place the cursor after the focus has arrived; select again after it.
        QTimer::singleShot(0, box, [box] {
            if (box->hasFocus())
                box->selectAll();
        });
    }
    m_rememberedBox = index;
    emit hint(hintFor(index));
}

bool FtpDialog::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 4; ++i) {
        if (watched != m_fields[size_t(i)])
            continue;
        switch (event->type()) {
        case QEvent::FocusIn:
            fieldFocused(i);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_fields[size_t((i + 1) % 4)]->setFocus(Qt::TabFocusReason);
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            restHover();
            break;
        default:
            break;
        }
        return QDialog::eventFilter(watched, event);
    }
    for (int i = 0; i < 8; ++i) {
        if (watched != m_labels[size_t(i)])
            continue;
        // Taken here: a label ignores the mouse, and the window behind it would reset the hover.
        const auto* mouse =
            event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
                ? static_cast<QMouseEvent*>(event)
                : nullptr;
        switch (event->type()) {
        case QEvent::MouseMove:
            labelHovered(i);
            return true;
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton)
                labelPressed(i);
            return true;
        case QEvent::MouseButtonRelease:
            if (mouse->button() == Qt::LeftButton) {
                labelReleased(i);
                if (m_labels[size_t(i)]->rect().contains(mouse->position().toPoint()))
                    labelClicked(i);
            }
            return true;
        default:
            break;
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the two button labels

void FtpDialog::mouseMoveEvent(QMouseEvent* event) {
    restHover();
    QDialog::mouseMoveEvent(event);
}

void FtpDialog::labelHovered(int index) {
    if (index < kAccept) {
        restHover();
        return;
    }
    if (m_rememberedButton == index) {
        if (buttonColor(index) == Colors::Idle)
            setButtonColor(index, Colors::Hover);
    } else {
        // The first move over a new button only puts the old one back.
        setButtonColor(m_rememberedButton, Colors::Idle);
    }
    m_rememberedButton = index;
}

void FtpDialog::labelPressed(int index) {
    if (index >= kAccept)
        setButtonColor(index, Colors::Pressed);
}

void FtpDialog::labelReleased(int index) {
    if (index >= kAccept)
        setButtonColor(index, Colors::Idle);
}

void FtpDialog::labelClicked(int index) {
    if (index == kAccept && !m_busy)
        emit acceptClicked();
    else if (index == kCancel)
        reject();
}

void FtpDialog::restHover() {
    if (buttonColor(m_rememberedButton) == Colors::Hover)
        setButtonColor(m_rememberedButton, Colors::Idle);
    fieldFocused(m_rememberedBox);
}
