// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "capture/Capture.h"
#include "fakes/PanelFixture.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString kTitle = QStringLiteral("Pregonar - Conexión FTP");

void send(QWidget* target, QEvent::Type type) {
    const QPointF at(2, 2);
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

// Publishing from the panel: the FTP dialog, and the whole way to real FTP servers on loopback.
class TestPublisher : public QObject {
    Q_OBJECT

    std::unique_ptr<FtpTestServer> server_;
    std::unique_ptr<PanelFixture> f_;

    Publisher& publisher() { return f_->panel->publisher(); }
    // The globe button, while not publishing.
    FtpDialog* open() {
        f_->panel->clickButton(ControlPanel::Publish);
        publisher().dialog()->activateWindow();
        return (void)QTest::qWaitForWindowActive(publisher().dialog()), publisher().dialog();
    }
    bool started(FtpTestServer::Kind kind = FtpTestServer::Kind::Plain, bool readOnly = false) {
        server_ = std::make_unique<FtpTestServer>(kind);
        return server_->start(0, readOnly);
    }
    UploadAccount serverAccount() const {
        return {server_->address(), server_->user(), server_->password(), "casa", 3, 1};
    }
    // The account in the dialog, then ACEPTAR; true once the login ended.
    bool accept(const UploadAccount& account) {
        open()->setAccount(account);
        QSignalSpy answered(&publisher().client(), &FtpClient::loggedIn);
        QTest::mouseClick(publisher().dialog()->label(FtpDialog::kAccept), Qt::LeftButton);
        return answered.wait(10'000);
    }
private slots:
    void init() {
        f_ = std::make_unique<PanelFixture>([](PanelFixture& f, PanelEnvironment& env) {
            env.ftpFactory = [&f] { // the real client, quick to give up
                auto client = std::make_unique<CurlFtpClient>(f.path(QStringLiteral("Pregonar.TLS")));
                client->setTimeouts({2s, 1s, 4'000ms, 100, 2s});
                return client;
            };
        });
        f_->dialogs.messages.clear(); // the first start's welcome
    }
    void cleanup() {
        f_.reset();
        server_.reset();
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    // Each box: its limits, Enter (either key) in the box before brings the focus and the hint (in
    // red) here and never accepts, the pointer over the window puts the remembered box's hint back,
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
        dialog->field((box + 3) % 4)->setFocus();
        QTest::keyClick(dialog->field((box + 3) % 4), box % 2 ? Qt::Key_Enter : Qt::Key_Return);
        QTRY_VERIFY(text->hasFocus());
        QCOMPARE(text->selectedText(), QStringLiteral("secreto"));
        QVERIFY(dialog->isVisible() && f_->dialogs.messages.isEmpty()); // Enter never accepts
        QTEST(f_->panel->hintLabel()->text(), "hint");
        QVERIFY(f_->panel->hintLabel()->styleSheet().contains(QStringLiteral("#ff0000")));
        f_->panel->hintLabel()->clear();
        send(dialog, QEvent::MouseMove);
        QTEST(f_->panel->hintLabel()->text(), "hint");
        emit(box % 2 ? dialog->reloadList() : dialog->galleryList())->activated(3); // from box 1, 2 or 3
        QTRY_VERIFY(dialog->field(0)->hasFocus());
    }

    void hoverNeedsTwoMovesOverANewButton() {
        FtpDialog* dialog = open();
        QVERIFY(dialog->isModal() && (dialog->windowFlags() & Qt::WindowStaysOnTopHint));
        // After each step (the pointer over label 6 ACEPTAR, 7 CANCELAR or 4, f: over a text box, p: a
        // press on CANCELAR), the colours of ACEPTAR and CANCELAR: Idle, Hover or Pressed. The first
        // move over a new button only clears the other's hover; a text box resets the hover; label 4,
        // only the hover colour.
        const auto code = [](Bgr c) {
            return c == Colors::Idle ? u'I' : c == Colors::Hover ? u'H' : c == Colors::Pressed ? u'P' : u'?';
        };
        for (const QString& step : QStringLiteral("6II 6HI 7II 7IH fII 7IH pIP 4IP").split(u' ')) {
            const int at = step[0] == u'p' ? FtpDialog::kCancel : step[0].digitValue();
            send(at < 0 ? static_cast<QWidget*>(dialog->field(1)) : dialog->label(at),
                 step[0] == u'p' ? QEvent::MouseButtonPress : QEvent::MouseMove);
            QCOMPARE(QString{code(dialog->buttonColor(6))} + code(dialog->buttonColor(7)), step.mid(1));
        }
        QVERIFY(dialog->isVisible());
    }

    // A changed key is asked about (answered no here; the session's tests follow a yes). The dialog is
    // busy while the server is asked.
    void newKeyAskedAbout() {
        QVERIFY(started(FtpTestServer::Kind::Tls));
        const QString known = f_->path(QStringLiteral("Pregonar.TLS"));
        QCOMPARE(writeFile(known, server_->address().toLatin1() + " sha256//AA==\n"), known);
        FtpDialog* dialog = open();
        dialog->setAccount(serverAccount());
        QTest::mouseClick(dialog->label(FtpDialog::kAccept), Qt::LeftButton);
        QVERIFY(dialog->isBusy());
        QTRY_COMPARE(f_->dialogs.questions.size(), 1);
        QVERIFY(f_->dialogs.questions[0].title == kTitle &&
                f_->dialogs.questions[0].text.contains(QStringLiteral("Huella de la nueva clave")));
        QVERIFY(dialog->isVisible() && !dialog->isBusy() && f_->dialogs.messages.isEmpty());
    }

    // From the globe button to pictures on the server. The account is stored (records 2 to 6, their
    // layout is the settings tests' business) with its pages, and fills the dialog of the next panel.
    void publishes() {
        QVERIFY(started() && accept(serverAccount()));
        QCOMPARE(f_->panel->button(ControlPanel::Publish)->colour(), Colors::On);
        f_->panel->hoverButton(ControlPanel::Publish);
        f_->panel->hoverButton(ControlPanel::Publish);
        QCOMPARE(f_->panel->hintLabel()->text(), QStringLiteral("Desconectar Servidor FTP"));
        const QString remote = server_->uploadDir() + u'/';
        QTRY_COMPARE(readFile(remote + "casa-gi.html"), readFile(f_->path("casa-gi.html")));
        QCOMPARE(readFile(remote + "casa.html"), readFile(f_->path("casa.html")));

        // A new snapshot, as the camera leaves them, relative to the working folder.
        const QByteArray picture(20'000, 'f');
        QVERIFY(!writeFile(f_->path(QStringLiteral("foto.jpg")), picture).isEmpty());
        emit f_->panel->capture().snapshotSaved(QStringLiteral("foto.jpg"));
        QTRY_COMPARE(publisher().client().pendingUploads(), 0);
        publisher().session().tick(); // detection off: nothing
        QCOMPARE(publisher().client().pendingUploads(), 0);
        f_->panel->shop().setDetection(true);
        f_->panel->capture().tickTimer().stop(); // its ticks never come
        publisher().session().tick();
        QTRY_COMPARE(readFile(remote + "casa-001.jpg"), picture);
        QCOMPARE(readFile(remote + "casa.jpg"), picture);
        f_->restart(); // the gallery counter is kept with the panel's state
        QCOMPARE(publisher().uploadCounter(), 1);
        QCOMPARE(f_->panel->button(ControlPanel::Publish)->colour(), Colors::Idle); // not publishing
        QCOMPARE(open()->account(), serverAccount());
    }

    // An account that may log in and read but not write. Each refusal brings the automatic session,
    // which every way of closing the dialog ends; left alone, it stops after three refusals with
    // one message quoting the server, and tries no more.
    void readOnlyAccount() {
        QVERIFY(started(FtpTestServer::Kind::Plain, true));
        QSignalSpy uploads(&publisher().client(), &FtpClient::uploaded);
        for (int how = 0; how < 4; ++how) { // CANCELAR, Esc, the window closed, left alone
            publisher().session().retryTimer().setInterval(how < 3 ? 60'000 : 100);
            QVERIFY(accept(serverAccount()));
            FtpDialog* dialog = publisher().dialog();
            QTRY_COMPARE(dialog->windowTitle(), QStringLiteral("Pregonar  -  Sesión Automática"));
            how == 0   ? QTest::mouseClick(dialog->label(FtpDialog::kCancel), Qt::LeftButton)
            : how == 1 ? QTest::keyClick(dialog->field(0), Qt::Key_Escape)
            : how == 2 ? (void)dialog->close()
                       : (void)QTest::qWaitFor([&] { return !f_->dialogs.messages.isEmpty(); }, 10'000);
            QVERIFY(!dialog->isVisible() && publisher().session().state() == PublishingSession::State::Off);
        }
        QCOMPARE(uploads.size(), 6); // one refusal in each of the first three, three in the last
        const QString reply = uploads.last().at(2).toString();
        QVERIFY2(!reply.isEmpty() && f_->dialogs.messages[0].text.contains(reply), qPrintable(reply));
        QVERIFY(f_->dialogs.messages[0].title == kTitle &&
                f_->dialogs.messages[0].icon == Dialogs::Icon::Warning);
        const int connections = server_->connectionsSeen();
        QTest::qWait(500); // five automatic attempts, had the session gone on
        QCOMPARE(server_->connectionsSeen(), connections);
        QCOMPARE(f_->dialogs.messages.size(), 1);
        QCOMPARE(f_->panel->button(ControlPanel::Publish)->colour(), Colors::Idle);
    }
};

QTEST_MAIN(TestPublisher)
#include "TestPublisher.moc"
