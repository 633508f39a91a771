// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SideFiles.h"
#include "settings/UploadSettings.h"
#include "settings/Windows1252.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

using Records = QMap<int, SettingsRecord>;

// Bytes written by hand from the record layout: hex, with 'quoted' runs of characters, then padded
// with `fill` to a whole slot (no padding when fill is negative).
QByteArray slotBytes(const char* layout, int fill = 0) {
    QByteArray bytes;
    const QList<QByteArray> parts = QByteArray(layout).split('\'');
    for (qsizetype i = 0; i < parts.size(); ++i)
        bytes += i % 2 ? parts[i] : QByteArray::fromHex(parts[i]);
    if (fill >= 0 && bytes.size() < kSettingsRecordSize)
        bytes.append(kSettingsRecordSize - bytes.size(), char(fill));
    return bytes;
}

const QString kData = QStringLiteral(PREGONAR_SOURCE_DIR "/tests/data/settings/");
const SettingsRecord kPanel = encodePanelRecord({true, 7, false, true, 1, 2, 300});

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool create(const QString& path, const QByteArray& bytes, int mode = 0x0644) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           file.setPermissions(QFileDevice::Permissions(mode));
}

// Saves `records`: 0 when saved, 1 when not and saying why, 2 when the outcome and the reason disagree.
int save(const SettingsFile& file, const Records& records) {
    QString error;
    const bool saved = file.write(records, &error);
    return saved == error.isEmpty() ? !saved : 2;
}

enum Writer { Here, FullDisk, AsNobody, Killed };

} // namespace

Q_DECLARE_METATYPE(Writer)

