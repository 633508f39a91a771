// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/PictureButton.h"
#include "capture/Capture.h"
#include "fakes/PanelFixture.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace std::chrono_literals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Short enough for a test to see a hung server given up, long enough for a loaded machine.
std::unique_ptr<FtpClient> quickClient() {
    auto client = std::make_unique<CurlFtpClient>();
    FtpTimeouts t;
    t.connect = 2s;
    t.serverResponse = 1s;
    t.wholeTransfer = 4s;
    t.lowSpeedTime = 2s;
    client->setTimeouts(t);
    return client;
}

// Logs in at once; each upload goes through ('+') or is refused ('-') as the script says, then
// goes through.
class ScriptedFtp : public FtpClient {
public:
    ScriptedFtp(QString script, int* uploads)
        : script_(std::move(script))
        , uploads_(uploads) {}
    bool connectToServer(const QString&, const QString&, const QString&) override {
        disconnectFromServer();
        later([this] { emit loggedIn(true, {}, LoginFailure::None); });
        return true;
    }
    void upload(const QString&, const QString& remote) override {
        ++pending_;
        later([this, remote] {
            --pending_;
            const bool ok = script_.mid((*uploads_)++, 1) != u'-';
            emit uploaded(remote, ok, ok ? QString() : QStringLiteral("553 Could not create file."));
        });
    }
    void disconnectFromServer() override {
        ++session_;
        pending_ = 0;
    }
    int pendingUploads() const override { return pending_; }

private:
    void later(std::function<void()> step) {
        QTimer::singleShot(0, this, [this, step, session = session_] {
            if (session == session_)
                step();
        });
    }
    QString script_;
    int* uploads_;
    int pending_ = 0;
    int session_ = 0;
};

} // namespace

