// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SettingsTestUtil.h"
#include "settings/Windows1252.h"

#include <QTest>

class TestSettingsRecord : public QObject {
    Q_OBJECT
private slots:
    void recordBytes_data() {
        QTest::addColumn<SettingsRecord>("record");
        QTest::addColumn<QByteArray>("bytes"); // empty: the record is not written

        const Records upload =
            encodeUploadRecords({"ftp.tiendadelbarrio.com.ar", "pedro", "abcdefgh", "casa", 3, 1});
        QTest::addRow("1: detection, counter 12, image, sounds")
            << encodePanelRecord({true, 12, true, true, 10, 30, 1000})
            << slotBytes("0800 0300 '112' 0200 0100 ffff e8030000 0a00 1e00");
        QTest::addRow("7: message, video, sound 3, right")
            << encodeBannerRecord({true, false, true, 3, 35, 2})
            << slotBytes("0200 0100 0200 0000 ffff 03000000 2300 0200");
        QTest::addRow("7: advertising, no sound") << encodeBannerRecord({false, true, false, -1, 100, 0})
                                                  << slotBytes("0200 0000 0200 0100 0000 ffffffff 6400 0000");
        QTest::addRow("2: server 1-24, slot full")
            << upload[2]
            << slotBytes("0800 0c00 'ftp.tiendade' 0800 0c00 'lbarrio.com.' 0000 00000000 0000 0000");
        QTest::addRow("3: server 25-48") << upload[3] << slotBytes("0800 0200 'ar' 0800 0000");
        QTest::addRow("4: user") << upload[4] << slotBytes("0800 0500 'pedro' 0800 0000");
        QTest::addRow("5: 8-character password") << upload[5] << slotBytes("0800 0000 0800 0800 'ebgadfch'");
        QTest::addRow("6: page, reload, gallery")
            << upload[6] << slotBytes("0800 0400 'casa' 0800 0000 0000 00000000 0300 0100");
        SettingsRecord largest;
        largest.varA = RecordVariant::string(QByteArray(26, 'x'));
        QTest::addRow("42 bytes exactly") << largest << slotBytes("0800 1a00 'xxxxxxxxxxxxxxxxxxxxxxxxxx'");
        largest.varA = RecordVariant::string(QByteArray(27, 'x'));
        QTest::addRow("43 bytes") << largest << QByteArray();
    }
    void recordBytes() {
        QFETCH(SettingsRecord, record);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeSettingsRecord(record).value_or(QByteArray()), bytes);
        if (!bytes.isEmpty())
            QVERIFY(decodeSettingsRecord(bytes) == record);
    }

    void password() {
        using Row = std::tuple<QByteArray, QByteArray, QByteArray>; // password, varA, varB
        for (const auto& [password, varA, varB] :
             {Row{"abcdefgh", "", "ebgadfch"}, Row{"abcdefghijklmn", "nm", "ebgjadiflchk"},
              Row{"ABCDEFGHIJKLMNOPQRSTUVWX", "QNSVMPURXOTW", "EBGJADIFLCHK"}}) {
            const TransposedPassword stored = transposePassword(password);
            QCOMPARE(QList({stored.varA, stored.varB}), QList({varA, varB}));
            QCOMPARE(restorePassword(varA, varB), password);
        }
    }

    void windows1252() {
        using Row = std::tuple<QString, QByteArray, bool>; // text, bytes, lossless
        for (const auto& [text, bytes, lossless] :
             {Row{"¡Año, ÑU! €‚ŒŸ", QByteArray::fromHex("a1 41 f1 6f 2c 20 d1 55 21 20 80 82 8c 9f"), true},
              Row{"\u0081\u008d\u008f\u0090\u009d", QByteArray::fromHex("81 8d 8f 90 9d"), true}, // undefined
              Row{"ł\u0080😀", "???", false}}) { // not in the code page
            bool exact = !lossless;
            QCOMPARE(Windows1252::encode(text, &exact), bytes);
            QCOMPARE(exact, lossless);
            QVERIFY(!lossless || Windows1252::decode(bytes) == text);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
