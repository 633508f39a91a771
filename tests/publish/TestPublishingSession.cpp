// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/TestFiles.h"
#include "publish/PublishingSession.h"
#include "publish/WebPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// Answers later, as the real client does: each login as `logins` says ('+' in, 'a' account refused,
// 'k' unknown TLS key, 'u' unsafe; then '+'), each upload as `uploads` says ('+' or '-'; then '+').
// Everything it is asked, every result and every message box goes into the log.
class Scripted : public FtpClient, public PublishingPrompts {
public:
    QString logins, uploads;
    QStringList log, texts;
    bool answer = false;
    std::function<void()> whileOpen; // runs inside the next message box
    bool connectToServer(const QString& server, const QString& user, const QString& password) override {
        if (server.isEmpty() || user.isEmpty() || password.isEmpty())
            return false;
        drop(), log << QStringLiteral("login");
        const QChar how = logins.isEmpty() ? u'+' : std::exchange(logins, logins.mid(1)).front();
        later([this, how] { // "+naku": LoginFailure's order ('n' unused)
            emit loggedIn(how == u'+', QStringLiteral("refused %1").arg(how),
                          LoginFailure(QStringLiteral("+naku").indexOf(how)));
        });
        return true;
    }
    void upload(const QString&, const QString& remote) override {
        ++pending_;
        later([this, remote] {
            --pending_;
            const bool ok = uploads.isEmpty() || std::exchange(uploads, uploads.mid(1)).front() != u'-';
            log << remote + (ok ? "" : "!");
            emit uploaded(remote, ok, ok ? QString() : QStringLiteral("553 Could not create file."));
        });
    }
    void disconnectFromServer() override { drop(), log << QStringLiteral("drop"); }
    int pendingUploads() const override { return pending_; }
    bool trustNewKey() override { return log << QStringLiteral("trust"), true; }
    void warn(const QString& text) override {
        log << QStringLiteral("warn"), texts << text;
        if (auto nested = std::exchange(whileOpen, {}))
            nested();
    }
    bool ask(const QString& text) override { return log << QStringLiteral("ask"), texts << text, answer; }

private:
    void drop() { session_ = std::make_unique<QObject>(), pending_ = 0; }
    void later(const std::function<void()>& step) { QTimer::singleShot(0, session_.get(), step); }
    int pending_ = 0;
    std::unique_ptr<QObject> session_ = std::make_unique<QObject>(); // gone, the answers due go with it
};

} // namespace

// The rules of publishing, step by step, against a scripted client. Steps: open (the globe button, also
// to stop), accept (ACEPTAR; "accept!" leaves the answer for later), retry (the automatic session's
// timer), close (the dialog closed), detect, snap (a new snapshot), tick (the upload timer;
// "tick!" leaves the uploads unanswered), yes (the owner's answer), nest (another failure while a
// message is open), counter:N, and the dialog's fields pass:, page: ('_' for a space), r: (reload) and
// g: (gallery).
// The outcome: everything that happened, then the state and, when publishing, the upload interval.
class TestPublishingSession : public QObject {
    Q_OBJECT
    // `script`: the logins, '/', the uploads.
    static void row(const char* name, const char* script, const QByteArray& steps, const QString& outcome,
                    const char* message = "") {
        QTest::newRow(name) << QString(script) << QString::fromUtf8(steps) << outcome
                            << QString::fromUtf8(message);
    }
private slots:
    // The pages name their pictures escaped, whatever the page name holds, and follow the settings of
    // each accept while they carry the program's mark; a page the shop made its own stays as it is.
    void pagesFollowSettingsUnlessShopOwned() {
        QTemporaryDir dir;
        const QString name = QStringLiteral("a\"b c"), live = dir.filePath(name + ".html"),
                      gallery = dir.filePath(name + "-gi.html");
        QVERIFY(WebPages::writePages(dir.path(), name, 8, 0) && !QFile::exists(gallery));
        // The picture reloads every 8 s, the page itself too where scripts do not run; no broken quote.
        const QString page = QString::fromUtf8(readFile(live));
        QVERIFY(page.contains("src=\"a%22b%20c.jpg\"") && page.contains("}, 8000);") &&
                page.contains("content=\"8\"") &&
                !page.contains(QRegularExpression(QStringLiteral("=\"[^\"]*\"[^ >]"))));
        QVERIFY(WebPages::writePages(dir.path(), name, 8, 10));
        const QByteArray pictures = readFile(gallery);
        QVERIFY(pictures.count("<img src=") == 10 && pictures.contains("a%22b%20c-010.jpg") &&
                pictures.contains("b.fecha - a.fecha")); // newest first
        const QByteArray shops = "<p>la p\xc3\xa1gina de la tienda</p>";
        QCOMPARE(writeFile(gallery, shops), gallery);
        QVERIFY(WebPages::writePages(dir.path(), name, 15, 20));
        QCOMPARE(readFile(live), WebPages::livePage(name, 15, true).toUtf8());
        QCOMPARE(readFile(gallery), shops);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
        QVERIFY(!WebPages::writePages(dir.path(), QStringLiteral("no/existe"), 8, 0));
    }

