// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "audience/OpeningSchedule.h"
#include "shop/Shop.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// Every output records what it was asked, in one log.
struct Outputs final : CameraOutput, GreetingOutput, MessageOutput {
    QStringList log;
    bool greetingPlaying = false;

    void start() override { log << QStringLiteral("camera on"); }
    void stop() override { log << QStringLiteral("camera off"); }
    bool playing() override { return greetingPlaying; }
    void play() override { log << QStringLiteral("greet"); }
    void stopAll() override { log << QStringLiteral("silence"); }
    void show() override { log << QStringLiteral("message"); }
    void hide() override { log << QStringLiteral("message off"); }
};

// The picture's hide() and the video's stop() share their names with the camera's and the message's.
struct Hidden final : PictureOutput, VideoOutput {
    QStringList* log;
    explicit Hidden(QStringList* l)
        : log(l) {}
    void show(const QString& path) override { *log << QStringLiteral("picture ") + path; }
    void hide() override { *log << QStringLiteral("picture off"); }
    void play(const QString& path) override { *log << QStringLiteral("video ") + path; }
    void stop() override { *log << QStringLiteral("video off"); }
};

struct Fixture {
    Outputs out;
    Hidden media{&out.log};
    Shop shop{{&out, &out, &out, &media, &media}};
};
} // namespace

class TestShop : public QObject {
    Q_OBJECT
private slots:
    void showStartsOnlyWithSomethingToShow_data() {
        QTest::addColumn<QString>("switches"); // picture, message, video, detection, sounds
        QTest::addColumn<bool>("starts");
        QTest::addRow("sounds without detection") << "s" << false;
        QTest::addRow("detection without sounds") << "d" << false;
        QTest::addRow("greeting only") << "ds" << true;
        QTest::addRow("picture") << "p" << true;
        QTest::addRow("message") << "m" << true;
        QTest::addRow("picture and a video, no detection") << "pv" << false;
        QTest::addRow("video with detection") << "vd" << true;
    }
    void showStartsOnlyWithSomethingToShow() {
        QFETCH(QString, switches);
        QFETCH(bool, starts);
        Fixture f;
        const auto on = [&switches](char c) { return switches.contains(QLatin1Char(c)); };
        f.shop.restore({on('d'), on('p'), on('s'), on('m'), on('v'), false, "p.jpg", {}});
        QSignalSpy saves(&f.shop, &Shop::saveRequested);
        QCOMPARE(f.shop.startAdvertising(), starts);
        QCOMPARE(saves.count(), starts ? 1 : 0);
    }

    void customerIsAnswered_data() {
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("video");
        QTest::addColumn<bool>("alreadyPlaying");
        QTest::addColumn<QStringList>("first");
        QTest::addRow("greeting only") << false << false << false << QStringList{"greet"};
        QTest::addRow("greeting still playing") << false << false << true << QStringList{};
        QTest::addRow("message") << true << false << false << QStringList{"greet", "message"};
        QTest::addRow("video") << false << true << false << QStringList{"greet", "video v.webm"};
    }
    void customerIsAnswered() {
        QFETCH(bool, message);
        QFETCH(bool, video);
        QFETCH(bool, alreadyPlaying);
        Fixture f;
        f.shop.restore({true, false, true, message, video, false, {}, QStringLiteral("v.webm")});
        f.out.greetingPlaying = alreadyPlaying;
        f.out.log.clear();
        f.shop.answerCustomer(); // no show: nobody is answered
        QVERIFY(f.out.log.isEmpty());
        QVERIFY(f.shop.startAdvertising());
        if (message) {
            // The message shows from the start of the show; the customer comes after its first pass,
            // which ends with the hold-off.
            f.shop.messagePassFinished();
            QVERIFY(f.shop.holdingOff() && f.shop.watching());
            f.shop.holdOffTimer().stop();
        }
        f.out.log.clear();
        QSignalSpy away(&f.shop, &Shop::panelAwayRequested);

        f.shop.answerCustomer();
        QTEST(f.out.log, "first");
        QCOMPARE(f.shop.holdingOff(), !message && !video); // the greeting alone: quiet seconds at once
        QCOMPARE(away.count(), video ? 0 : 1);
        // Nobody else is answered: the hold-off, the message on screen or the video playing.
        f.out.log.clear();
        f.shop.answerCustomer();
        QCOMPARE(f.out.log, QStringList{});
        if (video) { // its end: the hold-off
            f.shop.videoFinished();
            QVERIFY(f.shop.holdingOff() && f.shop.watching());
            QCOMPARE(f.out.log, QStringList{"video off"});
        }
    }

