// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/UploadSettings.h"

#include "settings/Windows1252.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kSlice = 12;
constexpr int kMaxServer = 4 * kSlice;
constexpr int kMaxField = 2 * kSlice;
// "Tiempo Actualización" (5 to 60 seconds) and "Galería de Imágenes" (DESACTIVADO, 10 to 200
// pictures) both offer 13 choices.
constexpr int kReloadItems = 13;
constexpr int kGalleryItems = 13;

// Password positions (1-based) in the order they are stored in record 5.
using Order = std::array<int, kSlice>;
constexpr Order kOrderA{17, 14, 19, 22, 13, 16, 21, 18, 24, 15, 20, 23};
constexpr Order kOrderB{5, 2, 7, 10, 1, 4, 9, 6, 12, 3, 8, 11};

QByteArray pick(const QByteArray& text, const Order& order) {
    QByteArray picked;
    for (const int position : order) {
        if (position <= text.size())
            picked.append(text[position - 1]);
    }
    return picked;
}

// Puts the stored characters back into the positions `order` names within the password's length.
void place(QByteArray& text, QList<bool>& filled, const QByteArray& stored, const Order& order) {
    qsizetype next = 0;
    for (const int position : order) {
        if (position <= text.size() && next < stored.size()) {
            text[position - 1] = stored[next++];
            filled[position - 1] = true;
        }
    }
}

SettingsRecord slices(const QByteArray& varA, const QByteArray& varB) {
    SettingsRecord record;
    record.varA = RecordVariant::string(varA);
    record.varB = RecordVariant::string(varB);
    return record;
}

qint16 listIndex(int index, int items) {
    return qint16(index >= 0 && index < items ? index : 0);
}

} // namespace

TransposedPassword transposePassword(const QByteArray& password) {
    return {pick(password, kOrderA), pick(password, kOrderB)};
}

QByteArray restorePassword(const QByteArray& varA, const QByteArray& varB) {
    const qsizetype length = std::min<qsizetype>(varA.size() + varB.size(), kMaxField);
    QByteArray password(length, '\0');
    QList<bool> filled(length, false);
    place(password, filled, varB, kOrderB);
    place(password, filled, varA, kOrderA);
    // Slices of a damaged record may not add up (VarA filled while VarB is short): keep the
    // characters that found a place, in order, rather than inventing the others.
    QByteArray restored;
    for (qsizetype i = 0; i < length; ++i) {
        if (filled[i])
            restored.append(password[i]);
    }
    return restored;
}

QMap<int, SettingsRecord> encodeUploadRecords(const UploadAccount& account) {
    const QByteArray server = Windows1252::encode(account.server).left(kMaxServer);
    const QByteArray user = Windows1252::encode(account.user).left(kMaxField);
    const QByteArray page = Windows1252::encode(account.pageName).left(kMaxField);
    const TransposedPassword password =
        transposePassword(Windows1252::encode(account.password).left(kMaxField));

    QMap<int, SettingsRecord> records;
    records.insert(2, slices(server.mid(0, kSlice), server.mid(kSlice, kSlice)));
    records.insert(3, slices(server.mid(2 * kSlice, kSlice), server.mid(3 * kSlice, kSlice)));
    records.insert(4, slices(user.mid(0, kSlice), user.mid(kSlice, kSlice)));
    records.insert(5, slices(password.varA, password.varB));
    SettingsRecord pageRecord = slices(page.mid(0, kSlice), page.mid(kSlice, kSlice));
    pageRecord.intE = listIndex(account.reloadIndex, kReloadItems);
    pageRecord.intF = listIndex(account.galleryIndex, kGalleryItems);
    records.insert(6, pageRecord);
    return records;
}

UploadAccount decodeUploadRecords(const QMap<int, SettingsRecord>& records) {
    // A slice that is not a string, or longer than a slice can be, comes from a damaged record; its
    // characters are not trusted beyond the slice length.
    const auto slice = [&](int number, bool second) {
        const SettingsRecord record = records.value(number);
        const RecordVariant& field = second ? record.varB : record.varA;
        return field.type() == RecordVariant::Type::String ? field.bytes().left(kSlice) : QByteArray();
    };
    const auto field = [&](int number) { return slice(number, false) + slice(number, true); };

    UploadAccount account;
    account.server = Windows1252::decode(field(2) + field(3));
    account.user = Windows1252::decode(field(4));
    account.password = Windows1252::decode(restorePassword(slice(5, false), slice(5, true)));
    account.pageName = Windows1252::decode(field(6));
    const SettingsRecord pageRecord = records.value(6);
    account.reloadIndex = listIndex(pageRecord.intE, kReloadItems);
    account.galleryIndex = listIndex(pageRecord.intF, kGalleryItems);
    return account;
}
