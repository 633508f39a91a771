// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Colors.h"
#include "settings/UploadSettings.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

// The FTP dialog: the account, the page name, the reload time and the gallery size. ACEPTAR asks
// for a login (acceptClicked); publishing closes the dialog once the server has let it in.
class FtpDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAccept = 6;
    static constexpr int kCancel = 7;

    explicit FtpDialog(QWidget* parent);

    // The Load step, run before every showing: the caption for the mode (manual or automatic
    // session) and the design state of the remembered box and button.
    void prepare(bool automatic);

    // The fields from records 2 to 6.
    void setAccount(const UploadAccount& account);
    // The fields as typed (not trimmed), as records 2 to 6 store them.
    UploadAccount account() const;

    // While publishing waits for the server: busy cursor, ACEPTAR ignored.
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }

    QLineEdit* field(int index) const { return m_fields[size_t(index)]; }
    QLabel* label(int index) const { return m_labels[size_t(index)]; }
    QComboBox* reloadList() const { return m_reloadList; }
    QComboBox* galleryList() const { return m_galleryList; }
    Bgr buttonColor(int index) const { return m_buttonColor[size_t(index - kAccept)]; }
    int rememberedBox() const { return m_rememberedBox; }
    int rememberedButton() const { return m_rememberedButton; }

    // The hint the panel shows while text box `index` has the focus.
    static QString hintFor(int index);

    // The event handlers, by their names in the program.
    void fieldFocused(int index);
    void labelHovered(int index);
    void labelPressed(int index);
    void labelReleased(int index);
    void labelClicked(int index);
    void restHover();

signals:
    void acceptClicked();
    // A text box has the focus: the panel's hint line shows this, in red.
    void hint(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setButtonColor(int index, Bgr color);

    std::array<QLineEdit*, 4> m_fields{};
    std::array<QLabel*, 8> m_labels{};
    QComboBox* m_reloadList = nullptr;
    QComboBox* m_galleryList = nullptr;
    std::array<Bgr, 2> m_buttonColor{Colors::Idle, Colors::Idle};
    int m_rememberedBox = 1;    // the text box that last had the focus (design value 1)
    int m_rememberedButton = 7; // the button label last under the pointer (design value 7)
    bool m_busy = false;
};
