// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SettingsFile.h"
#include "settings/SettingsTestUtil.h"
#include "settings/SideFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

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

class TestSettingsStorage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
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
