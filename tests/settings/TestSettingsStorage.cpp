// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SettingsFile.h"
#include "settings/SettingsTestUtil.h"
#include "settings/SideFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString kData = QStringLiteral(PREGONAR_SOURCE_DIR "/tests/data/settings/");
const SettingsRecord kPanel = encodePanelRecord({true, 7, false, true, 1, 2, 300});
const SettingsRecord kBanner = encodeBannerRecord({true, true, false, 4, 50, 1});

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void create(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray filler(int count) { // recognisable bytes in every slot, whether they decode or not
    QByteArray bytes;
    for (int n = 0; n < count; ++n)
        bytes.append(kSettingsRecordSize, char('a' + n));
    return bytes;
}

// The child of killedWriterKeepsOldFile: saves, then stalls just before the new file takes the name.
int slowWriter(const QString& path) {
    SettingsFile file(path);
    file.setBeforeReplace([] {
        std::fputs("written\n", stdout);
        std::fflush(stdout);
        QThread::sleep(60);
    });
    return file.write({{1, kPanel}}) ? 0 : 1;
}

// Writes record 1 as an ordinary user would: root writes any file, read-only or not, so as root
// the write runs in a copy of this program as `nobody`, on a folder of its own.
bool writeAsOrdinaryUser(const QString& path) {
    if (::geteuid() != 0)
        return SettingsFile(path).write({{1, kPanel}});
    const QString copy = QFileInfo(path).dir().filePath("writer");
    QFile::copy(QCoreApplication::applicationFilePath(), copy);
    QProcess::execute("chown", {"-R", "nobody:nogroup", QFileInfo(path).absolutePath()});
    return QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", copy,
                                         "--write", path}) == 0;
}

} // namespace

