// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/RecordingDesktop.h"
#include "platform/FtpClient.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Counts logins and answers only when the test emits its signals.
class HandFtp : public FtpClient {
public:
    int attempts = 0;
    bool connectToServer(const QString&, const QString&, const QString&) override { return ++attempts, true; }
    void upload(const QString&, const QString&) override {}
    void disconnectFromServer() override {}
    int pendingUploads() const override { return 0; }
    bool trustNewKey() override { return true; }
};

void send(QWidget* target, QEvent::Type type) {
    const QPointF at(2, 2);
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void click(QWidget* label) {
    send(label, QEvent::MouseButtonPress);
    send(label, QEvent::MouseButtonRelease);
}

} // namespace

// The FTP dialog as the publisher shows it.
class TestFtpDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QWidget> window_;
    RecordingDialogs dialogs_;
    HandFtp* client_ = nullptr;
    std::unique_ptr<Publisher> publisher_;
    QString hint_;

    FtpDialog* open() {
        publisher_->toggle();
        FtpDialog* dialog = publisher_->dialog();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog did not become active");
        return dialog;
    }
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        window_ = std::make_unique<QWidget>();
        window_->show();
        dialogs_ = {};
        publisher_ = std::make_unique<Publisher>(window_.get(), dir_->path(), &dialogs_, [this] {
            auto client = std::make_unique<HandFtp>();
            client_ = client.get();
            return client;
        });
        connect(publisher_.get(), &Publisher::hint, this, [this](const QString& text) { hint_ = text; });
    }
    void cleanup() {
        publisher_.reset();
        window_.reset();
    }

    void everyCloseEndsAutomaticSession_data() {
        QTest::addColumn<int>("how");
        QTest::addRow("CANCELAR") << 0;
        QTest::addRow("Esc") << 1;
        QTest::addRow("window closed") << 2;
    }
    void everyCloseEndsAutomaticSession() {
        QFETCH(int, how);
        open()->setAccount({"ftp.tienda.com", "pedro", "clave", "casa", 0, 0});
        click(publisher_->dialog()->label(FtpDialog::kAccept)); // logged in, then an upload fails
        emit client_->loggedIn(true, {}, FtpClient::LoginFailure::None);
        emit client_->uploaded(QStringLiteral("casa.html"), false, QStringLiteral("421 Timeout."));
        FtpDialog* dialog = publisher_->dialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pregonar  -  Sesión Automática"));
        QVERIFY(publisher_->session().retryTimer().isActive());
        if (how == 0)
            click(dialog->label(FtpDialog::kCancel));
        else if (how == 1)
            QTest::keyClick(dialog->field(0), Qt::Key_Escape);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!publisher_->session().retryTimer().isActive());
        QCOMPARE(publisher_->session().state(), PublishingSession::State::Off);
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
        QLineEdit* before = dialog->field((box + 3) % 4);
        before->setFocus();
        QTRY_VERIFY(before->hasFocus());
        QTest::keyClick(before, Qt::Key_Return);
        QTRY_VERIFY(text->hasFocus());
        QCOMPARE(text->selectedText(), QStringLiteral("secreto"));
        QCOMPARE(hint_, hint);
        QTest::keyClick(text, Qt::Key_Enter);
        QTRY_VERIFY(dialog->field((box + 1) % 4)->hasFocus());
        QVERIFY(dialog->isVisible()); // Enter never accepts
        QCOMPARE(client_->attempts, 0);
        // The pointer over the window puts the hint of the remembered box back.
        hint_.clear();
        send(dialog, QEvent::MouseMove);
        QCOMPARE(hint_, FtpDialog::hintFor((box + 1) % 4));
    }

    void listsSendFocusToServerBox() {
        FtpDialog* dialog = open();
        for (QComboBox* list : {dialog->reloadList(), dialog->galleryList()}) {
            dialog->field(2)->setFocus();
            QTRY_VERIFY(dialog->field(2)->hasFocus());
            emit list->activated(3);
            QTRY_VERIFY(dialog->field(0)->hasFocus());
        }
    }

    void hoverNeedsTwoMovesOverANewButton() {
        FtpDialog* dialog = open();
        QVERIFY(dialog->isModal() && (dialog->windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pregonar  -  Iniciar Sesión"));
        QLabel* cancelar = dialog->label(FtpDialog::kCancel);
        const auto after = [&](QWidget* over, QEvent::Type type = QEvent::MouseMove) {
            send(over, type);
            return QList<Bgr>{dialog->buttonColor(FtpDialog::kAccept),
                              dialog->buttonColor(FtpDialog::kCancel)};
        };
        using L = QList<Bgr>;
        QCOMPARE(after(dialog->label(FtpDialog::kAccept)), (L{Colors::Idle, Colors::Idle}));
        QCOMPARE(after(dialog->label(FtpDialog::kAccept)), (L{Colors::Hover, Colors::Idle}));
        QCOMPARE(after(cancelar), (L{Colors::Idle, Colors::Idle})); // only clears ACEPTAR
        QCOMPARE(after(cancelar), (L{Colors::Idle, Colors::Hover}));
        QCOMPARE(after(dialog->field(1)), (L{Colors::Idle, Colors::Idle})); // a text box resets the hover
        QCOMPARE(after(cancelar), (L{Colors::Idle, Colors::Hover}));
        QCOMPARE(after(cancelar, QEvent::MouseButtonPress), (L{Colors::Idle, Colors::Pressed}));
        QCOMPARE(after(dialog->label(4)), (L{Colors::Idle, Colors::Pressed})); // resets the hover colour only
        QVERIFY(dialog->isVisible());
    }

    // A refusal: one message, nothing stored, no login. Records 2 to 6 are written before the login
    // is tried, and fill the dialog the next time. A changed key is asked about.
    void recordsAsStoredAndReadBack() {
        FtpDialog* dialog = open();
        dialog->setAccount({"ftp.tienda.com", "pedro", "clave", "web/casa", 0, 0});
        click(dialog->label(FtpDialog::kAccept));
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages.last().title, QStringLiteral("Pregonar - Conexión FTP"));
        QCOMPARE(dialogs_.messages.last().icon, Dialogs::Icon::Warning);
        QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("Pregonar.DAT"))));
        QVERIFY(dialog->isVisible());
        dialog->setAccount({"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa", 3, 1});
        click(dialog->label(FtpDialog::kAccept));
        QCOMPARE(client_->attempts, 1);
        QVERIFY(dialog->isBusy());
        QFile file(dir_->filePath(QStringLiteral("Pregonar.DAT")));
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
        QCOMPARE(slot(6, 22),
                 str("casa") + str("") + QByteArray(6, '\0') + QByteArray("\x03\x00\x01\x00", 4));
        QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("casa-gi.html")))); // the pages, too

        dialogs_.nextAnswers = {true};
        emit client_->loggedIn(false, QStringLiteral("SHA256:x"), FtpClient::LoginFailure::KeyChanged);
        QCOMPARE(dialogs_.questions.size(), 1);
        QCOMPARE(client_->attempts, 2); // trusted, and asked again
        dialog->close();
        QVERIFY(!dialog->isBusy()); // closed while the server was asked
        dialog->setAccount({});
        dialog = open();
        QCOMPARE(dialog->account(),
                 (UploadAccount{"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa", 3, 1}));
    }
};

QTEST_MAIN(TestFtpDialog)
#include "TestFtpDialog.moc"
