// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/AudienceViews.h"
#include "audience/HoursDialog.h"
#include "audience/VisitsWindow.h"
#include "capture/Capture.h"
#include "fakes/PanelFixture.h"
#include "platform/CurlFtpClient.h"
#include "platform/FtpTestServer.h"
#include "publish/FtpDialog.h"
#include "publish/Publisher.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

// The visits and the opening hours in the panel: the count under the live view, the two windows, and
// the visit pages published next to the pictures on a real FTP server.
class TestVisitsOnline : public QObject {
    Q_OBJECT

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray today(const char* rest) {
        return QDate::currentDate().toString(Qt::ISODate).toLatin1() + rest;
    }
    static std::unique_ptr<PanelFixture> panelWith(const QByteArray& log, const QByteArray& hours) {
        return std::make_unique<PanelFixture>([&](PanelFixture& f, PanelEnvironment& env) {
            QFile(f.path(VisitLog::kFileName)).open(QIODevice::WriteOnly);
            QFile visits(f.path(VisitLog::kFileName));
            QFile hoursFile(f.path(OpeningHours::kFileName));
            if (!visits.open(QIODevice::WriteOnly) || visits.write(log) != log.size() ||
                (!hours.isNull() &&
                 (!hoursFile.open(QIODevice::WriteOnly) || hoursFile.write(hours) != hours.size())))
                qFatal("cannot prepare the folder");
            env.ftpFactory = [&f] { // the real client, quick to give up
                auto client = std::make_unique<CurlFtpClient>(f.path(QStringLiteral("Pregonar.TLS")));
                client->setTimeouts({2s, 1s, 4'000ms, 100, 2s});
                return client;
            };
        });
    }

private slots:
    void cleanup() { QVERIFY(CurlFtpClient::waitForWorkers(2s)); }

    // The day's counts go up with the pictures at login, then at most once a minute.
    void visitPagesArePublished() {
        auto f = panelWith(VisitLog::kHeader + '\n' + today(",09:10:00,sonido,4\n") +
                               today(",09:50:00,mensaje,9\n") + today(",17:00:00,video,2\n"),
                           {});
        AudienceViews& audience = f->panel->audience();
        QCOMPARE(audience.todayLabel()->text(), QStringLiteral("<a href=\"#\">Hoy: 3 visitas</a>"));
        emit audience.todayLabel()->linkActivated(QStringLiteral("#"));
        QVERIFY(audience.visitsWindow()->isVisible());
        QCOMPARE(audience.visitsWindow()->todayChart()->values().at(9), 2);

        // Closed all week: the show pauses, and the status line says so over the detector's ticks.
        f->panel->clickButton(ControlPanel::Message);
        f->panel->clickButton(ControlPanel::Advertising);
        OpeningHours closed;
        for (int day = 0; day < 7; ++day)
            closed.setDay(day, {false, {}});
        audience.schedule().setHours(closed);
        emit f->panel->capture().compared({0, 5, false, QStringLiteral("AutoMensaje NIVEL 40 (5)")});
        QCOMPARE(f->panel->statusLabel()->text(), QStringLiteral("Fuera de horario"));
        QVERIFY(!f->panel->shop().messageShowing());
        audience.schedule().setHours({});
        QVERIFY(f->panel->shop().messageShowing());
        f->panel->clickButton(ControlPanel::Advertising);

        FtpTestServer server(FtpTestServer::Kind::Plain);
        QVERIFY(server.start());
        Publisher& publisher = f->panel->publisher();
        f->panel->clickButton(ControlPanel::Publish);
        publisher.dialog()->setAccount({server.address(), server.user(), server.password(), "casa", 0, 0});
        publisher.dialog()->labelClicked(FtpDialog::kAccept);
        const QString remote = server.uploadDir() + QStringLiteral("/casa-visitas.");
        QTRY_VERIFY(readAll(remote + "csv").contains(today(",09,00,2\n")));
        QVERIFY(readAll(remote + "csv").startsWith("fecha,hora,visitas\n"));
        const QByteArray page = readAll(remote + "html");
        QVERIFY(page.contains("3 visitas") && page.contains("width:50%") && !page.contains("<script"));

        f->panel->shop().setDetection(true);
        f->panel->capture().tickTimer().stop(); // its ticks never come
        audience.audience().record(VisitAnswer::Closed);
        QCOMPARE(audience.todayLabel()->text(), QStringLiteral("<a href=\"#\">Hoy: 4 visitas</a>"));
        QCOMPARE(audience.visitsWindow()->todayTitle()->text().contains(QStringLiteral("4 visitas")), true);
        publisher.session().tick(); // within the minute: not again
        QCOMPARE(publisher.client().pendingUploads(), 0);
        publisher.session().setVisitPagesIntervalMs(0);
        publisher.session().tick();
        QTRY_VERIFY(readAll(remote + "html").contains("4 visitas"));
    }

    // The dialog refuses what cannot be kept, says why, and keeps the hours it accepts.
    void hoursDialog_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("refusal");   // empty: accepted
        QTest::addColumn<QByteArray>("monday"); // the file's first line
        QTest::addRow("two periods") << "09:00-13:00"
                                     << "15:00-20:00"
                                     << "" << QByteArray("09:00-13:00,15:00-20:00");
        QTest::addRow("across midnight") << "22:00-02:00"
                                         << ""
                                         << "medianoche" << QByteArray("abc");
        QTest::addRow("overlapping") << "09:00-14:00"
                                     << "13:00-20:00"
                                     << "superponen" << QByteArray("abc");
    }
    void hoursDialog() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, monday);
        auto f = panelWith(QByteArray(), "abc\n\n09:00-20:00\n09:00-20:00\n09:00-20:00\n10:00-14:00\n\n");
        AudienceViews& audience = f->panel->audience();
        QVERIFY(audience.schedule().hours().day(0).allDay); // the damaged Monday: open
        audience.showHours();
        HoursDialog* dialog = audience.hoursDialog();
        QVERIFY(dialog->isVisible() && dialog->messageLabel()->text().contains(QStringLiteral("lunes")));
        QVERIFY(dialog->closedBox(1)->isChecked() && !dialog->periodEdit(1, 0)->isEnabled());
        dialog->periodEdit(0, 0)->setText(first);
        dialog->periodEdit(0, 1)->setText(second);
        dialog->accept();
        QCOMPARE(dialog->isVisible(), !refusal.isEmpty());
        if (!refusal.isEmpty())
            QVERIFY2(dialog->messageLabel()->text().contains(refusal),
                     qPrintable(dialog->messageLabel()->text()));
        QCOMPARE(readAll(f->path(OpeningHours::kFileName)).split('\n').first(), monday);
    }
};

QTEST_MAIN(TestVisitsOnline)
#include "TestVisitsOnline.moc"
