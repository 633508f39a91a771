// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "app/Colors.h"
#include "settings/UploadSettings.h"

#include <QDialog>

#include <array>

class Form1;
class QComboBox;
class QLabel;
class QLineEdit;

// The FTP dialog: the account, the page name, the reload time and the gallery size. ACEPTAR hands
// over to the panel's GuardarDatosFTP, which closes the dialog once the server has let it in.
class Form2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAceptar = 6;
    static constexpr int kCancelar = 7;

    explicit Form2(Form1& panel);

    // The Load step, run before every showing: the caption for the mode (manual or automatic
    // session) and the design state of the remembered box and button.
    void Form_Load();

    // LoadUploadSettings: the fields from records 2 to 6.
    void setAccount(const UploadAccount& account);
    // The fields as typed (not trimmed), as records 2 to 6 store them.
    UploadAccount account() const;
    // The caption of the first text box whose text has characters the settings file cannot hold
    // (outside Windows-1252), and the first such character; empty when all can be stored.
    QString unstorableField(QString* character = nullptr) const;

    // While the panel waits for the server: busy cursor, ACEPTAR ignored.
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }

    QLineEdit* txtFTP(int index) const { return m_txtFTP[size_t(index)]; }
    QLabel* lblFTP(int index) const { return m_lblFTP[size_t(index)]; }
    QComboBox* cobReload() const { return m_cobReload; }
    QComboBox* cobGaleria() const { return m_cobGaleria; }
    Bgr buttonColor(int index) const { return m_buttonColor[size_t(index - kAceptar)]; }
    int rememberedBox() const { return m_rememberedBox; }
    int rememberedButton() const { return m_rememberedButton; }

    // The hint the panel shows while text box `index` has the focus.
    static QString hint(int index);

    // The event handlers, by their names in the program.
    void TxtFTP_GotFocus(int index);
    void LblFTP_MouseMove(int index);
    void LblFTP_MouseDown(int index);
    void LblFTP_MouseUp(int index);
    void LblFTP_Click(int index);
    void ResetHover();

protected:
    // Every way of closing ends here: a pending automatic accept must not happen after it.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setButtonColor(int index, Bgr color);

    Form1& m_panel;
    std::array<QLineEdit*, 4> m_txtFTP{};
    std::array<QLabel*, 8> m_lblFTP{};
    QComboBox* m_cobReload = nullptr;
    QComboBox* m_cobGaleria = nullptr;
    std::array<Bgr, 2> m_buttonColor{Colors::Idle, Colors::Idle};
    int m_rememberedBox = 1;    // the text box that last had the focus (design value 1)
    int m_rememberedButton = 7; // the button label last under the pointer (design value 7)
    bool m_busy = false;
};