class TestSettingsStorage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void readStoredValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<PanelRecord>("panel");
        QTest::addColumn<BannerRecord>("banner");
        QTest::addColumn<UploadAccount>("account");

        // As the older program leaves them: stale bytes after each record, the last one not padded.
        const QString older = m_dir.filePath("older.DAT");
        create(older, slotBytes("0800 0200 '03' 0200 0000 0000 64000000 3200 0000", 0xcc) +
                          slotBytes("0800 0c00 'ftp.ejemplo.' 0800 0300 'com'", 0xcc) +
                          slotBytes("0800 0000 0800 0000", 0x11) +
                          slotBytes("0800 0300 'ana' 0800 0000", 0x22) +
                          slotBytes("0800 0100 'b' 0800 0c00 'eeo2sr0tac26'", 0x33) +
                          slotBytes("0800 0400 'casa' 0800 0000 0000 00000000 0c00 0500", 0x44) +
                          slotBytes("0200 0000 0200 0100 0000 ffffffff 0100 0100", -1));
        QTest::addRow("older program's file")
            << older << PanelRecord{false, 3, false, false, 50, 0, 100}
            << BannerRecord{false, true, false, -1, 1, 1}
            << UploadAccount{"ftp.ejemplo.com", "ana", "secreto2026ab", "casa", 12, 5};

        // Written by this program with every value at a limit of its range.
        const QString ours = m_dir.filePath("ours.DAT");
        const PanelRecord panel{true, 32767, true, true, 50, 0, 5000};
        const BannerRecord banner{true, true, true, 32767, 1, 2};
        const UploadAccount account{QString(48, u'ñ'), "u", "ÁBCDEFGHIJKLMNOPQRSTUVW€",
                                    QString(24, u'p'), 12,  0};
        Records records = encodeUploadRecords(account);
        records.insert(1, encodePanelRecord(panel));
        records.insert(7, encodeBannerRecord(banner));
        QVERIFY(SettingsFile(ours).write(records));
        QTest::addRow("this program's file") << ours << panel << banner << account;

        const PanelRecord stored{true, 12, true, true, 10, 30, 1000};
        for (const char* file : {"missing.DAT", "empty.DAT", "cut-in-fields.DAT"})
            QTest::addRow("%s", file) << kData + file << PanelRecord{} << BannerRecord{} << UploadAccount{};
        QTest::addRow("41 bytes, record 1 whole")
            << kData + "short-41-bytes.DAT" << stored << BannerRecord{} << UploadAccount{};
        QTest::addRow("length past the slot") << kData + "length-past-slot.DAT" << PanelRecord{}
                                              << BannerRecord{true, false, true, 3, 60, 1} << UploadAccount{};
        QTest::addRow("unknown variant type")
            << kData + "unknown-type.DAT" << stored << BannerRecord{} << UploadAccount{};
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

    void writeKeepsOtherBytes_data() {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<Records>("records");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("after");

        const QByteArray panel = *encodeSettingsRecord(kPanel);
        const QByteArray banner = *encodeSettingsRecord(kBanner);
        const QByteArray old = filler(7) + "bytes past record 7";
        const SettingsRecord tooLong{RecordVariant::string(QByteArray(27, 'x')), {}, 0, 0, 0, 0};
        QTest::addRow("new file, gaps zero")
            << QByteArray() << false << Records{{7, kBanner}} << true << QByteArray(6 * 42, '\0') + banner;
        QTest::addRow("records 1 and 7 only") << old << false << Records{{1, kPanel}, {7, kBanner}} << true
                                              << panel + old.mid(42, 5 * 42) + banner + old.mid(7 * 42);
        QTest::addRow("read-only file") << old << true << Records{{1, kPanel}} << true << panel + old.mid(42);
        QTest::addRow("too long, skipped") << old << false << Records{{1, kPanel}, {2, {}}, {3, tooLong}}
                                           << false << panel + QByteArray(42, '\0') + old.mid(84);
    }
    void writeKeepsOtherBytes() {
        QFETCH(QByteArray, before);
        QFETCH(bool, readOnly);
        QFETCH(Records, records);
        QFETCH(bool, result);
        QTemporaryDir folder; // its own: handed to another user in the read-only case
        const QString path = folder.filePath(QTest::currentDataTag());
        if (!before.isNull()) {
            create(path, before);
            QVERIFY(QFile::setPermissions(path, readOnly ? QFileDevice::ReadOwner
                                                         : QFileDevice::Permissions(0x0644)));
        }
        if (readOnly) {
            QCOMPARE(writeAsOrdinaryUser(path), result);
            if (::geteuid() == 0) // the new file is the writer's: it ran as that user
                QCOMPARE(QFileInfo(path).owner(), QStringLiteral("nobody"));
        } else {
            QString error;
            QCOMPARE(SettingsFile(path).write(records, &error), result);
            QCOMPARE(error.isEmpty(), result);
        }
        QTEST(contents(path), "after");
        QCOMPARE(QFile::permissions(path) & QFileDevice::Permissions(0x7077), // owner, group, others
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void failedSaveKeepsOldFile() {
        // A real write failure on demand: past a file-size limit the kernel refuses bytes as a full
        // disk would (and sends SIGXFSZ, which must not end the test).
        const QString path = m_dir.filePath("full-disk.DAT");
        create(path, filler(7));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit saved = limit;
        limit.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        QString error;
        const bool written = SettingsFile(path).write({{1, kPanel}}, &error);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(contents(path), filler(7));
        QCOMPARE(QDir(m_dir.path()).entryList({"full-disk.DAT*"}), QStringList{"full-disk.DAT"});
    }

    void killedWriterKeepsOldFile() {
        const QString path = m_dir.filePath("killed.DAT");
        create(path, filler(7));
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {"--slow-writer", path});
        QVERIFY(writer.waitForReadyRead(30000));
        QCOMPARE(writer.readLine(), QByteArray("written\n"));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QCOMPARE(contents(path), filler(7));
        QCOMPARE(QDir(m_dir.path()).entryList({"full-disk.DAT*"}),
                 QStringList{"full-disk.DAT"}); // its new content was complete
    }

    void sideFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("isPath");
        QTest::addColumn<QByteArray>("bytes"); // what `text` is written as; null: the file is read as found
        QTest::addColumn<QVariant>("text");    // invalid: nothing read

        QTest::addRow("three lines") << "a.LST" << false
                                     << QByteArray(
                                            "¡Ofertas de hoy!\r\nCañón: 15% menos\r\nÁrea de cómputo\r\n")
                                     << QVariant("¡Ofertas de hoy!\nCañón: 15% menos\nÁrea de cómputo");
        QTest::addRow("empty message") << "b.LST" << false << QByteArray("\r\n") << QVariant("");
        QTest::addRow("path") << "c.VDO" << true << QByteArray("C:\\Vídeos\\oferta.mp4\r\n")
                              << QVariant("C:\\Vídeos\\oferta.mp4");
        QTest::addRow("no line break")
            << kData + "message-no-break.LST" << false << QByteArray() << QVariant("Sólo una línea");
        QTest::addRow("Windows-1252 message") << kData + "message-cp1252.LST" << false << QByteArray()
                                              << QVariant("¡Ofertas!\nCañón y teléfono");
        QTest::addRow("Windows-1252 path") << kData + "path-cp1252.WPR" << true << QByteArray()
                                           << QVariant("C:\\Mis Imágenes\\año nuevo.jpg");
        QTest::addRow("missing") << "missing.WPR" << true << QByteArray() << QVariant();
    }
    void sideFiles() {
        QFETCH(QString, file);
        QFETCH(bool, isPath);
        QFETCH(QByteArray, bytes);
        QFETCH(QVariant, text);
        const QString path = QDir(m_dir.path()).filePath(file);
        if (!bytes.isNull()) {
            const QString value = text.toString();
            QVERIFY(isPath ? SideFiles::writePath(path, value) : SideFiles::writeMessage(path, value));
            QCOMPARE(contents(path), bytes);
        }
        const std::optional<QString> read = isPath ? SideFiles::readPath(path) : SideFiles::readMessage(path);
        QCOMPARE(read ? QVariant(*read) : QVariant(), text);
    }
};

int main(int argc, char** argv) {
    // The killed-writer and read-only tests run this binary again as their writer.
    if (argc == 3 && qstrcmp(argv[1], "--slow-writer") == 0)
        return slowWriter(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--write") == 0)
        return SettingsFile(QString::fromLocal8Bit(argv[2])).write({{1, kPanel}}) ? 0 : 1;
    QCoreApplication app(argc, argv);
    TestSettingsStorage test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestSettingsStorage.moc"
