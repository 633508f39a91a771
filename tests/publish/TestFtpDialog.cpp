// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "fakes/PanelFixture.h"
#include "platform/FtpClient.h"
#include "publish/FtpDialog.h"
#include "publish/Publishing.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

namespace {

// Counts connection attempts; never answers (the dialog's wiring is all these tests look at).
class SilentFtp : public FtpClient {
public:
    int* attempts;
    explicit SilentFtp(int* counter)
        : attempts(counter) {}
    bool connectToServer(const QString&, const QString&, const QString&) override {
        return ++*attempts, true;
    }
    void upload(const QString&, const QString&) override {}
    void disconnectFromServer() override {}
    int pendingUploads() const override { return 0; }
};

void send(QWidget* target, QEvent::Type type) {
    const QPointF at(2, 2);
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestFtpDialog : public QObject {
    Q_OBJECT

    int attempts_ = 0;
    std::unique_ptr<PanelFixture> f_;

    FtpDialog* open() {
        f_->panel->clickButton(ControlPanel::Publish);
        FtpDialog* dialog = f_->panel->ftpDialog();
        if (dialog) {
            dialog->activateWindow();
            if (!QTest::qWaitForWindowActive(dialog))
                qWarning("the dialog did not become active");
        }
        return dialog;
    }
    void type(FtpDialog* dialog, const QStringList& fields, int reload = 0, int gallery = 0) {
        for (int i = 0; i < 4; ++i)
            dialog->field(i)->setText(fields.value(i));
        dialog->reloadList()->setCurrentIndex(reload);
        dialog->galleryList()->setCurrentIndex(gallery);
    }
    static void click(QWidget* label) {
        send(label, QEvent::MouseButtonPress);
        send(label, QEvent::MouseButtonRelease);
    }

private slots:
    void init() {
        attempts_ = 0;
        f_ = std::make_unique<PanelFixture>([this] { return std::make_unique<SilentFtp>(&attempts_); });
    }
    void cleanup() { f_.reset(); }

    void captionFollowsMode_data() {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("caption");
        QTest::addRow("manual") << false << "Pregonar  -  Iniciar Sesión";
        QTest::addRow("automatic") << true << "Pregonar  -  Sesión Automática";
    }
    void captionFollowsMode() {
        QFETCH(bool, automatic);
        QFETCH(QString, caption);
        if (automatic)
            f_->panel->autoSessionTimer().start();
        FtpDialog* dialog = open();
        QVERIFY(dialog && dialog->isVisible() && dialog->isModal());
        QCOMPARE(dialog->windowTitle(), caption);
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog->label(FtpDialog::kAccept)->text(), QStringLiteral("ACEPTAR  "));
        QCOMPARE(dialog->label(FtpDialog::kCancel)->text(), QStringLiteral("CANCELAR  "));
    }

    void everyCloseStopsAutomaticSession_data() {
        QTest::addColumn<QString>("how");
        QTest::addRow("CANCELAR") << "cancelar";
        QTest::addRow("Esc") << "escape";
        QTest::addRow("window closed") << "close";
    }
    void everyCloseStopsAutomaticSession() {
        QFETCH(QString, how);
        f_->panel->autoSessionTimer().start();
        FtpDialog* dialog = open();
        if (how == QLatin1String("cancelar"))
            click(dialog->label(FtpDialog::kCancel));
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog->field(0), Qt::Key_Escape);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!f_->panel->autoSessionTimer().isActive());
        QCOMPARE(attempts_, 0);
    }

    void boxes_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("masked");
        QTest::addColumn<QString>("hint");
        QTest::addRow("server") << 0 << 48 << false << "EJEMPLO:  ftp.miweb.com.ar";
        QTest::addRow("user") << 1 << 24 << true << "Cuenta o nombre de usuario";
        QTest::addRow("password") << 2 << 24 << true << "Contraseña de acceso";
        QTest::addRow("page") << 3 << 24 << false << "EJEMPLO:  casa  ( www.miweb.com.ar/casa )";
    }
    void boxes() {
        QFETCH(int, box);
        QFETCH(int, maxLength);
        QFETCH(bool, masked);
        QFETCH(QString, hint);
        FtpDialog* dialog = open();
        QLineEdit* text = dialog->field(box);
        QCOMPARE(text->maxLength(), maxLength);
        QCOMPARE(text->echoMode() == QLineEdit::Password, masked);
        text->setText(QStringLiteral("secreto"));

        // Enter in the box before moves the focus here and selects the whole text.
        dialog->field((box + 3) % 4)->setFocus();
        QTRY_VERIFY(dialog->field((box + 3) % 4)->hasFocus());
        QTest::keyClick(dialog->field((box + 3) % 4), Qt::Key_Return);
        QTRY_VERIFY(text->hasFocus());
        QCOMPARE(text->selectedText(), QStringLiteral("secreto"));
        QCOMPARE(f_->panel->hintLabel()->text(), hint);
        QVERIFY(f_->panel->hintLabel()->styleSheet().contains(QStringLiteral("#ff0000")));
        QTest::keyClick(text, Qt::Key_Enter);
        QTRY_VERIFY(dialog->field((box + 1) % 4)->hasFocus());
        QVERIFY(dialog->isVisible()); // Enter never accepts the dialog

        // The pointer over the window puts the hint of the remembered box back.
        f_->panel->hintLabel()->setText(QString());
        send(dialog, QEvent::MouseMove);
        QCOMPARE(f_->panel->hintLabel()->text(), FtpDialog::hint((box + 1) % 4));
    }

    void combosSendFocusToServerBox() {
        FtpDialog* dialog = open();
        QCOMPARE(dialog->reloadList()->count(), 13);
        QCOMPARE(dialog->reloadList()->itemText(12), QStringLiteral("60 Segundos"));
        QCOMPARE(dialog->galleryList()->itemText(0), QStringLiteral("DESACTIVADO"));
        QCOMPARE(dialog->galleryList()->itemText(12), QStringLiteral("200 Fotos"));
        for (QComboBox* list : {dialog->reloadList(), dialog->galleryList()}) {
            dialog->field(2)->setFocus();
            QTRY_VERIFY(dialog->field(2)->hasFocus());
            emit list->activated(3);
            QTRY_VERIFY(dialog->field(0)->hasFocus());
        }
    }

    void hoverNeedsTwoMovesOverANewButton() {
        FtpDialog* dialog = open();
        QLabel* aceptar = dialog->label(FtpDialog::kAccept);
        QLabel* cancelar = dialog->label(FtpDialog::kCancel);
        const auto colours = [&] { return QList<Bgr>{dialog->buttonColor(6), dialog->buttonColor(7)}; };
        send(aceptar, QEvent::MouseMove);
        QCOMPARE(colours(), (QList<Bgr>{Colors::Idle, Colors::Idle}));
        send(aceptar, QEvent::MouseMove);
        QCOMPARE(colours(), (QList<Bgr>{Colors::Hover, Colors::Idle}));
        send(cancelar, QEvent::MouseMove); // only clears ACEPTAR
        QCOMPARE(colours(), (QList<Bgr>{Colors::Idle, Colors::Idle}));
        send(cancelar, QEvent::MouseMove);
        QCOMPARE(colours(), (QList<Bgr>{Colors::Idle, Colors::Hover}));
        send(dialog->field(1), QEvent::MouseMove); // a text box resets the hover
        QCOMPARE(colours(), (QList<Bgr>{Colors::Idle, Colors::Idle}));
        send(cancelar, QEvent::MouseMove);
        QCOMPARE(colours(), (QList<Bgr>{Colors::Idle, Colors::Hover}));
        send(cancelar, QEvent::MouseButtonPress);
        QCOMPARE(dialog->buttonColor(7), Colors::Pressed);
        send(dialog->label(4), QEvent::MouseMove); // resets the hover colour only
        QCOMPARE(dialog->buttonColor(7), Colors::Pressed);
        QVERIFY(dialog->isVisible());
    }

    // ACEPTAR refuses what could not be stored or would name a file outside the folders, before
    // storing anything or trying the server; the automatic session ends quietly instead.
    void refusesWhatCannotBeUsed_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("message"); // a part of it; empty: accepted
        const QString page = QStringLiteral("\"Archivo HTML\"");
        QTest::addRow("unstorable character") << "clave\u0142"
                                              << "casa" << false << "\"Contraseña\"";
        QTest::addRow("empty page") << "clave"
                                    << "" << false << page;
        QTest::addRow("blank page") << "clave"
                                    << "   " << false << page;
        QTest::addRow("slash") << "clave"
                               << "web/casa" << false << page;
        QTest::addRow("backslash") << "clave"
                                   << "web\\casa" << false << page;
        QTest::addRow("dot dot") << "clave"
                                 << "..casa" << false << page;
        QTest::addRow("control character") << "clave"
                                           << "ca\tsa" << false << page;
        QTest::addRow("empty page, automatic") << "clave"
                                               << "" << true << "";
        QTest::addRow("a plain name") << "clave"
                                      << " mi casa.v2 " << false << "";
    }
    void refusesWhatCannotBeUsed() {
        QFETCH(QString, password);
        QFETCH(QString, page);
        QFETCH(bool, automatic);
        QFETCH(QString, message);
        if (automatic)
            f_->panel->autoSessionTimer().start();
        FtpDialog* dialog = open();
        type(dialog, {"ftp.tienda.com", "pedro", password, page});
        const qsizetype before = f_->dialogs.messages.size();
        if (automatic)
            f_->panel->retryPublishing();
        else
            click(dialog->label(FtpDialog::kAccept));
        const bool accepted = !automatic && message.isEmpty();
        QCOMPARE(attempts_, accepted ? 1 : 0);
        QCOMPARE(SettingsFile(f_->panel->settingsPath()).read(5) == SettingsRecord{}, !accepted);
        QCOMPARE(dialog->isVisible(), !automatic);
        QVERIFY(!f_->panel->autoSessionTimer().isActive());
        QCOMPARE(f_->dialogs.messages.size(), before + (message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) {
            const RecordingDialogs::Message& shown = f_->dialogs.messages.last();
            QCOMPARE(shown.title, QStringLiteral("Pregonar - Conexión FTP"));
            QCOMPARE(shown.icon, Dialogs::Icon::Warning);
            QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
        }
    }

    void recordsAsStoredAndReadBack() {
        FtpDialog* dialog = open();
        // The records are written before the connection is tried (this client never answers).
        type(dialog, {"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa"}, 3, 1);
        click(dialog->label(FtpDialog::kAccept));
        QCOMPARE(attempts_, 1);
        QFile file(f_->panel->settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto slot = [&](int n, int length) { return bytes.mid((n - 1) * 42, length); };
        const auto str = [](const QByteArray& s) {
            return QByteArray("\x08\x00", 2) + char(s.size()) + '\0' + s;
        };
        QCOMPARE(slot(2, 32), str("ftp.tiendade") + str("lbarrio.com."));
        QCOMPARE(slot(3, 10), str("ar") + str(""));
        QCOMPARE(slot(4, 13), str("pedro") + str(""));
        // 8 characters: VarA empty, VarB positions 5, 2, 7, 1, 4, 6, 3, 8.
        QCOMPARE(slot(5, 16), str("") + str("ebgadfch"));
        QCOMPARE(slot(6, 8 + 4 + 2 + 4 + 4),
                 str("casa") + str("") + QByteArray(2 + 4, '\0') + QByteArray("\x03\x00\x01\x00", 4));

        dialog->close();
        dialog = open();
        QCOMPARE(dialog->account(),
                 (UploadAccount{"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa", 3, 1}));
    }
};

QTEST_MAIN(TestFtpDialog)
#include "TestFtpDialog.moc"