// The panel publishing to a real FTP server on loopback.
class TestPanelPublish : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f_;
    std::unique_ptr<FtpTestServer> server_;
    std::unique_ptr<QSignalSpy> uploads_;
    int snapshots_ = 0;

    ControlPanel& panel() { return *f_->panel; }

    bool startServer(FtpTestServer::Kind kind) {
        server_ = std::make_unique<FtpTestServer>(kind);
        QString error;
        if (!server_->start(&error))
            qWarning("FTP server: %s", qPrintable(error));
        return error.isEmpty();
    }

    // Button 5, the account typed in, ACEPTAR; returns once the server has answered.
    bool accept(const QString& password, int reload, int gallery,
                const QString& page = QStringLiteral("casa")) {
        panel().clickButton(ControlPanel::Publish);
        FtpDialog* dialog = panel().ftpDialog();
        dialog->field(0)->setText(u' ' + server_->address() + u' '); // trimmed when used
        dialog->field(1)->setText(server_->user());
        dialog->field(2)->setText(password);
        dialog->field(3)->setText(page);
        dialog->reloadList()->setCurrentIndex(reload);
        dialog->galleryList()->setCurrentIndex(gallery);
        dialog->labelClicked(FtpDialog::kAccept);
        if (!dialog->isBusy()) // refused before any network traffic
            return false;
        QSignalSpy answered(panel().ftpClient(), &FtpClient::loggedIn);
        uploads_ = std::make_unique<QSignalSpy>(panel().ftpClient(), &FtpClient::uploaded);
        return answered.wait(10'000);
    }

    // A new snapshot in Fotos/, as the camera leaves them; returns its bytes.
    QByteArray snapshot() {
        QDir(f_->dir.path()).mkpath(QStringLiteral("Fotos"));
        const QString name = QStringLiteral("Fotos/Foto-%1.jpg").arg(++snapshots_);
        QByteArray bytes(20 * 1024 + snapshots_, '\0');
        QRandomGenerator(quint32(snapshots_))
            .fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QFile file(f_->path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the snapshot");
        panel().setSnapshotName(name);
        return bytes;
    }

    // One tick of the publishing timer; returns the remote names it uploaded (all of them must succeed).
    QStringList tick() {
        uploads_->clear();
        panel().publishTick();
        const int expected = panel().ftpClient()->pendingUploads();
        QElapsedTimer clock;
        clock.start();
        while (uploads_->size() < expected && clock.elapsed() < 10'000)
            uploads_->wait(200);
        QStringList names;
        for (const auto& arguments : *uploads_)
            names << (arguments.at(1).toBool() ? QString() : QStringLiteral("failed ")) +
                         arguments.at(0).toString();
        return names;
    }

    QString remote(const QString& name) const { return server_->uploadDir() + u'/' + name; }

    // The upload timer's own ticks would mix with the ones the test drives.
    void holdUploadTimer() { panel().publishTimer().start(3'600'000); }

    // Detection on, without its ticks.
    void detectionRunning() {
        panel().shop().setDetection(true);
        panel().capture().tickTimer().stop();
    }
    bool publishing() {
        return panel().publishTimer().isActive() && panel().button(ControlPanel::Publish)->appearance() == 1;
    }

private slots:
    void init() {
        f_ = std::make_unique<PanelFixture>(quickClient);
        snapshots_ = 0;
    }
    void cleanup() {
        uploads_.reset();
        f_.reset();
        server_.reset();
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    void acceptThenTicksPublish_data() {
        QTest::addColumn<int>("reload");
        QTest::addColumn<int>("gallery");
        QTest::addColumn<int>("interval");
        QTest::addRow("5 s, 10 Fotos") << 0 << 1 << 3000;
        QTest::addRow("40 s, DESACTIVADO") << 10 << 0 << 37000;
    }
    void acceptThenTicksPublish() {
        QFETCH(int, reload);
        QFETCH(int, gallery);
        QFETCH(int, interval);
        QVERIFY(startServer(FtpTestServer::Kind::Plain));
        QVERIFY(accept(server_->password(), reload, gallery));
        QVERIFY(!panel().ftpDialog()->isVisible());
        QVERIFY(publishing());
        QCOMPARE(panel().button(ControlPanel::Publish)->backColor(), Colors::On); // shows that it runs
        QCOMPARE(panel().publishTimer().interval(), interval);
        holdUploadTimer();
        const QString casa = QStringLiteral("casa");

        // The pages, as written into the working folder, arrive first.
        QTRY_COMPARE(uploads_->size(), gallery ? 2 : 1);
        QCOMPARE(readAll(remote("casa.html")), readAll(f_->path(casa + ".html")));
        QVERIFY(readAll(remote("casa.html")).contains("<!DOCTYPE html>"));
        QCOMPARE(QFile::exists(remote("casa-gi.html")), gallery > 0);

        // Detection off, or no snapshot yet: a tick publishes nothing.
        QCOMPARE(tick(), QStringList());
        detectionRunning(); // its own tick never comes
        QCOMPARE(tick(), QStringList());

        const QByteArray first = snapshot();
        const QStringList withGallery{casa + ".jpg", casa + "-001.jpg"};
        QCOMPARE(tick(), gallery ? withGallery : QStringList{casa + ".jpg"});
        QCOMPARE(readAll(remote("casa.jpg")), first);
        QCOMPARE(readAll(remote("casa-001.jpg")), gallery ? first : QByteArray());
        // The same snapshot again: live picture only.
        QCOMPARE(tick(), QStringList{casa + ".jpg"});
        QCOMPARE(panel().uploadCounter(), gallery ? 1 : 0);
        QVERIFY(publishing());
    }

    void galleryRotatesAndSurvivesRestart() {
        QVERIFY(startServer(FtpTestServer::Kind::Plain));
        QVERIFY(accept(server_->password(), 0, 1)); // 10 Fotos
        holdUploadTimer();
        QTRY_COMPARE(uploads_->size(), 2);
        detectionRunning();
        QList<QByteArray> sent;
        for (int i = 1; i <= 11; ++i) {
            sent << snapshot();
            QCOMPARE(tick().last(),
                     QStringLiteral("casa-%1.jpg").arg(i == 11 ? 1 : i, 3, 10, QLatin1Char('0')));
        }
        QCOMPARE(readAll(remote("casa-001.jpg")), sent[10]);
        QCOMPARE(readAll(remote("casa-002.jpg")), sent[1]);

        f_->restart(); // the counter is saved with the panel's state
        QCOMPARE(panel().uploadCounter(), 1);
        QVERIFY(accept(server_->password(), 0, 1));
        holdUploadTimer();
        QTRY_COMPARE(uploads_->size(), 2);
        detectionRunning();
        snapshot();
        QCOMPARE(tick().last(), QStringLiteral("casa-002.jpg"));
    }

    void refusedLoginKeepsDialogOpen_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("network");
        QTest::addRow("wrong password") << "otra" << true;
        QTest::addRow("empty password") << "" << false;
    }
    void refusedLoginKeepsDialogOpen() {
        QFETCH(QString, password);
        QFETCH(bool, network);
        QVERIFY(startServer(FtpTestServer::Kind::Plain));
        const qsizetype before = f_->dialogs.messages.size();
        QCOMPARE(accept(password, 0, 1), network);
        if (!network)
            QCOMPARE(CurlFtpClient::runningWorkers(), 0);
        QCOMPARE(f_->dialogs.messages.size(), before + 1);
        QCOMPARE(f_->dialogs.messages.last().title, QStringLiteral("Pregonar - Conexión FTP"));
        QCOMPARE(f_->dialogs.messages.last().text, QStringLiteral("Imposible conectarse al servidor."));
        QCOMPARE(f_->dialogs.messages.last().icon, Dialogs::Icon::Warning);
        QVERIFY(panel().ftpDialog()->isVisible());
        QVERIFY(!panel().ftpDialog()->isBusy());
        QVERIFY(!publishing());
        QVERIFY(!QFile::exists(remote("casa.html")));
    }

    // A failed upload restarts publishing through the automatic session, which keeps trying
    // until the server is back; a frozen server never holds up the GUI thread.
    void recoversFromServerFault_data() {
        QTest::addColumn<bool>("freeze");
        QTest::addRow("server stopped") << false;
        QTest::addRow("server frozen") << true;
    }
    void recoversFromServerFault() {
        QFETCH(bool, freeze);
        QVERIFY(startServer(FtpTestServer::Kind::Plain));
        QVERIFY(accept(server_->password(), 0, 1));
        holdUploadTimer();
        QTRY_COMPARE(uploads_->size(), 2);
        detectionRunning();
        panel().autoSessionTimer().setInterval(100);
        snapshot();
        QCOMPARE(tick().size(), 2);

        QElapsedTimer sinceTick;
        qint64 worstGap = 0;
        QTimer gui;
        gui.setTimerType(Qt::PreciseTimer);
        connect(&gui, &QTimer::timeout, this, [&] { worstGap = std::max(worstGap, sinceTick.restart()); });
        if (freeze)
            QVERIFY(server_->freeze());
        else
            server_->kill();
        const qsizetype messages = f_->dialogs.messages.size();
        QElapsedTimer clock;
        clock.start();
        sinceTick.start();
        gui.start(10);
        snapshot();
        panel().publishTick();
        QTRY_VERIFY_WITH_TIMEOUT(panel().autoSessionTimer().isActive(), 8'000);
        const qint64 failedAfter = clock.elapsed();
        gui.stop();
        QVERIFY(!publishing());
        QVERIFY(panel().ftpDialog()->isVisible());
        QCOMPARE(panel().ftpDialog()->windowTitle(), QStringLiteral("Pregonar  -  Sesión Automática"));
        QVERIFY2(failedAfter < 6'000, qPrintable(QString::number(failedAfter)));
        if (freeze)
            QVERIFY2(worstGap <= 20, qPrintable(QStringLiteral("worst gap %1 ms").arg(worstGap)));

        QTest::qWait(500); // several automatic attempts against the dead server
        QVERIFY(!publishing());
        QVERIFY(QFile::remove(remote("casa.html")));
        if (freeze)
            QVERIFY(server_->thaw());
        else
            QVERIFY(server_->start());
        QTRY_VERIFY_WITH_TIMEOUT(publishing(), 10'000);
        QVERIFY(!panel().ftpDialog()->isVisible());
        QVERIFY(!panel().autoSessionTimer().isActive());
        QCOMPARE(f_->dialogs.messages.size(), messages); // no message in automatic mode

        holdUploadTimer();
        QTRY_VERIFY(QFile::exists(remote("casa.html"))); // the pages again
        QTRY_COMPARE(panel().ftpClient()->pendingUploads(), 0);
        const QByteArray last = snapshot();
        QCOMPARE(tick().first(), QStringLiteral("casa.jpg"));
        QCOMPARE(readAll(remote("casa.jpg")), last);
    }

    // A refused file is tried again after a new login, but three refusals in a row, with no upload
    // going through between them, stop publishing with one message quoting the server.
    void refusalsInARowStopPublishing_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("uploads"); // when publishing stops
        QTest::addRow("three refusals") << "---" << 3;
        QTest::addRow("one goes through between") << "--+---" << 6;
    }
    void refusalsInARowStopPublishing() {
        QFETCH(QString, script);
        QFETCH(int, uploads);
        int done = 0;
        f_ = std::make_unique<PanelFixture>([&] { return std::make_unique<ScriptedFtp>(script, &done); });
        panel().autoSessionTimer().setInterval(10);
        detectionRunning();
        panel().setSnapshotName(QStringLiteral("Fotos/Foto-1.jpg"));
        panel().clickButton(ControlPanel::Publish);
        FtpDialog* dialog = panel().ftpDialog();
        for (int i = 0; i < 4; ++i)
            dialog->field(i)->setText(QStringList{"ftp.tienda.com", "pedro", "clave", "casa"}.at(i));
        dialog->galleryList()->setCurrentIndex(0);            // one page per login
        const qsizetype before = f_->dialogs.messages.size(); // the welcome of a first start
        dialog->labelClicked(FtpDialog::kAccept);
        QElapsedTimer clock;
        clock.start();
        while (f_->dialogs.messages.size() == before && clock.elapsed() < 5'000) {
            if (publishing() && panel().ftpClient()->pendingUploads() == 0)
                panel().publishTick();
            QTest::qWait(5);
        }
        QTest::qWait(100); // the automatic session would have come back by now
        QCOMPARE(done, uploads);
        QVERIFY(!publishing());
        QVERIFY(!panel().autoSessionTimer().isActive());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(f_->dialogs.messages.size(), before + 1);
        QVERIFY(f_->dialogs.messages.last().text.contains(QStringLiteral("553 Could not create file.")));
    }

    // The real case: an account that may log in and read but not write.
    void readOnlyAccountStopsAfterThreeRefusals() {
        server_ = std::make_unique<FtpTestServer>(FtpTestServer::Kind::Plain);
        server_->setPermissions(QStringLiteral("elr"));
        QVERIFY(server_->start());
        panel().autoSessionTimer().setInterval(100);
        const qsizetype before = f_->dialogs.messages.size();
        QVERIFY(accept(server_->password(), 0, 1));
        QTRY_COMPARE_WITH_TIMEOUT(f_->dialogs.messages.size(), before + 1, 10'000);
        const RecordingDialogs::Message shown = f_->dialogs.messages.last();
        QCOMPARE(shown.title, QStringLiteral("Pregonar - Conexión FTP"));
        QCOMPARE(uploads_->size(), 3);
        const QString reply = uploads_->last().at(2).toString();
        QVERIFY2(!reply.isEmpty() && shown.text.contains(reply), qPrintable(shown.text));
        QVERIFY(!publishing());
        QCOMPARE(panel().button(ControlPanel::Publish)->backColor(), Colors::Idle);
        const int connections = server_->connectionsSeen();
        QTest::qWait(500); // five automatic attempts, had the session gone on
        QCOMPARE(server_->connectionsSeen(), connections);
        QCOMPARE(uploads_->size(), 3);
        QCOMPARE(f_->dialogs.messages.size(), before + 1);
        QVERIFY(!QFile::exists(remote("casa.html")));
    }
};

QTEST_MAIN(TestPanelPublish)
#include "TestPanelPublish.moc"