    void switchesFollowEachOther() {
        Fixture f;
        Shop& shop = f.shop;
        shop.restore({});
        shop.chooseVideo({}); // a cancelled choice
        QVERIFY(!shop.videoOn());
        shop.setMessage(true);
        shop.chooseVideo(QStringLiteral("v.webm"));
        QVERIFY(shop.videoOn() && !shop.messageOn() && shop.detecting());
        shop.setMessage(true);
        QVERIFY(!shop.videoOn());
        shop.chooseVideo(QStringLiteral("v.webm"));
        shop.setDetection(false);
        QVERIFY(!shop.videoOn());
        QCOMPARE(f.out.log, (QStringList{"camera off", "camera on", "camera off"}));

        shop.setSounds(true);
        shop.choosePicture(QStringLiteral("p.jpg"));
        QVERIFY(shop.startAdvertising());
        // Locked while the show runs.
        shop.setSounds(false);
        shop.switchPictureOff();
        QVERIFY(shop.soundsOn() && shop.pictureOn());
        shop.stopAdvertising();
        shop.setSounds(false);
        shop.switchPictureOff();
        shop.choosePicture({}); // cancelled: the switch stays off, the stored path stays
        QVERIFY(!shop.soundsOn() && !shop.pictureOn() && shop.picturePath() == QStringLiteral("p.jpg"));
    }

    // A start puts the saved switches back and replays the show; the panel brought back during it
    // goes away again after a while, unless opened to stay; a close stops every output and saves
    // once, but not in the middle of the start-up: the files stay as they were.
    void restoreShowAndClose() {
        Fixture starting;
        QSignalSpy unsaved(&starting.shop, &Shop::saveRequested);
        starting.shop.bringPanelBack(); // no show: it stays
        QVERIFY(!starting.shop.autoHideTimer().isActive());
        starting.shop.close();
        QCOMPARE(unsaved.count(), 0);

        Fixture f;
        f.shop.restore({true, true, true, true, false, true, QStringLiteral("p.jpg"), {}});
        QCOMPARE(f.out.log, (QStringList{"camera off", "camera on", "picture p.jpg", "message"}));
        QSignalSpy away(&f.shop, &Shop::panelAwayRequested);
        QSignalSpy back(&f.shop, &Shop::panelBackRequested);
        f.shop.autoHideTimer().setInterval(1);
        f.shop.bringPanelBack();
        QTRY_COMPARE(away.count(), 1);
        f.shop.bringPanelBack();
        f.shop.openPanel(); // "Abrir Pregonar": it stays
        QTest::qWait(20);
        QCOMPARE(away.count(), 1);
        QCOMPARE(back.count(), 3);

        f.out.log.clear();
        QSignalSpy saves(&f.shop, &Shop::saveRequested);
        QSignalSpy closed(&f.shop, &Shop::closed);
        f.shop.close();
        f.shop.close();
        QCOMPARE(f.out.log, (QStringList{"message off", "silence", "camera off"}));
        QCOMPARE(saves.count(), 1);
        QCOMPARE(closed.count(), 1);
    }

    // Outside the opening hours the show pauses and a visitor is only counted, once per hold-off;
    // the schedule's own timer resumes it at the opening, by the injected clock.
    void showFollowsOpeningHours_data() {
        QTest::addColumn<bool>("video");
        QTest::addColumn<QStringList>("resumed");
        QTest::addColumn<QStringList>("paused");
        QTest::addRow("picture and message") << false << QStringList{"picture p.jpg", "message"}
                                             << QStringList{"picture off", "message off", "silence"};
        QTest::addRow("video playing")
            << true << QStringList{"picture p.jpg"} << QStringList{"picture off", "video off", "silence"};
    }
    void showFollowsOpeningHours() {
        QFETCH(bool, video);
        QFETCH(QStringList, resumed);
        QDateTime now(QDate(2026, 12, 7), QTime(8, 59, 59, 960)); // a Monday, open 09:00-13:00
        OpeningSchedule schedule([&now] { return now; });
        Fixture f;
        f.shop.restore({true, true, false, !video, video, false, "p.jpg", "v.webm"});
        QObject::connect(&schedule, &OpeningSchedule::openChanged, &f.shop, &Shop::setOpen);
        QSignalSpy answers(&f.shop, &Shop::customerAnswered);
        OpeningHours hours;
        hours.setDay(0, *OpeningHours::parseDay(QStringLiteral("09:00-13:00")));
        schedule.setHours(hours);
        QVERIFY(f.shop.startAdvertising() && f.shop.showPaused());
        f.out.log.clear();
        f.shop.answerCustomer();
        f.shop.answerCustomer(); // within the seven seconds: not counted again
        QVERIFY(answers.size() == 1 && answers[0][0].value<VisitAnswer>() == VisitAnswer::Closed);
        QVERIFY(f.out.log.isEmpty());

        f.shop.holdOffTimer().stop();
        QCOMPARE(schedule.timer().interval(), 40);
        now.setTime(QTime(9, 0));
        QTRY_COMPARE(f.out.log, resumed);
        f.shop.messagePassFinished(); // the message's first pass and its hold-off are over
        f.shop.holdOffTimer().stop();
        f.shop.answerCustomer();
        QCOMPARE(answers.last()[0].value<VisitAnswer>(), video ? VisitAnswer::Video : VisitAnswer::Message);
        f.out.log.clear();
        now.setTime(QTime(13, 0));
        schedule.check(); // as the once-a-minute look does
        QTEST(f.out.log, "paused");
        QVERIFY(f.shop.showPaused() && !f.shop.videoPlaying() && f.shop.watching());
    }
};

QTEST_GUILESS_MAIN(TestShop)
#include "TestShop.moc"
