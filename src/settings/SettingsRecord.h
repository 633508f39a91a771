// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <optional>

// One field of the settings record that holds nothing, a 16-bit integer or a string of
// one-byte characters (Windows-1252). On disk: a 16-bit type code, then the value.
class RecordVariant {
public:
    // Stored in the file: never renumber.
    enum class Type : quint16 { Empty = 0, Integer = 2, String = 8 };

    RecordVariant() = default;
    static RecordVariant integer(qint16 value);
    static RecordVariant string(QByteArray windows1252);

    Type type() const { return m_type; }
    qint16 integerValue() const { return m_integer; }
    const QByteArray& bytes() const { return m_bytes; }

    // The number the value stands for: the integer itself, or the leading decimal number of the
    // string (blanks skipped, an optional sign, digits up to the first other character; none gives 0),
    // as the program has always read "1", "112" or "" from its records.
    qint32 numericValue() const;

    // Bytes this field takes on disk.
    int encodedSize() const;

    bool operator==(const RecordVariant&) const = default;

private:
    Type m_type = Type::Empty;
    qint16 m_integer = 0;
    QByteArray m_bytes;
};

// The fixed-length record of Pregonar.DAT. Every record number uses this layout; what the fields
// mean depends on the number (see PanelSettings.h and UploadSettings.h).
struct SettingsRecord {
    RecordVariant varA;
    RecordVariant varB;
    qint16 flagC = 0; // boolean: -1 true, 0 false
    qint32 longD = 0;
    qint16 intE = 0;
    qint16 intF = 0;

    bool operator==(const SettingsRecord&) const = default;
};

constexpr int kSettingsRecordSize = 42;

// Encodes into exactly kSettingsRecordSize bytes (little-endian, packed, the rest of the slot zero).
// Returns nullopt when the record would need more than 42 bytes; such a record is never written.
std::optional<QByteArray> encodeSettingsRecord(const SettingsRecord& record);

// Decodes one slot (at most 42 bytes are looked at). Returns nullopt for a damaged slot: too short
// for its fields, a string length running past the slot, an unknown type code.
std::optional<SettingsRecord> decodeSettingsRecord(QByteArrayView slot);
