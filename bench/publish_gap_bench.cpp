// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers

// How late the GUI thread's 10 ms timer (the banner's and the video watch's tick) comes while the
// program publishes to a server that stops answering. Three phases against a loopback FTP server:
//   healthy  publishing every 200 ms to a server that answers
//   frozen   the server stopped with SIGSTOP: the upload times out, publishing restarts and the
//            automatic session keeps trying to connect
//   thawed   the server answers again, until publishing runs once more
// Usage: publish_gap_bench [seconds per phase]   (default 3)
#include "fakes/RecordingDesktop.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Gaps {
    std::vector<qint64> us;
    QElapsedTimer since;
    void report(const char* phase) {
        std::sort(us.begin(), us.end());
        if (us.empty())
            return;
        std::printf("%-8s ticks %5zu  median %6.2f ms  p99 %6.2f ms  worst %6.2f ms\n", phase, us.size(),
                    us[us.size() / 2] / 1000.0, us[us.size() * 99 / 100] / 1000.0, us.back() / 1000.0);
        us.clear();
    }
};

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int phaseMs = (argc > 1 ? std::max(1, atoi(argv[1])) : 3) * 1000;

    FtpTestServer server(FtpTestServer::Kind::Plain);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "FTP server: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Desktop"));
    QFile picture(dir.filePath(QStringLiteral("Foto.jpg")));
    if (!picture.open(QIODevice::WriteOnly))
        return 1;
    picture.write(QByteArray(30 * 1024, 'x'));
    picture.close();

    RecordingDialogs dialogs;
    QWidget window;
    window.show();
    Publisher publisher(&window, dir.path(), &dialogs, [] {
        auto client = std::make_unique<CurlFtpClient>();
        FtpTimeouts t;
        t.connect = 2s;
        t.serverResponse = 1s;
        t.wholeTransfer = 4s;
        client->setTimeouts(t);
        return std::unique_ptr<FtpClient>(std::move(client));
    });
    PublishingSession& session = publisher.session();
    session.retryTimer().setInterval(500);

    publisher.toggle();
    FtpDialog* dialog = publisher.dialog();
    dialog->field(0)->setText(server.address());
    dialog->field(1)->setText(server.user());
    dialog->field(2)->setText(server.password());
    dialog->field(3)->setText(QStringLiteral("casa"));
    dialog->galleryList()->setCurrentIndex(1);
    dialog->labelClicked(FtpDialog::kAccept);
    runFor(1000);
    if (!publisher.running()) {
        std::fprintf(stderr, "publishing did not start\n");
        return 1;
    }
    publisher.setDetecting([] { return true; });

    // A new snapshot name every tick, so the gallery uploads too.
    int snapshot = 0;
    QTimer camera;
    QObject::connect(&camera, &QTimer::timeout, [&] {
        publisher.setSnapshot(QStringLiteral("Foto.jpg") + QString(++snapshot % 2, u' '));
        // Publishing far more often than the shortest reload time, once it runs (again).
        if (session.uploadTimer().isActive() && session.uploadTimer().interval() != 200)
            session.uploadTimer().start(200);
    });
    camera.start(200);

    Gaps gaps;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { gaps.us.push_back(gaps.since.nsecsElapsed() / 1000), gaps.since.restart(); });
    gaps.since.start();
    tick.start(10);

    int uploads = 0;
    QObject::connect(&publisher.client(), &FtpClient::uploaded,
                     [&](const QString&, bool ok) { uploads += ok; });
    runFor(phaseMs);
    const int healthyUploads = uploads;
    gaps.report("healthy");
    server.freeze();
    QElapsedTimer clock;
    clock.start();
    while (!session.automatic() && clock.elapsed() < 20'000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 failedAfter = clock.elapsed();
    runFor(std::max<int>(0, phaseMs - int(failedAfter)));
    gaps.report("frozen");
    server.thaw();
    clock.restart();
    while (!publisher.running() && clock.elapsed() < 20'000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 backAfter = clock.elapsed();
    const int uploadsBefore = uploads;
    runFor(phaseMs);
    gaps.report("thawed");
    std::printf("uploads: %d while healthy, %d after the thaw\n", healthyUploads, uploads - uploadsBefore);
    std::printf("upload given up %lld ms after the freeze; publishing again %lld ms after the thaw\n",
                qint64(failedAfter), qint64(backAfter));
    publisher.shutdown();
    CurlFtpClient::waitForWorkers(2s);
    return 0;
}
