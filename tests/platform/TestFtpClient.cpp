// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {

using Failure = FtpClient::LoginFailure;

QByteArray randomBytes(qsizetype size, quint32 salt) {
    QList<quint32> words((size + 3) / 4);
    QRandomGenerator(salt).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.constData()), size);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFtpClient : public QObject {
    Q_OBJECT

    QTemporaryDir local_;

    QString localFile(const QString& name, const QByteArray& bytes) {
        const QString path = local_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static bool started(FtpTestServer& server) {
        QString error;
        const bool ok = server.start(&error);
        if (!ok)
            qWarning("FTP server: %s", qPrintable(error));
        return ok;
    }

    static bool login(CurlFtpClient& client, const FtpTestServer& server) {
        QSignalSpy done(&client, &FtpClient::loggedIn);
        if (!client.connectToServer(server.address(), server.user(), server.password()) || !done.wait(10'000))
            return false;
        return done.first().at(0).toBool();
    }

    // Returns the results (ok flags) of the next `count` uploads, in the order they arrived.
    static QList<bool> results(QSignalSpy& spy, int count, int timeoutMs = 10'000) {
        QElapsedTimer clock;
        clock.start();
        while (spy.size() < count && clock.elapsed() < timeoutMs)
            spy.wait(int(timeoutMs - clock.elapsed()));
        QList<bool> oks;
        for (const auto& arguments : spy)
            oks << arguments.at(1).toBool();
        return oks;
    }

    // Starts a 64 MB upload and freezes the server once part of it has arrived.
    bool freezeMidUpload(CurlFtpClient& client, FtpTestServer& server, const QString& name) {
        client.upload(localFile(QStringLiteral("big.bin"), randomBytes(64 << 20, 7)), name);
        const QString partial = server.uploadDir() + u'/' + name + QStringLiteral(".tmp");
        QElapsedTimer clock;
        clock.start();
        while (QFile(partial).size() == 0) {
            if (clock.elapsed() > 10'000)
                return false;
            QThread::usleep(200);
        }
        return server.freeze();
    }

private slots:
    void cleanup() {
        // No test may leave a worker behind, hung or not.
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    void refusesIncompleteAccountWithoutNetwork_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addRow("no server") << ""
                                   << "tienda"
                                   << "clave";
        QTest::addRow("no user") << "127.0.0.1:1"
                                 << ""
                                 << "clave";
        QTest::addRow("no password") << "127.0.0.1:1"
                                     << "tienda"
                                     << "";
        QTest::addRow("unusable server") << "127.0.0.1:http"
                                         << "tienda"
                                         << "clave";
    }

    void refusesIncompleteAccountWithoutNetwork() {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        CurlFtpClient client;
        QSignalSpy done(&client, &FtpClient::loggedIn);
        QVERIFY(!client.connectToServer(server, user, password));
        QCOMPARE(CurlFtpClient::runningWorkers(), 0); // nothing was started that could reach the network
        QVERIFY(!done.wait(100));
    }

    // The account goes exactly as stored, straight to the server whatever the environment says.
    void loginSendsAccountAsStored_data() {
        QTest::addColumn<QString>("serverPassword");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("proxyVariable");
        QTest::addColumn<FtpClient::LoginFailure>("failure");
        const QString stored = QStringLiteral("contraseña "); // the server reads Windows-1252
        QTest::addRow("windows-1252, trailing space") << stored << stored << QByteArray() << Failure::None;
        QTest::addRow("space missing") << stored << stored.trimmed() << QByteArray() << Failure::Account;
        QTest::addRow("all_proxy ignored") << stored << stored << QByteArray("all_proxy") << Failure::None;
        QTest::addRow("ftp_proxy ignored") << stored << stored << QByteArray("ftp_proxy") << Failure::None;
    }

    void loginSendsAccountAsStored() {
        QFETCH(QString, serverPassword);
        QFETCH(QString, password);
        QFETCH(QByteArray, proxyVariable);
        QFETCH(FtpClient::LoginFailure, failure);
        FtpTestServerOptions options;
        options.password = serverPassword;
        options.windows1252 = true;
        FtpTestServer server(FtpTestServer::Kind::Plain, options);
        QVERIFY(started(server));
        if (!proxyVariable.isEmpty()) // a proxy that is not there
            qputenv(proxyVariable, "http://127.0.0.1:1");
        const auto restore = qScopeGuard([&] {
            if (!proxyVariable.isEmpty())
                qunsetenv(proxyVariable);
        });
        CurlFtpClient client;
        QSignalSpy done(&client, &FtpClient::loggedIn);
        QVERIFY(client.connectToServer(server.address(), server.user(), password));
        QVERIFY(done.wait(10'000));
        const QString error = done.first().at(1).toString();
        QCOMPARE(done.first().at(2).value<FtpClient::LoginFailure>(), failure);
        QCOMPARE(done.first().at(0).toBool(), failure == Failure::None);
        if (failure == Failure::None)
            return;
        QVERIFY2(error.contains(QStringLiteral("(server: \"530 ")), qPrintable(error)); // its own words

        // Uploads asked for on a refused session fail, in order, and never reach the server.
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        client.upload(localFile(QStringLiteral("a.jpg"), "x"), QStringLiteral("a.jpg"));
        QCOMPARE(results(uploads, 1), QList<bool>{false});
        QVERIFY(!QFile::exists(server.uploadDir() + QStringLiteral("/a.jpg")));
    }

    // Some servers refuse to rename onto an existing file: the live picture still replaces the old
    // one, and a failed upload leaves no temporary file behind.
    void renameOntoExistingFile_data() {
        QTest::addColumn<bool>("targetIsFolder");
        QTest::addRow("old file replaced") << false;
        QTest::addRow("target cannot go") << true;
    }

    void renameOntoExistingFile() {
        QFETCH(bool, targetIsFolder);
        FtpTestServerOptions options;
        options.renameKeepsTarget = true;
        FtpTestServer server(FtpTestServer::Kind::Plain, options);
        QVERIFY(started(server));
        const QString final = server.uploadDir() + QStringLiteral("/tienda.jpg");
        if (targetIsFolder)
            QVERIFY(QDir().mkpath(final));
        else
            QVERIFY(QFile::copy(localFile(QStringLiteral("old.jpg"), "old"), final));
        CurlFtpClient client;
        QVERIFY(login(client, server));
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        const QByteArray picture = randomBytes(30 * 1024, 3);
        client.upload(localFile(QStringLiteral("foto.jpg"), picture), QStringLiteral("tienda.jpg"));
        QCOMPARE(results(uploads, 1), QList<bool>{!targetIsFolder});
        QCOMPARE(readAll(final), targetIsFolder ? QByteArray() : picture);
        QCOMPARE(QDir(server.uploadDir()).entryList(QDir::Files),
                 targetIsFolder ? QStringList() : QStringList{"tienda.jpg"});
        if (targetIsFolder) {
            const QString error = uploads.first().at(2).toString();
            QVERIFY2(error.contains(QStringLiteral("(server: \"550 ")), qPrintable(error));
        }
    }

    // TLS can be neither faked nor stripped once a server has been seen with it.
    void tlsServerKeptToWhatWasLearnt() {
        const QString known = local_.filePath(QStringLiteral("Pregonar.TLS"));
        const QByteArray others = "# notas\nftp.otra-tienda.com:21 tls\n";
        localFile(QStringLiteral("Pregonar.TLS"), others);
        auto first = std::make_unique<FtpTestServer>(FtpTestServer::Kind::Tls);
        QVERIFY(started(*first));
        const quint16 port = first->port();
        const QByteArray server = "127.0.0.1:" + QByteArray::number(port);
        const auto attempt = [&](const FtpTestServer& at, Failure expected, QString* error = nullptr) {
            CurlFtpClient client(known);
            QSignalSpy done(&client, &FtpClient::loggedIn);
            if (!client.connectToServer(at.address(), at.user(), at.password()) || !done.wait(10'000))
                return false;
            if (error)
                *error = done.first().at(1).toString();
            const bool trusted = expected == Failure::KeyChanged && client.trustNewKey();
            return done.first().at(2).value<Failure>() == expected &&
                   (expected != Failure::KeyChanged || trusted);
        };

        // First login to a self-signed server: its key is learnt, then required.
        QVERIFY(attempt(*first, Failure::None));
        const QByteArray learnt = readAll(known);
        QVERIFY2(learnt.startsWith(others + server + " sha256//"), learnt.constData());
        QVERIFY(attempt(*first, Failure::None));

        // Another server (another key) at the same address: refused with the reason, until trusted.
        first.reset();
        FtpTestServerOptions samePort;
        samePort.port = port;
        FtpTestServer second(FtpTestServer::Kind::Tls, samePort);
        QVERIFY(started(second));
        QString error;
        QVERIFY(attempt(second, Failure::KeyChanged, &error)); // ... and trusted there
        QVERIFY2(error.contains(QStringLiteral("Huella de la nueva clave:\nSHA256:")), qPrintable(error));
        QVERIFY(error.contains(QString::fromLatin1(server)));
        QVERIFY(readAll(known) != learnt);
        QVERIFY(attempt(second, Failure::None));

        // The same address without TLS: refused, however often it is tried.
        second.kill();
        FtpTestServer plain(FtpTestServer::Kind::Plain, samePort);
        QVERIFY(started(plain));
        QVERIFY(attempt(plain, Failure::Unsafe, &error));
        QVERIFY2(error.contains(QStringLiteral("Pregonar.TLS")), qPrintable(error));
        // A damaged line still counts as TLS seen.
        localFile(QStringLiteral("Pregonar.TLS"), server + " sha256//roto\n");
        QVERIFY(attempt(plain, Failure::Unsafe));
        // A server never seen with TLS works in plain FTP.
        QVERIFY(QFile::remove(known));
        QVERIFY(attempt(plain, Failure::None));
        QVERIFY(!QFile::exists(known));
    }

    void uploadsArriveIntactOverOneConnection_data() {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addRow("plain") << FtpTestServer::Kind::Plain;
        QTest::addRow("tls") << FtpTestServer::Kind::Tls;
    }

    void uploadsArriveIntactOverOneConnection() {
        QFETCH(FtpTestServer::Kind, kind);
        FtpTestServer server(kind);
        QVERIFY(started(server));
        // A server already seen (for TLS: its key learnt), as in every session after the first.
        CurlFtpClient client(local_.filePath(QStringLiteral("uploads.tls")));
        QVERIFY(login(client, server));
        QVERIFY(login(client, server));
        const int connections = server.connectionsSeen();

        // A page, then the live picture three times over, spaced as the upload timer spaces them,
        // and one gallery picture. With TLS 1.3 the server's session-reuse check refuses some of
        // the data connections on a reused control connection.
        const QByteArray page = "<html><img src=\"tienda.jpg\"></html>";
        QList<QByteArray> pictures;
        for (quint32 i = 0; i < 3; ++i)
            pictures << randomBytes(30 * 1024 + i, i);
        const QString prefix = server.remotePrefix();
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        client.upload(localFile(QStringLiteral("página ñ.html"), page), // local paths are UTF-8
                      prefix + QStringLiteral("tienda.html"));
        for (int i = 0; i < 3; ++i) {
            client.upload(localFile(QStringLiteral("foto%1.jpg").arg(i), pictures[i]),
                          prefix + QStringLiteral("tienda.jpg"));
            if (i == 0)
                QCOMPARE(client.pendingUploads(), 2);
            QTest::qWait(300);
        }
        client.upload(local_.filePath(QStringLiteral("foto0.jpg")),
                      prefix + QStringLiteral("tienda-001.jpg"));

        QCOMPARE(results(uploads, 5), QList<bool>(5, true));
        QCOMPARE(uploads.at(0).at(0).toString(), prefix + QStringLiteral("tienda.html"));
        QCOMPARE(uploads.at(4).at(0).toString(), prefix + QStringLiteral("tienda-001.jpg"));
        QCOMPARE(client.pendingUploads(), 0);

        const QString dir = server.uploadDir() + u'/';
        QCOMPARE(readAll(dir + QStringLiteral("tienda.html")), page);
        QCOMPARE(readAll(dir + QStringLiteral("tienda.jpg")), pictures[2]); // the last one wins
        QCOMPARE(readAll(dir + QStringLiteral("tienda-001.jpg")), pictures[0]);
        QCOMPARE(QDir(dir).entryList(QDir::Files).filter(QStringLiteral(".tmp")), QStringList());
        QCOMPARE(server.connectionsSeen(), connections);
    }

    void partialUploadNeverVisibleUnderFinalName() {
        FtpTestServer server(FtpTestServer::Kind::Plain);
        QVERIFY(started(server));
        const QString final = server.uploadDir() + QStringLiteral("/tienda.jpg");
        const QByteArray old = randomBytes(30 * 1024, 1);
        QFile::copy(localFile(QStringLiteral("old.jpg"), old), final);

        CurlFtpClient client;
        QVERIFY(login(client, server));
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        QVERIFY(freezeMidUpload(client, server, QStringLiteral("tienda.jpg")));
        QCOMPARE(readAll(final), old); // visitors still get the whole old picture
        QVERIFY(server.thaw());

        QCOMPARE(results(uploads, 1, 30'000), QList<bool>{true});
        QCOMPARE(readAll(final), readAll(local_.filePath(QStringLiteral("big.bin"))));
        QVERIFY(!QFile::exists(final + QStringLiteral(".tmp")));
    }

    void endsAtOnceBesideHungServer_data() {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<bool>("destroy");
        QTest::addColumn<QString>("hang");
        QTest::addRow("disconnect mid-upload") << FtpTestServer::Kind::Plain << false << "mid-upload";
        QTest::addRow("destroy awaiting reply") << FtpTestServer::Kind::Tls << true << "reply";
        // Closing an idle connection sends QUIT, whose reply libcurl awaits for two minutes.
        QTest::addRow("destroy idle") << FtpTestServer::Kind::Tls << true << "idle";
    }

    void endsAtOnceBesideHungServer() {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(bool, destroy);
        QFETCH(QString, hang);
        FtpTestServer server(kind);
        QVERIFY(started(server));
        auto client =
            std::make_unique<CurlFtpClient>(); // default timeouts: only cancelling ends this quickly
        QVERIFY(login(*client, server));
        QSignalSpy uploads(client.get(), &FtpClient::uploaded);
        if (hang == QLatin1String("mid-upload")) {
            QVERIFY(freezeMidUpload(*client, server, QStringLiteral("video.bin")));
            client->upload(local_.filePath(QStringLiteral("big.bin")), QStringLiteral("otro.bin"));
        } else {
            QVERIFY(server.freeze());
        }
        if (hang == QLatin1String("reply")) {
            client->upload(localFile(QStringLiteral("foto.jpg"), randomBytes(30 * 1024, 5)),
                           server.remotePrefix() + QStringLiteral("tienda.jpg"));
            QTest::qWait(300); // let the worker start waiting on the server
        }

        QElapsedTimer clock;
        clock.start();
        if (destroy)
            client.reset();
        else
            client->disconnectFromServer();
        QVERIFY2(clock.elapsed() < 5, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(CurlFtpClient::waitForWorkers(500ms)); // far sooner than any timeout
        if (!destroy) {
            QCOMPARE(client->pendingUploads(), 0);
            QVERIFY(!uploads.wait(200)); // a dropped session reports nothing
        }
    }
};

QTEST_GUILESS_MAIN(TestFtpClient)
#include "TestFtpClient.moc"
