// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "fakes/PanelFixture.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {
// The TLS test server takes uploads only in its sub-folder "up/", where a page name cannot point:
// the real client gets the prefix on the way to the server.
class IntoUploadFolder final : public FtpClient {
public:
    IntoUploadFolder(std::unique_ptr<FtpClient> inner, QString prefix)
        : inner_(std::move(inner))
        , prefix_(std::move(prefix)) {
        connect(inner_.get(), &FtpClient::loggedIn, this, &FtpClient::loggedIn);
        connect(inner_.get(), &FtpClient::uploaded, this,
                [this](const QString& remote, bool ok, const QString& e) {
                    emit uploaded(remote.mid(prefix_.size()), ok, e);
                });
    }
    bool connectToServer(const QString& server, const QString& user, const QString& password) override {
        return inner_->connectToServer(server, user, password);
    }
    void upload(const QString& local, const QString& remote) override {
        inner_->upload(local, prefix_ + remote);
    }
    void disconnectFromServer() override { inner_->disconnectFromServer(); }
    int pendingUploads() const override { return inner_->pendingUploads(); }
    bool trustNewKey() override { return inner_->trustNewKey(); }

private:
    std::unique_ptr<FtpClient> inner_;
    QString prefix_;
};
} // namespace

// The panel logging in with the real client: the account as the owner typed it, and the owner's
// say when a server's TLS key has changed.
class TestPublishLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f_;
    QString prefix_;

    ControlPanel& panel() { return *f_->panel; }
    bool publishing() { return panel().publishTimer().isActive(); }

    // Button 5 (the dialog), the account typed in, ACEPTAR; true once `answers` logins have ended.
    bool accept(const FtpTestServer& server, const QString& password, int answers = 1) {
        if (!panel().ftpDialog() || !panel().ftpDialog()->isVisible())
            panel().clickButton(ControlPanel::Publish);
        FtpDialog* dialog = panel().ftpDialog();
        prefix_ = server.remotePrefix();
        dialog->field(0)->setText(server.address());
        dialog->field(1)->setText(server.user());
        dialog->field(2)->setText(password);
        dialog->field(3)->setText(QStringLiteral("casa"));
        dialog->labelClicked(FtpDialog::kAccept);
        if (!panel().ftpClient())
            return false;
        QSignalSpy answered(panel().ftpClient(), &FtpClient::loggedIn);
        while (answered.size() < answers) {
            if (!answered.wait(10'000))
                return false;
        }
        return true;
    }

    static bool started(FtpTestServer& server) {
        QString error;
        if (!server.start(&error))
            qWarning("FTP server: %s", qPrintable(error));
        return error.isEmpty();
    }

private slots:
    void init() {
        f_ = std::make_unique<PanelFixture>([this]() -> std::unique_ptr<FtpClient> {
            return std::make_unique<IntoUploadFolder>(
                std::make_unique<CurlFtpClient>(f_->path(QStringLiteral("Pregonar.TLS"))), prefix_);
        });
    }
    void cleanup() {
        f_.reset();
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    void passwordGoesAsTyped() {
        FtpTestServerOptions options;
        options.password = QStringLiteral("contraseña "); // read by the server as Windows-1252
        options.windows1252 = true;
        FtpTestServer server(FtpTestServer::Kind::Plain, options);
        QVERIFY(started(server));
        QVERIFY(accept(server, options.password));
        QVERIFY(publishing());
    }

    void changedKeyRefusedUntilTrusted() {
        auto first = std::make_unique<FtpTestServer>(FtpTestServer::Kind::Tls);
        QVERIFY(started(*first));
        QVERIFY(accept(*first, first->password()));
        QVERIFY(publishing());
        panel().clickButton(ControlPanel::Publish); // off
        QVERIFY(!publishing());
        QVERIFY(QFile::exists(f_->path(QStringLiteral("Pregonar.TLS"))));
        const qsizetype messages = f_->dialogs.messages.size();

        FtpTestServerOptions samePort;
        samePort.port = first->port();
        first.reset();
        FtpTestServer second(FtpTestServer::Kind::Tls, samePort);
        QVERIFY(started(second));
        // Refused, with the reason and the new key's fingerprint; "No" keeps it refused.
        QVERIFY(accept(second, second.password()));
        QCOMPARE(f_->dialogs.questions.size(), 1);
        const QString text = f_->dialogs.questions.last().text;
        QVERIFY2(text.contains(QStringLiteral("SHA256:")) &&
                     text.endsWith(QStringLiteral("¿Confiar en la nueva clave?")),
                 qPrintable(text));
        QCOMPARE(f_->dialogs.questions.last().title, QStringLiteral("Pregonar - Conexión FTP"));
        QVERIFY(!publishing());
        QVERIFY(panel().ftpDialog()->isVisible());
        QCOMPARE(f_->dialogs.messages.size(), messages);
        // "Sí": trusted, and the login goes through at once.
        f_->dialogs.nextAnswers = {true};
        QVERIFY(accept(second, second.password(), 2));
        QCOMPARE(f_->dialogs.questions.size(), 2);
        QVERIFY(publishing());
        QVERIFY(!panel().ftpDialog()->isVisible());
    }
};

QTEST_MAIN(TestPublishLogin)
#include "TestPublishLogin.moc"
