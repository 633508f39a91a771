// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using namespace std::chrono_literals;
using Failure = FtpClient::LoginFailure;
using Kind = FtpTestServer::Kind;
Q_DECLARE_METATYPE(FtpTestServer::Kind)

class TestFtpClient : public QObject {
    Q_OBJECT

    QTemporaryDir local_;

    QString localFile(const QString& name, const QByteArray& bytes) {
        QFile file(local_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    static QByteArray randomBytes(qsizetype size, quint32 salt) {
        QList<quint32> words((size + 3) / 4);
        QRandomGenerator(salt).fillRange(words.data(), words.size());
        return QByteArray(reinterpret_cast<const char*>(words.constData()), size);
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Logs in and returns how: the failure kind, with the error text in `error`.
    static Failure login(CurlFtpClient& client, const FtpTestServer& server, QString* error = nullptr,
                         const QString& password = {}) {
        QSignalSpy done(&client, &FtpClient::loggedIn);
        if (!client.connectToServer(server.address(), server.user(),
                                    password.isNull() ? server.password() : password) ||
            !done.wait(10'000))
            return Failure::Network;
        if (error)
            *error = done.first().at(1).toString();
        return done.first().at(2).value<Failure>();
    }

    // The ok flags of the first `count` uploads reported.
    static QList<bool> results(QSignalSpy& spy, int count) {
        QElapsedTimer clock;
        clock.start();
        while (spy.size() < count && clock.elapsed() < 10'000)
            spy.wait(100);
        QList<bool> oks;
        for (const auto& arguments : spy)
            oks << arguments.at(1).toBool();
        return oks;
    }

private slots:
    void cleanup() {
        // No test may leave a worker behind, hung or not.
        QVERIFY(CurlFtpClient::waitForWorkers(2s));
    }

    void refusesIncompleteAccountWithoutNetwork_data() {
        QTest::addColumn<QStringList>("account"); // server, user, password
        QTest::addRow("no server") << QStringList{"", "tienda", "clave"};
        QTest::addRow("no user") << QStringList{"127.0.0.1:1", "", "clave"};
        QTest::addRow("no password") << QStringList{"127.0.0.1:1", "tienda", ""};
        QTest::addRow("unusable server") << QStringList{"127.0.0.1:http", "tienda", "clave"};
    }
    void refusesIncompleteAccountWithoutNetwork() {
        QFETCH(QStringList, account);
        CurlFtpClient client;
        QSignalSpy done(&client, &FtpClient::loggedIn);
        QVERIFY(!client.connectToServer(account[0], account[1], account[2]));
        QCOMPARE(CurlFtpClient::runningWorkers(), 0); // nothing was started that could reach the network
        QVERIFY(!done.wait(100));
    }

    // The account goes exactly as stored (the server reads Windows-1252), straight to the server
    // whatever proxy the environment names; a refused one fails the uploads asked for on it.
    void loginSendsAccountAsStored_data() {
        QTest::addColumn<QString>("password");
        QTest::addRow("as stored, no proxy") << QStringLiteral("contraseña ");
        QTest::addRow("trailing space missing") << QStringLiteral("contraseña");
    }
    void loginSendsAccountAsStored() {
        QFETCH(QString, password);
        FtpTestServerOptions options;
        options.password = QStringLiteral("contraseña ");
        options.windows1252 = true;
        FtpTestServer server(Kind::Plain, options);
        QVERIFY(server.start());
        for (const char* proxy : {"all_proxy", "ftp_proxy"}) // proxies that are not there
            qputenv(proxy, "http://127.0.0.1:1");
        CurlFtpClient client;
        QString error;
        const Failure failure = login(client, server, &error, password);
        qunsetenv("all_proxy");
        qunsetenv("ftp_proxy");
        if (password == options.password) {
            QCOMPARE(failure, Failure::None);
            return;
        }
        QCOMPARE(failure, Failure::Account);
        QVERIFY2(error.contains(QStringLiteral("(server: \"530 ")), qPrintable(error)); // its own words
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
        FtpTestServer server(Kind::Plain, options);
        QVERIFY(server.start());
        const QString final = server.uploadDir() + QStringLiteral("/tienda.jpg");
        QVERIFY(targetIsFolder ? QDir().mkpath(final) : QFile::copy(localFile("old.jpg", "old"), final));
        CurlFtpClient client;
        QCOMPARE(login(client, server), Failure::None);
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        const QByteArray picture = randomBytes(30 * 1024, 3);
        client.upload(localFile(QStringLiteral("foto.jpg"), picture), QStringLiteral("tienda.jpg"));
        QCOMPARE(results(uploads, 1), QList<bool>{!targetIsFolder});
        QCOMPARE(readAll(final), targetIsFolder ? QByteArray() : picture);
        QCOMPARE(QDir(server.uploadDir()).entryList(QDir::Files),
                 targetIsFolder ? QStringList() : QStringList{"tienda.jpg"});
        if (targetIsFolder)
            QVERIFY(uploads.first().at(2).toString().contains(QStringLiteral("(server: \"550 ")));
    }

    // TLS can be neither faked nor stripped once a server has been seen with it.
    void tlsServerKeptToWhatWasLearnt() {
        const QString known = localFile(QStringLiteral("Pregonar.TLS"), "# notas\nftp.otra.com:21 tls\n");
        const QByteArray others = readAll(known);
        auto first = std::make_unique<FtpTestServer>(Kind::Tls);
        QVERIFY(first->start());
        FtpTestServerOptions samePort;
        samePort.port = first->port();
        const QByteArray address = first->address().toLatin1();
        QString error;
        const auto attempt = [&](const FtpTestServer& at) {
            CurlFtpClient client(known);
            const Failure failure = login(client, at, &error);
            return failure == Failure::KeyChanged && !client.trustNewKey() ? Failure::Network : failure;
        };

        // First login to a self-signed server: its key is learnt, then required.
        QCOMPARE(attempt(*first), Failure::None);
        const QByteArray learnt = readAll(known);
        QVERIFY2(learnt.startsWith(others + address + " sha256//"), learnt.constData());
        QCOMPARE(attempt(*first), Failure::None);

        // Another server (another key) at the same address: refused with the reason, until trusted.
        first.reset();
        FtpTestServer second(Kind::Tls, samePort);
        QVERIFY(second.start());
        QCOMPARE(attempt(second), Failure::KeyChanged); // ... and trusted there
        QVERIFY2(error.contains(QStringLiteral("Huella de la nueva clave:\nSHA256:")), qPrintable(error));
        QVERIFY(error.contains(QString::fromLatin1(address)));
        QVERIFY(readAll(known) != learnt);
        QCOMPARE(attempt(second), Failure::None);

        // The same address without TLS: refused, also when the line learnt is damaged.
        second.kill();
        FtpTestServer plain(Kind::Plain, samePort);
        QVERIFY(plain.start());
        QCOMPARE(attempt(plain), Failure::Unsafe);
        QVERIFY2(error.contains(QStringLiteral("Pregonar.TLS")), qPrintable(error));
        localFile(QStringLiteral("Pregonar.TLS"), address + " sha256//roto\n");
        QCOMPARE(attempt(plain), Failure::Unsafe);
        // A server never seen with TLS works in plain FTP.
        QVERIFY(QFile::remove(known));
        QCOMPARE(attempt(plain), Failure::None);
        QVERIFY(!QFile::exists(known));
    }

    void uploadsArriveIntactOverOneConnection_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addRow("plain") << Kind::Plain;
        QTest::addRow("tls") << Kind::Tls;
    }
    void uploadsArriveIntactOverOneConnection() {
        QFETCH(Kind, kind);
        FtpTestServer server(kind);
        QVERIFY(server.start());
        // A server already seen (for TLS: its key learnt), as in every session after the first.
        CurlFtpClient client(local_.filePath(QStringLiteral("uploads.tls")));
        QCOMPARE(login(client, server), Failure::None);
        QCOMPARE(login(client, server), Failure::None);
        const int connections = server.connectionsSeen();

        // A page, then the live picture three times over, spaced as the upload timer spaces them,
        // and one gallery picture. With TLS 1.3 the server's session-reuse check refuses some of
        // the data connections on a reused control connection.
        const QString remote = server.remotePrefix() + QStringLiteral("tienda");
        const QString dir = server.uploadDir() + QStringLiteral("/tienda");
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        client.upload(localFile(QStringLiteral("página ñ.html"), "<html></html>"), // local paths are UTF-8
                      remote + QStringLiteral(".html"));
        for (quint32 i = 0; i < 3; ++i) {
            client.upload(localFile(QStringLiteral("foto%1.jpg").arg(i), randomBytes(30 * 1024 + i, i)),
                          remote + QStringLiteral(".jpg"));
            if (i == 0)
                QCOMPARE(client.pendingUploads(), 2);
            QTest::qWait(300);
        }
        client.upload(local_.filePath(QStringLiteral("foto0.jpg")), remote + QStringLiteral("-001.jpg"));

        QCOMPARE(results(uploads, 5), QList<bool>(5, true));
        QCOMPARE(uploads.at(0).at(0).toString(), remote + QStringLiteral(".html"));
        QCOMPARE(uploads.at(4).at(0).toString(), remote + QStringLiteral("-001.jpg"));
        QCOMPARE(client.pendingUploads(), 0);
        QCOMPARE(readAll(dir + QStringLiteral(".html")), QByteArray("<html></html>"));
        QCOMPARE(readAll(dir + QStringLiteral(".jpg")), randomBytes(30 * 1024 + 2, 2)); // the last one wins
        QCOMPARE(readAll(dir + QStringLiteral("-001.jpg")), randomBytes(30 * 1024, 0));
        QCOMPARE(QDir(server.uploadDir()).entryList(QDir::Files).filter(QStringLiteral(".tmp")),
                 QStringList());
        QCOMPARE(server.connectionsSeen(), connections);
    }

    // A server that stops or freezes never holds the caller: disconnecting or destroying the client
    // returns at once, with default timeouts, and its worker ends soon after.
    void endsAtOnceBesideHungServer_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("destroy");
        QTest::addColumn<QString>("hang");
        QTest::addRow("disconnect mid-upload") << Kind::Plain << false << "mid-upload";
        QTest::addRow("destroy awaiting reply") << Kind::Tls << true << "reply";
        // Closing an idle connection sends QUIT, whose reply libcurl awaits for two minutes.
        QTest::addRow("destroy idle") << Kind::Tls << true << "idle";
    }
    void endsAtOnceBesideHungServer() {
        QFETCH(Kind, kind);
        QFETCH(bool, destroy);
        QFETCH(QString, hang);
        FtpTestServer server(kind);
        QVERIFY(server.start());
        const QString final = server.uploadDir() + QStringLiteral("/tienda.jpg");
        QVERIFY(QFile::copy(localFile(QStringLiteral("old.jpg"), "old"), final));
        auto client = std::make_unique<CurlFtpClient>();
        QCOMPARE(login(*client, server), Failure::None);
        QSignalSpy uploads(client.get(), &FtpClient::uploaded);
        if (hang == QLatin1String("mid-upload")) {
            const QString big = localFile(QStringLiteral("big.bin"), randomBytes(64 << 20, 7));
            client->upload(big, QStringLiteral("tienda.jpg"));
            client->upload(big, QStringLiteral("otro.bin"));
            QElapsedTimer clock; // frozen once part of it has arrived
            clock.start();
            while (QFile(final + QStringLiteral(".tmp")).size() == 0 && clock.elapsed() < 10'000)
                QThread::usleep(200);
        }
        QVERIFY(server.freeze());
        if (hang == QLatin1String("reply")) {
            client->upload(localFile(QStringLiteral("foto.jpg"), "foto"),
                           server.remotePrefix() + QStringLiteral("tienda.jpg"));
            QTest::qWait(300); // let the worker start waiting on the server
        }
        QCOMPARE(readAll(final), QByteArray("old")); // visitors still get the whole old picture

        QElapsedTimer clock;
        clock.start();
        if (destroy)
            client.reset();
        else
            client->disconnectFromServer();
        // At once: a wait for the hung server would take the reply timeout (seconds).
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(CurlFtpClient::waitForWorkers(500ms)); // far sooner than any timeout
        if (!destroy) {
            QCOMPARE(client->pendingUploads(), 0);
            QVERIFY(!uploads.wait(200)); // a dropped session reports nothing
        }
    }
};

QTEST_GUILESS_MAIN(TestFtpClient)
#include "TestFtpClient.moc"
