// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
//
// Feeds arbitrary bytes to the settings file reader as a whole Pregonar.DAT, and checks that what
// it accepts writes back to the same values.
#include "settings/PanelSettings.h"
#include "settings/SettingsFile.h"
#include "settings/UploadSettings.h"
#include "settings/Windows1252.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition);                             \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace {

constexpr int kRecordsUsed = 7;
constexpr int kMaxSlots = 16;

int consumedSize(const SettingsRecord& r) {
    return r.varA.encodedSize() + r.varB.encodedSize() + 10;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView file(reinterpret_cast<const char*>(data), qsizetype(size));

    // The raw decoder looks at no more than one slot, whatever it is given.
    FUZZ_CHECK(decodeSettingsRecord(file) == decodeSettingsRecord(file.first(std::min<qsizetype>(size, 42))));

    QMap<int, SettingsRecord> records;
    const int slotCount =
        std::max<int>(kRecordsUsed, std::min<int>(kMaxSlots, int(size / kSettingsRecordSize) + 1));
    for (int n = 1; n <= slotCount; ++n) {
        bool ok = false;
        const SettingsRecord record = SettingsFile::recordAt(file, n, &ok);
        records.insert(n, record);
        if (!ok) {
            FUZZ_CHECK(record == SettingsRecord{});
            continue;
        }
        // A record read from a slot fits its slot again, byte for byte where its fields were.
        const std::optional<QByteArray> encoded = encodeSettingsRecord(record);
        FUZZ_CHECK(encoded && encoded->size() == kSettingsRecordSize);
        FUZZ_CHECK(decodeSettingsRecord(*encoded) == record);
        const qsizetype start = qsizetype(n - 1) * kSettingsRecordSize;
        if (start < file.size()) {
            const int used = consumedSize(record);
            FUZZ_CHECK(file.sliced(start).first(used) == QByteArrayView(*encoded).first(used));
        }
    }

    const PanelRecord panel = decodePanelRecord(records.value(1));
    const BannerRecord banner = decodeBannerRecord(records.value(7));
    FUZZ_CHECK(decodePanelRecord(encodePanelRecord(panel)) == panel);
    FUZZ_CHECK(decodeBannerRecord(encodeBannerRecord(banner)) == banner);
    const UploadAccount account = decodeUploadRecords(records);
    const QMap<int, SettingsRecord> upload = encodeUploadRecords(account);
    FUZZ_CHECK(decodeUploadRecords(upload) == account);

    // Saving records 1 to 7 over these bytes changes only their slots.
    QByteArray saved = file.toByteArray();
    QMap<int, SettingsRecord> written = upload;
    written.insert(1, encodePanelRecord(panel));
    written.insert(7, encodeBannerRecord(banner));
    FUZZ_CHECK(SettingsFile::putRecords(saved, written) == kRecordsUsed);
    const qsizetype ownedEnd = kRecordsUsed * kSettingsRecordSize;
    FUZZ_CHECK(saved.size() == std::max(file.size(), ownedEnd));
    FUZZ_CHECK(QByteArrayView(saved).sliced(ownedEnd) == file.sliced(std::min(file.size(), ownedEnd)));
    FUZZ_CHECK(decodePanelRecord(SettingsFile::recordAt(saved, 1)) == panel);
    FUZZ_CHECK(decodeBannerRecord(SettingsFile::recordAt(saved, 7)) == banner);

    // Every byte has a character in the code page and comes back from it.
    bool lossless = false;
    FUZZ_CHECK(Windows1252::encode(Windows1252::decode(file), &lossless) == file && lossless);
    return 0;
}
