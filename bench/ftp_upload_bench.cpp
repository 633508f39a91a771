// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers

// Time to publish one 30 KB picture on loopback, three ways:
//   reused   CurlFtpClient, one session, every upload over the same control connection (what the program
//   does) session  CurlFtpClient, a new session (login) for every picture curl -T  the command-line tool
//   started once per picture
// Usage: ftp_upload_bench [pictures]   (default 200; the curl runs use a quarter of that)
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Runs the event loop until the client answers; returns the answer.
bool wait(CurlFtpClient& client) {
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&client, &FtpClient::loggedIn, &loop, [&](bool result) {
        ok = result;
        if (!result)
            loop.quit();
    });
    QObject::connect(&client, &FtpClient::uploaded, &loop, [&](const QString&, bool result) {
        ok = result;
        loop.quit();
    });
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    return ok;
}

void report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("%-8s n=%4zu  mean %7.3f ms  median %7.3f ms  p90 %7.3f ms  max %7.3f ms\n", name, ms.size(),
                sum / ms.size(), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pictures = argc > 1 ? std::max(4, atoi(argv[1])) : 200;

    FtpTestServer server(FtpTestServer::Kind::Plain);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "server: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString picture = dir.filePath("foto.jpg");
    {
        QByteArray bytes(30 * 1024, Qt::Uninitialized);
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QFile file(picture);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }

    QElapsedTimer clock;
    std::vector<double> reused, session, tool;
    {
        CurlFtpClient client;
        client.connectToServer(server.address(), server.user(), server.password());
        client.upload(picture, QStringLiteral("tienda.jpg")); // login and a first upload
        if (!wait(client))
            return 1;
        for (int i = 0; i < pictures; ++i) {
            clock.start();
            client.upload(picture, QStringLiteral("tienda.jpg"));
            if (!wait(client))
                return 1;
            reused.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    for (int i = 0; i < pictures / 4; ++i) {
        CurlFtpClient client;
        clock.start();
        client.connectToServer(server.address(), server.user(), server.password());
        client.upload(picture, QStringLiteral("tienda.jpg"));
        if (!wait(client))
            return 1;
        session.push_back(clock.nsecsElapsed() / 1e6);
    }
    const QString url = QStringLiteral("ftp://%1/tienda.jpg").arg(server.address());
    for (int i = 0; i < pictures / 4; ++i) {
        QProcess curl;
        clock.start();
        curl.start(QStringLiteral("curl"),
                   {"-s", "-S", "-T", picture, "--user", server.user() + u':' + server.password(), url});
        if (!curl.waitForFinished(10'000) || curl.exitCode() != 0)
            return 1;
        tool.push_back(clock.nsecsElapsed() / 1e6);
    }
    CurlFtpClient::waitForWorkers(std::chrono::seconds(2));

    report("reused", reused);
    report("session", session);
    report("curl -T", tool);
    return 0;
}
