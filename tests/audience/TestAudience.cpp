// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/OpeningHours.h"
#include "audience/VisitLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The audience log and the opening hours, as files a power failure or a hand may have damaged.
class TestAudience : public QObject {
    Q_OBJECT

    static inline const QDate kToday{2026, 12, 7}; // a Monday

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    // A visit goes at the end, on a line of its own; counts take whole, sound lines only.
    void logAppendsAndCounts_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("added"); // what the append put after `before`
        QTest::addColumn<QString>("hours");    // today's counts by hour, "hour:count" where not 0
        QTest::addColumn<int>("days");         // visits of the last 30 days
        QTest::addColumn<int>("skipped");
        const QByteArray visit = "2026-12-07,12:00:05,mensaje,7\n";
        QTest::addRow("new log") << QByteArray() << "fecha,hora,respuesta,nivel\n" + visit << "12:1" << 1
                                 << 0;
        QTest::addRow("cut last line")
            << QByteArray("fecha,hora,respuesta,nivel\n2026-12-07,10:00:00,sonido,5\n2026-12-07,11:0")
            << "\n" + visit << "10:1 12:1" << 2 << 1;
        QTest::addRow("other days and damaged lines")
            << QByteArray("fecha,hora,respuesta,nivel\r\n2026-12-07,09:30:00,cerrado,3\r\n"
                          "2026-12-06,23:59:59,video,40\n2026-11-08,10:00:00,sonido,1\n"
                          "2026-11-07,10:00:00,sonido,1\nabc\n2026-12-07,25:00:00,video,3\n"
                          "2026-12-07,10:00:00,aplauso,3\n2026-12-07,10:00:00,video,\n")
            << visit << "9:1 12:1" << 4 << 4;
    }
    void logAppendsAndCounts() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, added);
        QFETCH(QString, hours);
        QFETCH(int, days);
        QFETCH(int, skipped);
        QTemporaryDir dir;
        const VisitLog log(dir.filePath(VisitLog::kFileName));
        if (!before.isNull())
            QVERIFY(write(log.path(), before));
        QVERIFY(log.append(QDateTime(kToday, QTime(12, 0, 5)), VisitAnswer::Message, 7));
        QCOMPARE(read(log.path()), before + added);
        const VisitCounts counts = log.count(kToday);
        QStringList seen;
        for (int h = 0; h < 24; ++h) {
            if (counts.todayByHour[size_t(h)])
                seen << QStringLiteral("%1:%2").arg(h).arg(counts.todayByHour[size_t(h)]);
        }
        QCOMPARE(seen.join(u' '), hours);
        QCOMPARE(counts.daysTotal(), days);
        QCOMPARE(counts.skippedLines, skipped);
    }

    // One line of Pregonar.HOR: read back in the file's own form, or refused with a reason.
    void dayLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("read"); // empty with `refused`: closed
        QTest::addColumn<bool>("refused");
        QTest::addRow("closed") << ""
                                << "" << false;
        QTest::addRow("two periods, out of order") << " 15:00-20:00, 9:00-13:00"
                                                   << "09:00-13:00,15:00-20:00" << false;
        QTest::addRow("until midnight") << "18:00-24:00"
                                        << "18:00-24:00" << false;
        QTest::addRow("across midnight") << "22:00-02:00"
                                         << "" << true;
        QTest::addRow("overlapping") << "09:00-13:00,12:30-14:00"
                                     << "" << true;
        QTest::addRow("three periods") << "08:00-09:00,10:00-11:00,12:00-13:00"
                                       << "" << true;
        QTest::addRow("hour out of range") << "25:00-26:00"
                                           << "" << true;
        QTest::addRow("not a time") << "abc"
                                    << "" << true;
    }
    void dayLines() {
        QFETCH(QString, line);
        QFETCH(QString, read);
        QFETCH(bool, refused);
        QString problem;
        const auto day = OpeningHours::parseDay(line, &problem);
        QCOMPARE(!day, refused);
        QCOMPARE(problem.isEmpty(), !refused);
        if (day)
            QCOMPARE(OpeningHours::dayText(*day), read);
    }

    // The file: missing, always open; a damaged line, that day open and one message; written and
    // read back the same. Open and the next change at and around the boundaries of a Monday with two
    // periods, a closed Tuesday.
    void hoursFileAndBoundaries() {
        QTemporaryDir dir;
        const QString path = dir.filePath(OpeningHours::kFileName);
        QStringList problems;
        QVERIFY(OpeningHours::read(path, &problems).alwaysOpen());
        QVERIFY(write(path, "09:00-13:00,15:00-20:00\n\nabc\n09:00-20:00\n09:00-20:00\n10:00-14:00\n\n"));
        const OpeningHours hours = OpeningHours::read(path, &problems);
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems[0].contains(QStringLiteral("miércoles")));
        QVERIFY(hours.day(2).allDay && !hours.day(1).allDay && hours.day(1).periods.isEmpty());
        QVERIFY(hours.write(path));
        QCOMPARE(OpeningHours::read(path), hours);

        const auto at = [](int day, int h, int m, int s = 0) {
            return QDateTime(kToday.addDays(day), QTime(h, m, s));
        };
        const QList<std::tuple<QDateTime, bool, QDateTime>> rows{
            {at(0, 8, 59, 59), false, at(0, 9, 0)},  {at(0, 9, 0), true, at(0, 13, 0)},
            {at(0, 12, 59, 59), true, at(0, 13, 0)}, {at(0, 13, 0), false, at(0, 15, 0)},
            {at(0, 20, 0), false, at(2, 0, 0)}, // Tuesday closed, Wednesday open all day
            {at(2, 23, 0), true, at(3, 0, 0)},       {at(6, 12, 0), false, at(7, 9, 0)}};
        for (const auto& [when, open, next] : rows) {
            QCOMPARE(hours.isOpen(when), open);
            QCOMPARE(hours.nextChange(when), next);
        }
        QVERIFY(!OpeningHours().nextChange(at(0, 12, 0)).isValid());
    }
};

QTEST_GUILESS_MAIN(TestAudience)
#include "TestAudience.moc"
