// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using namespace std::chrono_literals;
using Failure = FtpClient::LoginFailure;
using Kind = FtpTestServer::Kind;

class TestFtpClient : public QObject {
    Q_OBJECT

    QTemporaryDir local_;
    QString error_; // of the last login

    QString localFile(const QString& name, const QByteArray& bytes) {
        return writeFile(local_.filePath(name), bytes);
    }
    // Bytes that a transfer in ASCII mode would change, 5 × `times` of them.
    static QByteArray binary(int times) { return QByteArray("\r\n\0\n\xff", 5).repeated(times); }

    // Logs in and returns how: the failure kind, with the error text in `error_`.
    Failure login(CurlFtpClient& client, const FtpTestServer& server, const QString& user = {},
                  const QString& password = {}) {
        QSignalSpy done(&client, &FtpClient::loggedIn);
        if (!client.connectToServer(server.address(), user.isNull() ? server.user() : user,
                                    password.isNull() ? server.password() : password) ||
            !done.wait(10'000))
            return Failure::Network;
        error_ = done.first().at(1).toString();
        return done.first().at(2).value<Failure>();
    }

    // The uploads reported so far, in order: the remote name less its folder, with '!' when it failed.
    static QString results(const QSignalSpy& spy) {
        QStringList names;
        for (const auto& arguments : spy)
            names << arguments.at(0).toString().section(u'/', -1) + (arguments.at(1).toBool() ? "" : "!");
        return names.join(u' ');
    }

private slots:
    // A proxy that is not there: every connection goes straight to the server.
    void initTestCase() { qputenv("ftp_proxy", "http://127.0.0.1:1"); }
    // No test may leave a worker behind, hung or not.
    void cleanup() { QVERIFY(CurlFtpClient::waitForWorkers(2s)); }

    // The server field as typed: host and port, or refused, and then no login is tried.
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url"); // host and port as they go into the URL; empty: refused
        // "text|url". Refused: port zero, too big, not a number or missing; '@', '/' or a space in the
        // name; a bracket not closed, around a name, followed by other text; a zone id.
        // clang-format off
        for (const QString row : {"ftp.tienda.es|ftp.tienda.es:21", "ftp.tienda.es:2121|ftp.tienda.es:2121",
                "  192.168.1.10:21 |192.168.1.10:21", "ftp://ftp.tienda.es/|ftp.tienda.es:21", "[::1]:2121|[::1]:2121",
                "[fe80::1]|[fe80::1]:21", "2001:db8::7|[2001:db8::7]:21", "ftp.españa.es|ftp.españa.es:21",
                "", "   ", "host:0", "host:65536", "host:ftp", "host:", "yo@host", "host/carpeta", "mi host",
                "[::1:21", "[host]:21", "[::1]x", "[fe80::1%eth0]"})
            // clang-format on
            QTest::addRow("\"%s\"", qPrintable(row.section(u'|', 0, 0)))
                << row.section(u'|', 0, 0) << row.section(u'|', 1);
    }

    void parse() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        const auto address = parseFtpServer(text);
        QCOMPARE(address ? address->urlHost() + u':' + QString::number(address->port) : QString(), url);
        QVERIFY(address || !CurlFtpClient().connectToServer(text, "tienda", "clave"));
        QCOMPARE(CurlFtpClient::runningWorkers(), 0); // nothing that could reach the network
    }

