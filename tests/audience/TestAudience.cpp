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
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

// The audience log and the opening hours, as files a power failure or a hand may have damaged; in the
// panel, the count under the live view, the two windows, and the visit pages published next to the
// pictures on a real FTP server.
class TestAudience : public QObject {
    Q_OBJECT

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    static inline const QDate kToday{2026, 12, 7}; // a Monday
    static QByteArray today(const char* rest) {
        return QDate::currentDate().toString(Qt::ISODate).toLatin1() + rest;
    }
    // A panel whose folder holds the log and the hours given (none: no file).
    static std::unique_ptr<PanelFixture> panelWith(const QByteArray& log, const QByteArray& hours) {
        return std::make_unique<PanelFixture>([&](PanelFixture& f, PanelEnvironment&) {
            if (!write(f.path(VisitLog::kFileName), log) || !write(f.path(OpeningHours::kFileName), hours))
                qFatal("cannot prepare the folder");
        });
    }

private slots:
    void cleanup() { QVERIFY(CurlFtpClient::waitForWorkers(2s)); }

    // A visit goes at the end, on a line of its own; counts take whole, sound lines only.
    void logAppendsAndCounts_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("added"); // what the append put after `before`
        QTest::addColumn<QList<int>>("today"); // the hour of each of today's visits
        QTest::addColumn<int>("days");         // visits of the last 30 days
        QTest::addColumn<int>("skipped");
        const QByteArray visit = "2026-12-07,12:00:05,mensaje,7\n";
        QTest::addRow("new log") << QByteArray() << VisitLog::kHeader + '\n' + visit << QList<int>{12} << 1
                                 << 0;
        QTest::addRow("cut last line")
            << QByteArray("fecha,hora,respuesta,nivel\n2026-12-07,10:00:00,sonido,5\n2026-12-07,11:0")
            << "\n" + visit << QList<int>{10, 12} << 2 << 1;
        QTest::addRow("other days and damaged lines")
            << QByteArray("fecha,hora,respuesta,nivel\r\n2026-12-07,09:30:00,cerrado,3\r\n"
                          "2026-12-06,23:59:59,video,40\n2026-11-08,10:00:00,sonido,1\n"
                          "2026-11-07,10:00:00,sonido,1\nabc\n2026-12-07,25:00:00,video,3\n"
                          "2026-12-07,10:00:00,aplauso,3\n2026-12-07,10:00:00,video,\n")
            << visit << QList<int>{9, 12} << 4 << 4;
    }
    void logAppendsAndCounts() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, added);
        QTemporaryDir dir;
        const VisitLog log(dir.filePath(VisitLog::kFileName));
        QVERIFY(write(log.path(), before));
        QVERIFY(log.append(QDateTime(kToday, QTime(12, 0, 5)), VisitAnswer::Message, 7));
        QCOMPARE(readAll(log.path()), before + added);
        const VisitCounts counts = log.count(kToday);
        QList<int> today;
        for (int h = 0; h < 24; ++h)
            today += QList<int>(counts.todayByHour[size_t(h)], h);
        QTEST(today, "today");
        QTEST(counts.daysTotal(), "days");
        QTEST(counts.skippedLines, "skipped");
    }

    // The file: missing, always open; lines that cannot be kept (across midnight, overlapping), those
    // days open and a message each; written back in its own form. Open, and the next change, at and
    // around the boundaries of a week with two periods on Monday, Tuesday closed, and Sunday until
    // midnight.
    void hoursFileAndBoundaries() {
        QTemporaryDir dir;
        const QString path = dir.filePath(OpeningHours::kFileName);
        QStringList problems;
        QVERIFY(OpeningHours::read(path, &problems).alwaysOpen());
        QVERIFY(write(path, "15:00-20:00, 9:00-13:00\r\n\n22:00-02:00\n09:00-14:00,13:00-20:00\n09:00-20:00\n"
                            "10:00-14:00\n18:00-24:00"));
        const OpeningHours hours = OpeningHours::read(path, &problems);
        QCOMPARE(problems.size(), 2);
        QVERIFY(problems[0].contains(QStringLiteral("miércoles")) && problems[0].contains("medianoche"));
        QVERIFY(problems[1].contains(QStringLiteral("jueves")) && problems[1].contains("superponen"));
        QVERIFY(hours.write(path));
        QCOMPARE(
            readAll(path),
            "09:00-13:00,15:00-20:00\n\n00:00-24:00\n00:00-24:00\n09:00-20:00\n10:00-14:00\n18:00-24:00\n");

        const auto at = [](int day, int h, int m, int s = 0) {
            return QDateTime(kToday.addDays(day), QTime(h, m, s));
        };
        const QList<std::tuple<QDateTime, bool, QDateTime>> rows{
            {at(0, 8, 59, 59), false, at(0, 9, 0)},  {at(0, 9, 0), true, at(0, 13, 0)},
            {at(0, 12, 59, 59), true, at(0, 13, 0)}, {at(0, 13, 0), false, at(0, 15, 0)},
            {at(0, 20, 0), false, at(2, 0, 0)}, // Tuesday closed, Wednesday and Thursday open all day
            {at(2, 23, 0), true, at(4, 0, 0)},       {at(6, 12, 0), false, at(6, 18, 0)},
            {at(6, 23, 59, 59), true, at(7, 0, 0)}};
        for (const auto& [when, open, next] : rows) {
            QCOMPARE(hours.isOpen(when), open);
            QCOMPARE(hours.nextChange(when), next);
        }
        QVERIFY(!OpeningHours().nextChange(at(0, 12, 0)).isValid());
    }

    // Today's count under the live view opens the Visitas window; the day's counts go up with the
    // pictures at login, then at most once a minute.
    void visitPagesArePublished() {
        auto f = panelWith(VisitLog::kHeader + '\n' + today(",09:10:00,sonido,4\n") +
                               today(",09:50:00,mensaje,9\n") + today(",17:00:00,video,2\n"),
                           QByteArray(7, '\n'));
        AudienceViews& audience = f->panel->audience();
        emit audience.todayLabel()->linkActivated(QStringLiteral("#"));
        QVERIFY(audience.visitsWindow()->isVisible());
        QCOMPARE(audience.visitsWindow()->todayChart()->values().at(9), 2);

        // Closed all week: the show pauses, and the status line says so over the detector's ticks.
        f->panel->clickButton(ControlPanel::Message);
        f->panel->clickButton(ControlPanel::Advertising);
        emit f->panel->capture().compared({0, 5, false, 0, QStringLiteral("AutoMensaje NIVEL 40 (5)")});
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
        QTRY_VERIFY(readAll(remote + "csv").startsWith("fecha,hora,visitas\n" + today(",00,00,0\n")));
        QVERIFY(readAll(remote + "csv").contains(today(",09,00,2\n")));
        const QByteArray page = readAll(remote + "html");
        QVERIFY(page.contains("3 visitas") && page.contains("width:50%") && !page.contains("<script"));

        f->panel->shop().setDetection(true);
        f->panel->capture().tickTimer().stop(); // its ticks never come
        audience.audience().record(VisitAnswer::Closed);
        QCOMPARE(audience.todayLabel()->text(), QStringLiteral("<a href=\"#\">Hoy: 4 visitas</a>"));
        QVERIFY(audience.visitsWindow()->todayTitle()->text().contains(QStringLiteral("4 visitas")));
        publisher.session().tick(); // within the minute: not again
        QCOMPARE(publisher.client().pendingUploads(), 0);
        publisher.session().setVisitPagesIntervalMs(0);
        publisher.session().tick();
        QTRY_VERIFY(readAll(remote + "html").contains("4 visitas"));
    }

    // The dialog shows the file's problems, refuses what cannot be kept and says why, and keeps the
    // hours it accepts, Monday's two fields as one day.
    void hoursDialog() {
        auto f = panelWith(QByteArray(), "abc\n\n09:00-20:00\n09:00-20:00\n09:00-20:00\n10:00-14:00\n\n");
        AudienceViews& audience = f->panel->audience();
        audience.showHours();
        HoursDialog* dialog = audience.hoursDialog();
        QVERIFY(dialog->isVisible() && dialog->messageLabel()->text().contains(QStringLiteral("lunes")));
        QVERIFY(dialog->closedBox(1)->isChecked() && !dialog->periodEdit(1, 0)->isEnabled());
        dialog->periodEdit(0, 0)->setText(QStringLiteral("25:00-26:00"));
        dialog->accept();
        QVERIFY(dialog->isVisible() &&
                dialog->messageLabel()->text().startsWith("Lunes: «25:00-26:00» no es"));
        QCOMPARE(readAll(f->path(OpeningHours::kFileName)).split('\n').first(), "abc");
        dialog->periodEdit(0, 0)->setText(QStringLiteral("15:00-20:00"));
        dialog->periodEdit(0, 1)->setText(QStringLiteral("9:00-13:00"));
        dialog->accept();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(readAll(f->path(OpeningHours::kFileName)).split('\n').first(), "09:00-13:00,15:00-20:00");
    }
};

QTEST_MAIN(TestAudience)
#include "TestAudience.moc"
