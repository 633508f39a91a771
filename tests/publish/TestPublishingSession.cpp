// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/PublishingSession.h"

#include <QCoreApplication>
#include <QTest>

#include <functional>

namespace {

// Answers later, as the real client does: each login as `logins` says ('+' in, 'a' account refused,
// 'k' unknown TLS key, 'u' unsafe; then '+'), each upload as `uploads` says ('+' or '-'; then '+').
// Everything it is asked, and every result, goes into the log.
class ScriptedFtp : public FtpClient {
public:
    ScriptedFtp(QString logins, QString uploads, QStringList& log)
        : logins_(std::move(logins))
        , uploads_(std::move(uploads))
        , log_(log) {}
    bool connectToServer(const QString& server, const QString& user, const QString& password) override {
        if (server.isEmpty() || user.isEmpty() || password.isEmpty())
            return false;
        drop();
        log_ << QStringLiteral("login");
        const QChar how = logins_.isEmpty() ? u'+' : logins_.front();
        logins_.remove(0, 1);
        later([this, how] {
            const auto failure = how == u'+'   ? LoginFailure::None
                                 : how == u'k' ? LoginFailure::KeyChanged
                                 : how == u'u' ? LoginFailure::Unsafe
                                               : LoginFailure::Account;
            emit loggedIn(how == u'+', QStringLiteral("refused %1").arg(how), failure);
        });
        return true;
    }
    void upload(const QString&, const QString& remote) override {
        ++pending_;
        later([this, remote] {
            --pending_;
            const bool ok = uploads_.isEmpty() || uploads_.front() != u'-';
            uploads_.remove(0, 1);
            log_ << remote + (ok ? "" : "!");
            emit uploaded(remote, ok, ok ? QString() : QStringLiteral("553 Could not create file."));
        });
    }
    void disconnectFromServer() override { drop(), log_ << QStringLiteral("drop"); }
    int pendingUploads() const override { return pending_; }
    bool trustNewKey() override { return log_ << QStringLiteral("trust"), true; }

private:
    void drop() { ++session_, pending_ = 0; }
    void later(std::function<void()> step) {
        QTimer::singleShot(0, this, [this, step, session = session_] {
            if (session == session_)
                step();
        });
    }
    QString logins_;
    QString uploads_;
    QStringList& log_;
    int pending_ = 0;
    int session_ = 0;
};

struct Prompts : PublishingPrompts {
    QStringList& log;
    QStringList texts;
    bool answer = false;
    std::function<void()> whileOpen; // runs inside the next message box
    explicit Prompts(QStringList& l)
        : log(l) {}
    void warn(const QString& text) override {
        log << QStringLiteral("warn");
        texts << text;
        if (auto nested = std::exchange(whileOpen, {}))
            nested();
    }
    bool ask(const QString& text) override { return log << QStringLiteral("ask"), texts << text, answer; }
};

void settle() {
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

} // namespace

// The rules of publishing, step by step, against a scripted client. Steps: open and off (the globe
// button), accept (ACEPTAR; "accept!" leaves the answer for later), retry (the automatic session's
// timer), close (the dialog closed), detect, snap (a new snapshot), tick (the upload timer;
// "tick!" leaves the uploads unanswered), yes (the owner's answer), nest (another failure while a
// message is open), counter:N, and the dialog's fields pass:, page:, r: (reload) and g: (gallery).
class TestPublishingSession : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QString>("logins");
        QTest::addColumn<QString>("uploads");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("interval"); // of the upload timer, when publishing
        QTest::addColumn<QString>("message");
        const QString in = "form store login on done casa.html casa-gi.html";
        const QString again = " drop off form(auto)";
        QTest::addRow("5 s, 10 Fotos") << ""
                                       << ""
                                       << "open accept" << in << "Publishing" << 3000 << "";
        QTest::addRow("40 s, DESACTIVADO") << ""
                                           << ""
                                           << "open r:10 g:0 accept"
                                           << "form store login on done casa.html"
                                           << "Publishing" << 37000 << "";
        QTest::addRow("refused login") << "a"
                                       << ""
                                       << "open accept"
                                       << "form store login warn"
                                       << "Manual" << 0 << "Imposible conectarse al servidor.";
        QTest::addRow("empty password") << ""
                                        << ""
                                        << "open pass: accept"
                                        << "form store warn"
                                        << "Manual" << 0 << "Imposible conectarse al servidor.";
        QTest::addRow("page name") << ""
                                   << ""
                                   << "open page:web/casa accept"
                                   << "form warn"
                                   << "Manual" << 0 << "\"Archivo HTML\"";
        QTest::addRow("unstorable character")
            << ""
            << ""
            << "open pass:clave\u0142 accept"
            << "form warn"
            << "Manual" << 0 << "\"Contraseña\" contiene el carácter \"\u0142\"";
        QTest::addRow("one message at a time") << "a"
                                               << ""
                                               << "open nest accept"
                                               << "form store login warn"
                                               << "Manual" << 0 << "Imposible";
        QTest::addRow("accept ignored while connecting")
            << ""
            << ""
            << "open accept! accept" << in << "Publishing" << 3000 << "";
        QTest::addRow("closed while connecting") << ""
                                                 << ""
                                                 << "open accept! close"
                                                 << "form store login drop"
                                                 << "Off" << 0 << "";
        QTest::addRow("open twice raises") << ""
                                           << ""
                                           << "open open"
                                           << "form form"
                                           << "Manual" << 0 << "";
        QTest::addRow("off") << ""
                             << ""
                             << "open accept off" << in + " drop off"
                             << "Off" << 0 << "";
        QTest::addRow("ticks") << ""
                               << ""
                               << "open accept tick snap tick detect tick tick snap tick"
                               << in + " casa.jpg casa-001.jpg casa.jpg casa.jpg casa-002.jpg"
                               << "Publishing" << 3000 << "";
        QTest::addRow("nothing before a snapshot")
            << ""
            << ""
            << "open accept detect tick" << in << "Publishing" << 3000 << "";
        QTest::addRow("one tick at a time")
            << ""
            << ""
            << "open accept detect snap tick! tick" << in + " casa.jpg casa-001.jpg"
            << "Publishing" << 3000 << "";
        QTest::addRow("gallery off") << ""
                                     << ""
                                     << "open g:0 accept detect snap tick snap tick"
                                     << "form store login on done casa.html casa.jpg casa.jpg"
                                     << "Publishing" << 3000 << "";
        QTest::addRow("gallery wraps") << ""
                                       << ""
                                       << "counter:9 open accept detect snap tick snap tick"
                                       << in + " casa.jpg casa-010.jpg casa.jpg casa-001.jpg"
                                       << "Publishing" << 3000 << "";
        QTest::addRow("upload failure restarts")
            << ""
            << "+-"
            << "open accept retry"
            << "form store login on done casa.html casa-gi.html!" + again +
                   " store login on done casa.html "
                   "casa-gi.html"
            << "Publishing" << 3000 << "";
        QTest::addRow("automatic login fails quietly")
            << "+a"
            << "+-"
            << "open accept retry retry"
            << "form store login on done casa.html casa-gi.html!" + again +
                   " store login store login on done "
                   "casa.html casa-gi.html"
            << "Publishing" << 3000 << "";
        const QString failed = " store login on done casa.html!" + again;
        QTest::addRow("three refusals stop")
            << ""
            << "---"
            << "open g:0 accept retry retry"
            << "form store login on done casa.html!" + again + failed +
                   " store login on done casa.html! drop off warn"
            << "Off" << 0 << "\"casa.html\" al servidor FTP en 3 intentos seguidos";
        QTest::addRow("a success between")
            << ""
            << "--+---"
            << "open accept retry retry retry retry"
            << "form store login on done casa.html!" + again + " store login on done casa.html!" + again +
                   " store login on done casa.html casa-gi.html!" + again +
                   " store login on done casa.html!" + again + " store login on done casa.html! drop off warn"
            << "Off" << 0 << "553 Could not create file.";
        QTest::addRow("automatic page name ends it")
            << ""
            << "+-"
            << "open accept page:web/casa accept"
            << "form store login on done casa.html casa-gi.html!" + again + " done"
            << "Off" << 0 << "";
        QTest::addRow("automatic closed")
            << ""
            << "+-"
            << "open accept close"
            << "form store login on done casa.html casa-gi.html!" + again << "Off" << 0 << "";
        QTest::addRow("new key refused") << "k"
                                         << ""
                                         << "open accept"
                                         << "form store login ask"
                                         << "Manual" << 0 << "refused k\n\n¿Confiar en la nueva clave?";
        QTest::addRow("new key trusted")
            << "k+"
            << ""
            << "yes open accept"
            << "form store login ask trust store login on done casa.html casa-gi.html"
            << "Publishing" << 3000 << "";
        QTest::addRow("unsafe") << "u"
                                << ""
                                << "open accept"
                                << "form store login warn"
                                << "Manual" << 0 << "refused u";
        QTest::addRow("new key stops the automatic session")
            << "+k"
            << "+-"
            << "open accept retry"
            << "form store login on done casa.html casa-gi.html!" + again + " store login ask"
            << "Manual" << 0 << "¿Confiar en la nueva clave?";
    }
    void rules() {
        QFETCH(QString, logins);
        QFETCH(QString, uploads);
        QFETCH(QString, steps);
        QFETCH(QString, log);
        QFETCH(QString, state);
        QFETCH(int, interval);
        QFETCH(QString, message);
        QStringList got;
        ScriptedFtp client(logins, uploads, got);
        Prompts prompts(got);
        PublishingSession session(client, prompts, QStringLiteral("/tienda"));
        bool detecting = false;
        session.setDetecting([&] { return detecting; });
        connect(&session, &PublishingSession::formWanted, this,
                [&](bool a) { got << (a ? "form(auto)" : "form"); });
        connect(&session, &PublishingSession::formDone, this, [&] { got << "done"; });
        connect(&session, &PublishingSession::accepted, this, [&] { got << "store"; });
        connect(&session, &PublishingSession::runningChanged, this,
                [&](bool on) { got << (on ? "on" : "off"); });
        UploadAccount account{"ftp.tienda.com", "pedro", "clave", "casa", 0, 1};
        int snapshots = 0;
        for (const QString& step : steps.split(u' ')) {
            const QString value = step.section(u':', 1);
            if (step == "open" || step == "off")
                session.toggle();
            else if (step.startsWith("accept"))
                session.accept(account);
            else if (step == "retry")
                session.retry();
            else if (step == "close")
                session.formClosed();
            else if (step == "detect")
                detecting = true;
            else if (step == "snap")
                session.setSnapshot(QStringLiteral("Fotos/Foto-%1.jpg").arg(++snapshots));
            else if (step.startsWith("tick"))
                session.tick();
            else if (step == "yes")
                prompts.answer = true;
            else if (step == "nest")
                prompts.whileOpen = [&] { session.accept({"ftp.tienda.com", "pedro", "clave", "web/casa"}); };
            else if (step.startsWith("counter:"))
                session.setGalleryCounter(value.toInt());
            else if (step.startsWith("pass:"))
                account.password = value;
            else if (step.startsWith("page:"))
                account.pageName = value;
            else if (step.startsWith("r:"))
                account.reloadIndex = value.toInt();
            else if (step.startsWith("g:"))
                account.galleryIndex = value.toInt();
            if (!step.endsWith(u'!'))
                settle();
        }
        QCOMPARE(got.join(u' '), log);
        QCOMPARE(QVariant::fromValue(session.state()).toString(), state);
        QCOMPARE(session.uploadTimer().isActive(), session.running());
        QCOMPARE(session.retryTimer().isActive(), session.automatic());
        if (interval)
            QCOMPARE(session.uploadTimer().interval(), interval);
        QCOMPARE(prompts.texts.size(), int(got.count("warn") + got.count("ask")));
        if (!message.isEmpty())
            QVERIFY2(prompts.texts.last().contains(message), qPrintable(prompts.texts.last()));
    }
};

QTEST_GUILESS_MAIN(TestPublishingSession)
#include "TestPublishingSession.moc"