    // The account goes exactly as stored (the server reads Windows-1252; the second user's password
    // ends in a space). An incomplete one starts nothing that could reach the network; a refused one fails
    // the uploads asked for on it.
    void loginSendsAccountAsStored() {
        FtpTestServer server(Kind::Plain);
        QVERIFY(server.start());
        CurlFtpClient client;
        QVERIFY(!client.connectToServer(server.address(), {}, server.password()) &&
                !client.connectToServer(server.address(), server.user(), {}));
        QCOMPARE(CurlFtpClient::runningWorkers(), 0);
        QCOMPARE(login(client, server, "añil", "contraseña"), Failure::Account);          // no space
        QVERIFY2(error_.contains(QStringLiteral("(server: \"530 ")), qPrintable(error_)); // its own words
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        client.upload(localFile(QStringLiteral("a.jpg"), "x"), QStringLiteral("a.jpg"));
        QTRY_COMPARE_WITH_TIMEOUT(results(uploads), "a.jpg!", 10'000);
        QCOMPARE(login(client, server, "añil", "contraseña "), Failure::None);
    }

    // TLS can be neither faked nor stripped once a server has been seen with it.
    void tlsServerKeptToWhatWasLearnt() {
        const QString known = localFile(QStringLiteral("Pregonar.TLS"), "# notas\nftp.otra.com:21 tls\n");
        const QByteArray others = readFile(known);
        FtpTestServer tls(Kind::Tls);
        QVERIFY(tls.start());
        FtpTestServer other(Kind::Tls), plain(Kind::Plain);
        const QByteArray address = tls.address().toLatin1();
        const auto attempt = [&](const FtpTestServer& at) {
            CurlFtpClient client(known);
            const Failure failure = login(client, at);
            return failure == Failure::KeyChanged && !client.trustNewKey() ? Failure::Network : failure;
        };
        // A self-signed server's key is learnt (and then required: uploadsArriveIntactOverOneConnection).
        QCOMPARE(attempt(tls), Failure::None);
        const QByteArray learnt = readFile(known);
        QVERIFY2(learnt.startsWith(others + address + " sha256//"), learnt.constData());
        // Another server (another key) at the same address: refused with the reason, until trusted.
        tls.kill();
        QVERIFY(other.start(tls.port()));
        QCOMPARE(attempt(other), Failure::KeyChanged); // ... and trusted there
        QVERIFY2(error_.contains("Huella de la nueva clave:\nSHA256:") && error_.contains(address),
                 qPrintable(error_));
        QVERIFY(readFile(known) != learnt);
        QCOMPARE(attempt(other), Failure::None);
        // The same address without TLS: refused, also when the line learnt is damaged; a server never
        // seen with TLS works in plain FTP.
        other.kill();
        QVERIFY(plain.start(tls.port()));
        QCOMPARE(attempt(plain), Failure::Unsafe);
        QVERIFY2(error_.contains(QStringLiteral("Pregonar.TLS")), qPrintable(error_));
        localFile(QStringLiteral("Pregonar.TLS"), address + " sha256//roto\n");
        QCOMPARE(attempt(plain), Failure::Unsafe);
        QVERIFY(QFile::remove(known));
        QCOMPARE(attempt(plain), Failure::None);
        QVERIFY(!QFile::exists(known));
    }

    void uploadsArriveIntactOverOneConnection_data() {
        QTest::addColumn<bool>("tls");
        QTest::addRow("plain") << false;
        QTest::addRow("tls") << true;
    }
    void uploadsArriveIntactOverOneConnection() {
        QFETCH(bool, tls);
        FtpTestServer server(tls ? Kind::Tls : Kind::Plain);
        QVERIFY(server.start());
        // A server already seen (for TLS: its key learnt), as in every session after the first. Plain:
        // the user for whom nothing is renamed onto an existing file.
        CurlFtpClient client(local_.filePath(QStringLiteral("uploads.tls")));
        const QString user = tls ? server.user() : "añil", password = tls ? server.password() : "contraseña ";
        QCOMPARE(login(client, server, user, password), Failure::None);
        QCOMPARE(login(client, server, user, password), Failure::None);

        // A page, then the live picture three times over, spaced as the upload timer spaces them,
        // one gallery picture, and one whose target cannot go. With TLS 1.3 the server's session-reuse
        // check refuses some of the data connections on a reused control connection.
        const QString remote = server.remotePrefix() + QStringLiteral("tienda");
        const QString dir = server.uploadDir() + QStringLiteral("/tienda");
        QVERIFY(QDir().mkpath(dir + "-002.jpg"));
        QSignalSpy uploads(&client, &FtpClient::uploaded);
        client.upload(localFile(QStringLiteral("página ñ.html"), "<html></html>"), // local paths are UTF-8
                      remote + ".html");
        QCOMPARE(client.pendingUploads(), 1);
        for (int i = 0; i < 3; ++i, QTest::qWait(300))
            client.upload(localFile(QStringLiteral("foto%1.jpg").arg(i), binary(6'000 + i)), remote + ".jpg");
        client.upload(local_.filePath(QStringLiteral("foto0.jpg")), remote + "-001.jpg");
        QTRY_COMPARE_WITH_TIMEOUT(results(uploads),
                                  "tienda.html tienda.jpg tienda.jpg tienda.jpg tienda-001.jpg", 10'000);
        QCOMPARE(client.pendingUploads(), 0);
        QCOMPARE(readFile(dir + ".jpg"), binary(6'002)); // the last one wins
        QCOMPARE(readFile(dir + "-001.jpg"), binary(6'000));
        QCOMPARE(server.connectionsSeen(), 3); // the start's probe and the two logins
        client.upload(local_.filePath(QStringLiteral("foto0.jpg")), remote + "-002.jpg");
        QTRY_VERIFY_WITH_TIMEOUT(results(uploads).endsWith(" tienda-002.jpg!"), 10'000);
        QVERIFY(uploads.last().at(2).toString().contains(QStringLiteral("(server: \"550 ")));
        QCOMPARE(QDir(server.uploadDir()).entryList(QDir::Files).filter(".tmp"), QStringList());
    }

    // A server that stops or freezes never holds the caller: disconnecting or destroying the client
    // returns at once, with default timeouts, and its worker ends soon after.
    void endsAtOnceBesideHungServer_data() {
        QTest::addColumn<QString>("hang"); // mid-upload: plain, the client disconnected; else TLS, destroyed
        QTest::addRow("disconnect mid-upload") << "mid-upload";
        QTest::addRow("destroy awaiting reply") << "reply";
        // Closing an idle connection sends QUIT, whose reply libcurl awaits for two minutes.
        QTest::addRow("destroy idle") << "idle";
    }
    void endsAtOnceBesideHungServer() {
        QFETCH(QString, hang);
        const bool destroy = hang != "mid-upload";
        FtpTestServer server(destroy ? Kind::Tls : Kind::Plain);
        QVERIFY(server.start());
        const QString final = server.uploadDir() + QStringLiteral("/tienda.jpg");
        QVERIFY(QFile::copy(localFile(QStringLiteral("old.jpg"), "old"), final));
        auto client = std::make_unique<CurlFtpClient>();
        QCOMPARE(login(*client, server), Failure::None);
        QSignalSpy uploads(client.get(), &FtpClient::uploaded);
        QElapsedTimer clock;
        clock.start();
        if (hang == "mid-upload") { // frozen once part of it has arrived
            const QString big = localFile(QStringLiteral("big.bin"), binary(13 << 20));
            client->upload(big, QStringLiteral("tienda.jpg"));
            client->upload(big, QStringLiteral("otro.bin"));
            while (QFile(final + ".tmp").size() == 0 && clock.elapsed() < 10'000)
                QThread::usleep(200);
        }
        QVERIFY(server.freeze());
        if (hang == "reply") {
            client->upload(localFile("foto.jpg", "foto"), server.remotePrefix() + "tienda.jpg");
            QTest::qWait(300); // let the worker start waiting on the server
        }
        QCOMPARE(readFile(final), QByteArray("old")); // visitors still get the whole old picture

        clock.restart();
        destroy ? client.reset() : client->disconnectFromServer();
        // At once: a wait for the hung server would take the reply timeout (seconds).
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(CurlFtpClient::waitForWorkers(500ms)); // far sooner than any timeout
        QVERIFY(destroy ||
                (client->pendingUploads() == 0 && !uploads.wait(200))); // a dropped session reports nothing
    }
};

QTEST_GUILESS_MAIN(TestFtpClient)
#include "TestFtpClient.moc"
