// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "capture/Capture.h"
#include "capture/SnapshotWriter.h"
#include "fakes/PanelFixture.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Publishing to real FTP servers on loopback, and the panel's side of it.
class TestPublisher : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f_;
    std::unique_ptr<FtpTestServer> server_;

    Publisher& publisher() { return f_->panel->publisher(); }
    QString remote(const QString& name) const { return server_->uploadDir() + u'/' + name; }
    bool started(const QString& permissions = QStringLiteral("elradfmwMT")) {
        server_ = std::make_unique<FtpTestServer>(FtpTestServer::Kind::Plain, 0, permissions);
        return server_->start();
    }
    // The globe button (unless the dialog is open), the account, ACEPTAR; true once the login ended.
    bool accept(const QString& password) {
        if (!publisher().dialog() || !publisher().dialog()->isVisible())
            f_->panel->clickButton(ControlPanel::Publish);
        publisher().dialog()->setAccount({server_->address(), server_->user(), password, "casa", 0, 1});
        QSignalSpy answered(&publisher().client(), &FtpClient::loggedIn);
        publisher().dialog()->labelClicked(FtpDialog::kAccept);
        return answered.wait(10'000);
    }
    // A new snapshot, as the camera leaves them.
    QByteArray snapshot(int n) {
        QDir(f_->dir.path()).mkpath(QStringLiteral("Fotos"));
        const QByteArray bytes(20'000 + n, char('a' + n));
        QFile file(f_->path(QStringLiteral("Fotos/Foto-%1.jpg").arg(n)));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the snapshot");
        file.close();
        emit f_->panel->capture().snapshotSaved(QStringLiteral("Fotos/Foto-%1.jpg").arg(n));
        return bytes;
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
    }
    void cleanup() {
        f_.reset();
        server_.reset();
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    // From the globe button to pictures on the server.
    void publishes() {
        QVERIFY(started());
        f_->panel->clickButton(ControlPanel::Publish);
        publisher().dialog()->fieldFocused(2);
        QCOMPARE(f_->panel->hintLabel()->text(), QStringLiteral("Contraseña de acceso"));
        QVERIFY(f_->panel->hintLabel()->styleSheet().contains(QStringLiteral("#ff0000")));
        QVERIFY(accept(server_->password()));
        PictureButton* globe = f_->panel->button(ControlPanel::Publish);
        QCOMPARE(globe->backColor(), Colors::On);
        f_->panel->hoverButton(ControlPanel::Publish);
        f_->panel->hoverButton(ControlPanel::Publish);
        QCOMPARE(f_->panel->hintLabel()->text(), QStringLiteral("Desconectar Servidor FTP"));
        QTRY_COMPARE(readAll(remote("casa-gi.html")), readAll(f_->path("casa-gi.html")));
        QCOMPARE(readAll(remote("casa.html")), readAll(f_->path("casa.html")));

        QByteArray picture = snapshot(1);
        QTRY_COMPARE(publisher().client().pendingUploads(), 0);
        publisher().session().tick(); // detection off: nothing
        QCOMPARE(publisher().client().pendingUploads(), 0);
        f_->panel->shop().setDetection(true);
        f_->panel->capture().tickTimer().stop(); // its ticks never come
        publisher().session().tick();
        QTRY_COMPARE(readAll(remote("casa-001.jpg")), picture);
        QCOMPARE(readAll(remote("casa.jpg")), picture);
        f_->restart(); // the gallery counter is kept with the panel's state
        QCOMPARE(publisher().uploadCounter(), 1);
        QVERIFY(!publisher().running());
        QCOMPARE(f_->panel->button(ControlPanel::Publish)->backColor(), Colors::Idle); // a new panel
    }

    // An account that may log in and read but not write: three refusals, then one message quoting
    // the server, and no more attempts.
    void readOnlyAccountStops() {
        QVERIFY(started(QStringLiteral("elr")));
        publisher().session().retryTimer().setInterval(100);
        QSignalSpy uploads(&publisher().client(), &FtpClient::uploaded);
        const qsizetype before = f_->dialogs.messages.size();
        QVERIFY(accept(server_->password()));
        QTRY_COMPARE_WITH_TIMEOUT(f_->dialogs.messages.size(), before + 1, 10'000);
        QCOMPARE(uploads.size(), 3);
        const QString reply = uploads.last().at(2).toString();
        QVERIFY2(!reply.isEmpty() && f_->dialogs.messages.last().text.contains(reply), qPrintable(reply));
        const int connections = server_->connectionsSeen();
        QTest::qWait(500); // five automatic attempts, had the session gone on
        QCOMPARE(server_->connectionsSeen(), connections);
        QCOMPARE(f_->dialogs.messages.size(), before + 1);
        QCOMPARE(f_->panel->button(ControlPanel::Publish)->backColor(), Colors::Idle);
    }
};

QTEST_MAIN(TestPublisher)
#include "TestPublisher.moc"