// The settings as stored: each record's bytes, the file as older programs and damage leave it, saves
// that keep every byte they do not own, and the side files.
class TestSettingsStorage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

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

    void readStoredValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<PanelRecord>("panel");
        QTest::addColumn<BannerRecord>("banner");
        QTest::addColumn<UploadAccount>("account");

        // As the older program leaves them: stale bytes after each record, the last one not padded;
        // numbers at the ends of their ranges.
        const QString older = m_dir.filePath("older.DAT");
        QVERIFY(create(older, slotBytes("0800 0600 '032767' 0200 0000 0000 88130000 3200 0000", 0xcc) +
                                  slotBytes("0800 0c00 'ftp.ejemplo.' 0800 0300 'com'", 0xcc) +
                                  slotBytes("0800 0000 0800 0000", 0x11) +
                                  slotBytes("0800 0300 'ana' 0800 0000", 0x22) +
                                  slotBytes("0800 0100 'b' 0800 0c00 'eeo2sr0tac26'", 0x33) +
                                  slotBytes("0800 0400 'casa' 0800 0000 0000 00000000 0c00 0500", 0x44) +
                                  slotBytes("0200 0000 0200 0100 0000 ff7f0000 0100 0200", -1)));
        QTest::addRow("older program's file")
            << older << PanelRecord{false, 32767, false, false, 50, 0, 5000}
            << BannerRecord{false, true, false, 32767, 1, 2}
            << UploadAccount{"ftp.ejemplo.com", "ana", "secreto2026ab", "casa", 12, 5};

        // Written by this program, every text as long as it may be.
        const QString ours = m_dir.filePath("ours.DAT");
        const UploadAccount account{QString(48, u'ñ'), "u", QString(23, u'Á') + "€",
                                    QString(24, u'p'), 12,  0};
        QVERIFY(SettingsFile(ours).write(encodeUploadRecords(account)));
        QTest::addRow("this program's file") << ours << PanelRecord{} << BannerRecord{} << account;

        const PanelRecord stored{true, 12, true, true, 10, 30, 1000};
        for (const char* file : {"missing.DAT", "empty.DAT", "cut-in-fields.DAT"})
            QTest::addRow("%s", file) << kData + file << PanelRecord{} << BannerRecord{} << UploadAccount{};
        for (const char* file : {"short-41-bytes.DAT", "unknown-type.DAT"}) // record 1 whole, record 7 not
            QTest::addRow("%s", file) << kData + file << stored << BannerRecord{} << UploadAccount{};
        QTest::addRow("length past the slot") << kData + "length-past-slot.DAT" << PanelRecord{}
                                              << BannerRecord{true, false, true, 3, 60, 1} << UploadAccount{};
        QTest::addRow("values out of range")
            << kData + "out-of-range.DAT" << PanelRecord{true, 0, true, false, 35, 20, 500}
            << BannerRecord{true, true, false, -1, 35, 0} << UploadAccount{"", "", "", "casa", 0, 0};
        QTest::addRow("variants of the wrong kind")
            << kData + "wrong-kind.DAT" << PanelRecord{false, 0, false, false, 5, 6, 200}
            << BannerRecord{false, false, false, 1, 20, 2} << UploadAccount{"abc", "", "", "", 0, 0};
    }
    void readStoredValues() {
        QFETCH(QString, file);
        const SettingsFile settings(file);
        Records upload;
        for (int n = 2; n <= 6; ++n)
            upload.insert(n, settings.read(n));
        QTEST(decodePanelRecord(settings.read(1)), "panel");
        QTEST(decodeBannerRecord(settings.read(7)), "banner");
        QTEST(decodeUploadRecords(upload), "account");
    }

    // `Here`: this process saves; `FullDisk`: past a file-size limit, where the kernel refuses bytes as
    // a full disk would; `AsNobody`: an ordinary user saves over a read-only file; `Killed`: the writer
    // dies just before the new file takes the name.
    void writeKeepsOtherBytes_data() {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<Records>("records");
        QTest::addColumn<int>("outcome"); // as save() tells it
        QTest::addColumn<QByteArray>("after");

        const QByteArray panel = *encodeSettingsRecord(kPanel);
        // Recognisable bytes in every slot, whether they decode or not, and more after the last.
        QByteArray old = "bytes past record 7";
        for (char c = 'g'; c >= 'a'; --c)
            old.prepend(kSettingsRecordSize, c);
        const SettingsRecord tooLong{RecordVariant::string(QByteArray(27, 'x')), {}, 0, 0, 0, 0};
        QTest::addRow("new file, gaps zero")
            << Here << QByteArray() << Records{{7, kPanel}} << 0 << QByteArray(6 * 42, '\0') + panel;
        QTest::addRow("records 1 and 7 only") << Here << old << Records{{1, kPanel}, {7, kPanel}} << 0
                                              << panel + old.mid(42, 5 * 42) + panel + old.mid(7 * 42);
        QTest::addRow("too long, skipped") << Here << old << Records{{1, kPanel}, {2, {}}, {3, tooLong}} << 1
                                           << panel + QByteArray(42, '\0') + old.mid(84);
        QTest::addRow("full disk") << FullDisk << old << Records{{1, kPanel}} << 1 << old;
        QTest::addRow("read-only") << AsNobody << old << Records{{1, kPanel}} << 0 << panel + old.mid(42);
        QTest::addRow("killed writer") << Killed << old << Records{{1, kPanel}} << 1 << old;
    }
    void writeKeepsOtherBytes() {
        QFETCH(Writer, writer);
        QFETCH(QByteArray, before);
        QFETCH(Records, records);
        QTemporaryDir folder; // its own: handed to another user in the read-only case
        const QString path = folder.filePath(QTest::currentDataTag());
        QVERIFY(before.isNull() || create(path, before, writer == AsNobody ? 0x0400 : 0x0644)); // read-only
        int outcome = writer == Here ? save(SettingsFile(path), records) : -1;
        if (outcome < 0) { // a copy of this program saves record 1
            QStringList command{QCoreApplication::applicationFilePath(), "--write", path,
                                QString::number(writer)};
            if (writer == FullDisk) // past this size the kernel refuses bytes as a full disk would
                command = QStringList{"prlimit", "--fsize=100"} + command;
            if (writer == AsNobody && ::geteuid() == 0) { // root writes any file, read-only or not
                command[0] = folder.filePath("writer");   // where `nobody` may run it
                QFile::copy(QCoreApplication::applicationFilePath(), command[0]);
                QProcess::execute("chown", {"-R", "nobody:nogroup", folder.path()});
                command =
                    QString("setpriv --reuid=nobody --regid=nogroup --clear-groups").split(' ') + command;
            }
            QProcess child;
            child.start(command.takeFirst(), command);
            QVERIFY(child.waitForFinished(30000));
            outcome = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
        }
        QTEST(outcome, "outcome");
        QTEST(contents(path), "after");
        if (contents(path) != before) // a new file: owner only, whatever the old one allowed
            QCOMPARE(QFile::permissions(path).toInt() & 0x7077, 0x6000); // group and others: nothing
    }

    void sideFiles_data() {
        QTest::addColumn<QString>("file");     // *.LST: a message; otherwise a path
        QTest::addColumn<QByteArray>("bytes"); // what `text` is written as; null: the file is read as found
        QTest::addColumn<QVariant>("text");    // invalid: nothing read
        QTest::addRow("three lines") << "a.LST" << QByteArray("¡Hoy!\r\nCañón\r\nÁrea\r\n")
                                     << QVariant("¡Hoy!\nCañón\nÁrea");
        QTest::addRow("empty message") << "b.LST" << QByteArray("\r\n") << QVariant("");
        QTest::addRow("path") << "c.VDO" << QByteArray("C:\\Ví\\a.mp4\r\n") << QVariant("C:\\Ví\\a.mp4");
        QTest::addRow("no break") << kData + "message-no-break.LST" << QByteArray()
                                  << QVariant("Sólo una línea");
        QTest::addRow("Windows-1252 message")
            << kData + "message-cp1252.LST" << QByteArray() << QVariant("¡Ofertas!\nCañón y teléfono");
        QTest::addRow("missing") << "missing.WPR" << QByteArray() << QVariant();
    }
    void sideFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QVariant, text);
        const bool isPath = !file.endsWith(".LST");
        const QString path = QDir(m_dir.path()).filePath(file);
        if (!bytes.isNull()) {
            QVERIFY((isPath ? SideFiles::writePath : SideFiles::writeMessage)(path, text.toString(), {}));
            QCOMPARE(contents(path), bytes);
        }
        const std::optional<QString> found = (isPath ? SideFiles::readPath : SideFiles::readMessage)(path);
        QCOMPARE(found ? QVariant(*found) : QVariant(), text);
    }
};

int main(int argc, char** argv) {
    // Rows that are not written `Here` run this binary again as their writer: it saves record 1.
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        SettingsFile file(QString::fromLocal8Bit(argv[2]));
        if (QByteArray(argv[3]).toInt() == Killed) // just before the new file takes the name
            file.setBeforeReplace([] { std::raise(SIGKILL); });
        std::signal(SIGXFSZ, SIG_IGN); // sent past a file-size limit: the write fails instead
        return save(file, {{1, kPanel}});
    }
    QCoreApplication app(argc, argv);
    TestSettingsStorage test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestSettingsStorage.moc"