    void rules_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("message"); // a part of the last message
        const QString in = "form store login on done casa.html casa-gi.html",
                      fail = in + "! drop off form(auto)";
        const QString one = " store login on done casa.html!", again = " drop off form(auto)" + one;
        const char* imposible = "Imposible conectarse al servidor.";
        row("40 s, DESACTIVADO", "/", "open r:10 g:0 accept detect snap tick snap tick",
            "form store login on done casa.html casa.jpg casa.jpg = Publishing 37000");
        row("7 s", "/", "open r:2 accept", in + " = Publishing 5000");
        row("8 s", "/", "open r:3 accept", in + " = Publishing 5000");
        row("empty password", "/", "open pass: accept", "form store warn = Manual", imposible);
        // What ACEPTAR refuses, with nothing stored and no login: what the settings file cannot hold, and
        // page names that would name a file outside the working folder or the login folder.
        row("unstorable", "/", "open pass:clave\u0142 accept", "form warn = Manual",
            "\"Contraseña\" contiene el carácter \"\u0142\"");
        row("surrogate pair", "/", "open page:casa\U0001F600 accept", "form warn = Manual",
            "carácter \"\U0001F600\"");
        row("euro sign is stored", "/", "open pass:clave\u20ac accept", in + " = Publishing 3000");
        for (const char* page : {"___", "web/casa", "web\\casa", "..casa", "ca\tsa"})
            row(page, "/", QByteArray("open page:") + page + " accept", "form warn = Manual",
                "\"Archivo HTML\"");
        row("a plain name", "/", "open page:_mi_casa.v2_ accept",
            "form store login on done mi casa.v2.html mi casa.v2-gi.html = Publishing 3000");
        row("refused login, one message at a time", "a/", "open nest accept",
            "form store login warn = Manual", imposible);
        row("accept ignored while connecting, 5 s", "/", "open accept! accept", in + " = Publishing 3000");
        row("closed while connecting", "/", "open accept! close", "form store login drop = Off");
        row("open twice raises", "/", "open open", "form form = Manual");
        row("ticks", "/", "open accept tick snap tick detect tick tick snap tick",
            in + " casa.jpg casa-001.jpg casa.jpg casa.jpg casa-002.jpg = Publishing 3000");
        row("one tick at a time, none before a snapshot", "/", "open accept detect tick snap tick! tick",
            in + " casa.jpg casa-001.jpg = Publishing 3000");
        row("gallery wraps", "/", "counter:9 open accept detect snap tick snap tick",
            in + " casa.jpg casa-010.jpg casa.jpg casa-001.jpg = Publishing 3000");
        row("counter of a larger gallery, then off", "/", "counter:30 open accept detect snap tick open",
            in + " casa.jpg casa-001.jpg drop off = Off");
        row("automatic session", "+a/+-", "open accept retry retry",
            fail + " store login store login on done casa.html casa-gi.html = Publishing 3000");
        row("a success between", "/--+---", "open accept retry retry retry retry",
            "form" + one + again + " drop off form(auto) store login on done casa.html casa-gi.html!" +
                again + again + " drop off warn = Off",
            "553 Could not create file.");
        row("automatic page name", "/+-", "open accept page:web/casa accept", fail + " done = Off");
        row("new key refused", "k/", "open accept", "form store login ask = Manual",
            "refused k\n\n¿Confiar en la nueva clave?");
        row("new key trusted", "k+/", "yes open accept",
            "form store login ask trust " + in.mid(5) + " = Publishing 3000");
        row("unsafe", "u/", "open accept", "form store login warn = Manual", "refused u");
        row("new key, automatic", "+k/+-", "open accept retry", fail + " store login ask = Manual",
            "¿Confiar");
    }
    void rules() {
        QFETCH(QString, script);
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        QFETCH(QString, message);
        Scripted client;
        client.logins = script.section(u'/', 0, 0), client.uploads = script.section(u'/', 1);
        QStringList& got = client.log;
        PublishingSession session(client, client, QStringLiteral("/tienda"));
        bool detecting = false;
        session.setDetecting([&] { return detecting; });
        connect(&session, &PublishingSession::formWanted, this,
                [&](bool a) { got << (a ? "form(auto)" : "form"); });
        connect(&session, &PublishingSession::formDone, this, [&] { got << "done"; });
        connect(&session, &PublishingSession::accepted, this, [&] { got << "store"; });
        connect(&session, &PublishingSession::runningChanged, [&](bool on) { got << (on ? "on" : "off"); });
        UploadAccount account{"ftp.tienda.com", "pedro", "clave", "casa", 0, 1};
        int snapshots = 0;
        const QHash<QString, std::function<void(const QString&)>> run{
            {"open", [&](auto) { session.toggle(); }},
            {"accept", [&](auto) { session.accept(account); }},
            {"retry", [&](auto) { session.retry(); }},
            {"close", [&](auto) { session.formClosed(); }},
            {"detect", [&](auto) { detecting = true; }},
            {"snap", [&](auto) { session.setSnapshot(QString::number(++snapshots) + ".jpg"); }},
            {"tick", [&](auto) { session.tick(); }},
            {"yes", [&](auto) { client.answer = true; }},
            {"nest", [&](auto) { client.whileOpen = [&] {
                                     session.accept({"s", "u", "p", "web/casa"});
                                 }; }},
            {"counter", [&](const QString& v) { session.setGalleryCounter(v.toInt()); }},
            {"pass", [&](const QString& v) { account.password = v; }},
            {"page", [&](QString v) { account.pageName = v.replace(u'_', u' '); }},
            {"r", [&](const QString& v) { account.reloadIndex = v.toInt(); }},
            {"g", [&](const QString& v) { account.galleryIndex = v.toInt(); }},
        };
        for (const QString& step : steps.split(u' ')) {
            run[step.section(u':', 0, 0).remove(u'!')](step.section(u':', 1));
            for (int i = 0; i < 20 && !step.endsWith(u'!'); ++i)
                QCoreApplication::processEvents();
        }
        got << "=" << QVariant::fromValue(session.state()).toString();
        if (session.uploadTimer().isActive())
            got << QString::number(session.uploadTimer().interval());
        QCOMPARE(got.join(u' '), outcome);
        QCOMPARE(session.retryTimer().isActive(), session.automatic());
        QVERIFY2(message.isEmpty() || client.texts.value(client.texts.size() - 1).contains(message),
                 qPrintable(client.texts.join(u'|')));
    }
};

QTEST_GUILESS_MAIN(TestPublishingSession)
#include "TestPublishingSession.moc"
