// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/SettingsRecord.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

// FlagC, LongD, IntE, IntF behind the two variants.
constexpr int kFixedFieldsSize = 2 + 4 + 2 + 2;
constexpr int kTypeCodeSize = 2;

static_assert(kSettingsRecordSize == 42, "the record length of files already out in the shops");
static_assert(2 * kTypeCodeSize + kFixedFieldsSize <= kSettingsRecordSize, "an empty record must fit");

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Reads little-endian fields one after the other and refuses to run past the slot.
class SlotReader {
public:
    explicit SlotReader(QByteArrayView slot)
        : m_slot(slot) {}

    template <typename T> bool number(T& value) {
        if (m_slot.size() - m_pos < qsizetype(sizeof(T)))
            return false;
        value = qFromLittleEndian<T>(m_slot.data() + m_pos);
        m_pos += sizeof(T);
        return true;
    }

    bool variant(RecordVariant& variant) {
        quint16 type = 0;
        if (!number(type))
            return false;
        switch (RecordVariant::Type(type)) {
        case RecordVariant::Type::Empty:
            variant = RecordVariant();
            return true;
        case RecordVariant::Type::Integer: {
            qint16 value = 0;
            if (!number(value))
                return false;
            variant = RecordVariant::integer(value);
            return true;
        }
        case RecordVariant::Type::String: {
            quint16 length = 0;
            if (!number(length) || m_slot.size() - m_pos < length)
                return false;
            variant = RecordVariant::string(m_slot.sliced(m_pos, length).toByteArray());
            m_pos += length;
            return true;
        }
        }
        return false; // a type code this program never writes
    }

private:
    QByteArrayView m_slot;
    qsizetype m_pos = 0;
};

template <typename T> char* put(char* out, T value) {
    qToLittleEndian(value, out);
    return out + sizeof(T);
}

char* putVariant(char* out, const RecordVariant& variant) {
    out = put(out, quint16(variant.type()));
    switch (variant.type()) {
    case RecordVariant::Type::Empty:
        break;
    case RecordVariant::Type::Integer:
        out = put(out, variant.integerValue());
        break;
    case RecordVariant::Type::String:
        out = put(out, quint16(variant.bytes().size()));
        out = std::copy(variant.bytes().cbegin(), variant.bytes().cend(), out);
        break;
    }
    return out;
}

} // namespace

RecordVariant RecordVariant::integer(qint16 value) {
    RecordVariant v;
    v.m_type = Type::Integer;
    v.m_integer = value;
    return v;
}

RecordVariant RecordVariant::string(QByteArray windows1252) {
    RecordVariant v;
    v.m_type = Type::String;
    v.m_bytes = std::move(windows1252);
    return v;
}

qint32 RecordVariant::numericValue() const {
    if (m_type == Type::Integer)
        return m_integer;
    if (m_type == Type::Empty)
        return 0;

    // Blanks are ignored wherever they stand, as the old reader did ("1 2" is 12).
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 value = 0;
    bool negative = false;
    bool signAllowed = true;
    for (const char c : m_bytes) {
        if (isBlank(c))
            continue;
        if (signAllowed && (c == '-' || c == '+')) {
            negative = c == '-';
            signAllowed = false;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        signAllowed = false;
        value = std::min(value * 10 + (c - '0'), limit);
    }
    value = negative ? -value : value;
    return qint32(
        std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

int RecordVariant::encodedSize() const {
    switch (m_type) {
    case Type::Empty:
        return kTypeCodeSize;
    case Type::Integer:
        return kTypeCodeSize + 2;
    case Type::String:
        return int(std::min<qsizetype>(kTypeCodeSize + 2 + m_bytes.size(), std::numeric_limits<int>::max()));
    }
    return kTypeCodeSize;
}

std::optional<QByteArray> encodeSettingsRecord(const SettingsRecord& record) {
    const qint64 size = qint64(record.varA.encodedSize()) + record.varB.encodedSize() + kFixedFieldsSize;
    if (size > kSettingsRecordSize)
        return std::nullopt;

    QByteArray slot(kSettingsRecordSize, '\0');
    char* out = slot.data();
    out = putVariant(out, record.varA);
    out = putVariant(out, record.varB);
    out = put(out, record.flagC);
    out = put(out, record.longD);
    out = put(out, record.intE);
    put(out, record.intF);
    return slot;
}

std::optional<SettingsRecord> decodeSettingsRecord(QByteArrayView slot) {
    SlotReader reader(slot.first(std::min<qsizetype>(slot.size(), kSettingsRecordSize)));
    SettingsRecord record;
    if (reader.variant(record.varA) && reader.variant(record.varB) && reader.number(record.flagC) &&
        reader.number(record.longD) && reader.number(record.intE) && reader.number(record.intF))
        return record;
    return std::nullopt;
}
