// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "fakes/RecordingDesktop.h"
#include "platform/FtpClient.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

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

// The FTP dialog as the publisher shows it.
class TestFtpDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QWidget window_;
    RecordingDialogs dialogs_;
    HandFtp* client_ = nullptr;
    std::unique_ptr<Publisher> publisher_;
    QString hint_;

    static void send(QWidget* target, QEvent::Type type) {
        const QPointF at(2, 2);
        QMouseEvent event(type, at, target->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static void click(QWidget* w) { send(w, QEvent::MouseButtonPress), send(w, QEvent::MouseButtonRelease); }

    FtpDialog* open() {
        publisher_->toggle();
        publisher_->dialog()->activateWindow();
        return (void)QTest::qWaitForWindowActive(publisher_->dialog()), publisher_->dialog();
    }
private slots:
    void initTestCase() { window_.show(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        dialogs_ = {};
        publisher_ = std::make_unique<Publisher>(&window_, dir_->path(), &dialogs_, [this] {
            return std::unique_ptr<FtpClient>(client_ = new HandFtp);
        });
        connect(publisher_.get(), &Publisher::hint, this, [this](const QString& text) { hint_ = text; });
    }
    void cleanup() { publisher_.reset(); }

    // Logged in, then an upload fails: the automatic session, which every way of closing ends.
    void everyCloseEndsAutomaticSession() {
        for (int how = 0; how < 3; ++how) { // CANCELAR, Esc, the window closed
            FtpDialog* dialog = open();
            dialog->setAccount({"ftp.tienda.com", "pedro", "clave", "casa", 0, 0});
            click(dialog->label(FtpDialog::kAccept));
            emit client_->loggedIn(true, {}, FtpClient::LoginFailure::None);
            emit client_->uploaded(QStringLiteral("casa.html"), false, QStringLiteral("421 Timeout."));
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Pregonar  -  Sesión Automática"));
            how == 0   ? click(dialog->label(FtpDialog::kCancel))
            : how == 1 ? QTest::keyClick(dialog->field(0), Qt::Key_Escape)
                       : (void)dialog->close();
            QVERIFY(!dialog->isVisible() && publisher_->session().state() == PublishingSession::State::Off);
        }
    }

    // Each box: its limits, Enter in the box before brings the focus and the hint here, Enter here
    // moves on (never accepting), the pointer over the window puts the remembered box's hint back,
    // and either list sends the focus to the server box.
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
        FtpDialog* dialog = open();
        QLineEdit* text = dialog->field(box);
        QTEST(text->maxLength(), "maxLength");
        QTEST(text->echoMode() == QLineEdit::Password, "masked");
        text->setText(QStringLiteral("secreto"));
        QLineEdit* before = dialog->field((box + 3) % 4);
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Return);
        QTRY_VERIFY(text->hasFocus());
        QCOMPARE(text->selectedText(), QStringLiteral("secreto"));
        QTEST(hint_, "hint");
        QTest::keyClick(text, Qt::Key_Enter);
        QTRY_VERIFY(dialog->field((box + 1) % 4)->hasFocus());
        QVERIFY(dialog->isVisible() && dialogs_.messages.isEmpty()); // Enter never accepts
        hint_.clear();
        send(dialog, QEvent::MouseMove);
        QCOMPARE(hint_, FtpDialog::hintFor((box + 1) % 4));
        emit(box % 2 ? dialog->reloadList() : dialog->galleryList())->activated(3); // from box 1, 2 or 3
        QTRY_VERIFY(dialog->field(0)->hasFocus());
    }

    void hoverNeedsTwoMovesOverANewButton() {
        FtpDialog* dialog = open();
        QVERIFY(dialog->isModal() && (dialog->windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pregonar  -  Iniciar Sesión"));
        // After each step (the pointer over label 6 ACEPTAR, 7 CANCELAR or 4, f: over a text box, p: a press
        // on CANCELAR), the colours of ACEPTAR and CANCELAR: Idle, Hover or Pressed. The first move over
        // a new button only clears the other's hover; a text box resets the hover; label 4, only the
        // hover colour.
        const auto bgr = [](QChar c) {
            return c == u'I' ? Colors::Idle : c == u'H' ? Colors::Hover : Colors::Pressed;
        };
        for (const QString& step : QStringLiteral("6II 6HI 7II 7IH fII 7IH pIP 4IP").split(u' ')) {
            const int at = step[0] == u'p' ? FtpDialog::kCancel : step[0].digitValue();
            send(at < 0 ? static_cast<QWidget*>(dialog->field(1)) : dialog->label(at),
                 step[0] == u'p' ? QEvent::MouseButtonPress : QEvent::MouseMove);
            QCOMPARE((QList<Bgr>{dialog->buttonColor(6), dialog->buttonColor(7)}),
                     (QList<Bgr>{bgr(step[1]), bgr(step[2])}));
        }
        QVERIFY(dialog->isVisible());
    }

    // A refusal: one message, nothing stored, no login. An accepted account is stored (records 2 to
    // 6, their layout is the settings tests' business) with its pages before the login is tried,
    // and fills the dialog the next time. A changed key is asked about.
    void recordsAsStoredAndReadBack() {
        FtpDialog* dialog = open();
        const QString file = dir_->filePath(QStringLiteral("Pregonar.DAT"));
        dialog->setAccount({"ftp.tienda.com", "pedro", "clave", "web/casa", 0, 0});
        click(dialog->label(FtpDialog::kAccept));
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY(dialogs_.messages.last().title == QStringLiteral("Pregonar - Conexión FTP") &&
                dialogs_.messages.last().icon == Dialogs::Icon::Warning);
        QVERIFY(!QFile::exists(file) && dialog->isVisible());
        const UploadAccount account{"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa", 3, 1};
        dialog->setAccount(account);
        click(dialog->label(FtpDialog::kAccept));
        QVERIFY(client_->attempts == 1 && dialog->isBusy());
        QVERIFY(QFile::exists(file) && QFile::exists(dir_->filePath(QStringLiteral("casa-gi.html"))));

        dialogs_.nextAnswers = {true};
        emit client_->loggedIn(false, QStringLiteral("SHA256:x"), FtpClient::LoginFailure::KeyChanged);
        QCOMPARE(dialogs_.questions.size(), 1);
        QCOMPARE(client_->attempts, 2); // trusted, and asked again
        dialog->close();
        QVERIFY(!dialog->isBusy()); // closed while the server was asked
        dialog->setAccount({});
        QCOMPARE(open()->account(), account);
    }
};

QTEST_MAIN(TestFtpDialog)
#include "TestFtpDialog.moc"
