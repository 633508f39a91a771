// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "media/VideoLength.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace {

constexpr int MaxElements = 256; // a header is a handful of elements; a damaged file ends the walk

// ---------------------------------------------------------------- MP4 / QuickTime

struct Box {
    quint32 type = 0;
    qint64 body = 0; // offset of the contents
    qint64 end = 0;  // offset after the box
};

constexpr quint32 fourcc(const char (&s)[5]) {
    return quint32(quint8(s[0])) << 24 | quint32(quint8(s[1])) << 16 | quint32(quint8(s[2])) << 8 |
           quint32(quint8(s[3]));
}

bool readBox(QIODevice& file, qint64 at, qint64 limit, Box& box) {
    uchar head[16];
    if (at + 8 > limit || !file.seek(at) || file.read(reinterpret_cast<char*>(head), 8) != 8) {
        return false;
    }
    quint64 size = qFromBigEndian<quint32>(head);
    box.type = qFromBigEndian<quint32>(head + 4);
    box.body = at + 8;
    if (size == 1) {
        if (file.read(reinterpret_cast<char*>(head + 8), 8) != 8) {
            return false;
        }
        size = qFromBigEndian<quint64>(head + 8);
        box.body = at + 16;
    } else if (size == 0) {
        size = quint64(limit - at); // to the end
    }
    if (size < quint64(box.body - at) || size > quint64(limit - at)) {
        return false;
    }
    box.end = at + qint64(size);
    return true;
}

// The duration field of an `mvhd` or `mehd` box: after the version, the flags and (for `mvhd`) the
// two dates and the time scale. Zero or all ones: not known.
bool durationField(QIODevice& file, const Box& box, int offset32, int offset64) {
    uchar version = 0;
    if (!file.seek(box.body) || !file.getChar(reinterpret_cast<char*>(&version))) {
        return false;
    }
    uchar value[8];
    const bool wide = version == 1;
    const int offset = wide ? offset64 : offset32;
    const int size = wide ? 8 : 4;
    if (box.body + offset + size > box.end || !file.seek(box.body + offset) ||
        file.read(reinterpret_cast<char*>(value), size) != size) {
        return false;
    }
    const quint64 duration = wide ? qFromBigEndian<quint64>(value) : qFromBigEndian<quint32>(value);
    return duration != 0 && duration != (wide ? ~quint64(0) : quint64(~quint32(0)));
}

bool mp4StatesItsLength(QIODevice& file) {
    const qint64 size = file.size();
    Box top;
    qint64 at = 0;
    for (int i = 0; i < MaxElements && readBox(file, at, size, top); ++i, at = top.end) {
        if (top.type != fourcc("moov")) {
            continue;
        }
        Box child;
        qint64 inner = top.body;
        for (int j = 0; j < MaxElements && readBox(file, inner, top.end, child); ++j, inner = child.end) {
            if (child.type == fourcc("mvhd") && durationField(file, child, 16, 24)) {
                return true;
            }
            if (child.type == fourcc("mvex")) {
                Box grandchild;
                for (qint64 k = child.body; readBox(file, k, child.end, grandchild); k = grandchild.end) {
                    if (grandchild.type == fourcc("mehd") && durationField(file, grandchild, 4, 4)) {
                        return true;
                    }
                }
            }
        }
        return false;
    }
    return true; // no header found: not for this check to judge
}

// ---------------------------------------------------------------- Matroska / WebM

constexpr quint32 EbmlId = 0x1A45DFA3;
constexpr quint32 SegmentId = 0x18538067;
constexpr quint32 InfoId = 0x1549A966;
constexpr quint32 DurationId = 0x4489;
constexpr quint32 ClusterId = 0x1F43B675;
constexpr quint64 UnknownSize = ~quint64(0);

// A variable-length number: its length is told by the first set bit of the first byte. Ids keep
// that marker bit, sizes drop it; a size of all ones means "unknown".
bool readVint(QIODevice& file, bool keepMarker, quint64& value) {
    uchar first = 0;
    if (!file.getChar(reinterpret_cast<char*>(&first)) || first == 0) {
        return false;
    }
    int length = 1;
    while (!(first & (0x80 >> (length - 1)))) {
        ++length;
    }
    value = keepMarker ? first : first & (0xFF >> length);
    bool allOnes = value == quint64(0xFF >> length);
    for (int i = 1; i < length; ++i) {
        uchar next = 0;
        if (!file.getChar(reinterpret_cast<char*>(&next))) {
            return false;
        }
        value = value << 8 | next;
        allOnes = allOnes && next == 0xFF;
    }
    if (!keepMarker && allOnes) {
        value = UnknownSize;
    }
    return true;
}

bool readElement(QIODevice& file, quint32& id, quint64& size) {
    quint64 wide = 0;
    if (!readVint(file, true, wide) || wide > 0xFFFFFFFF || !readVint(file, false, size)) {
        return false;
    }
    id = quint32(wide);
    return true;
}

// Moves past `size` bytes; false when they are not there.
bool skip(QIODevice& file, quint64 size) {
    return size != UnknownSize && size <= quint64(file.size() - file.pos()) &&
           file.seek(file.pos() + qint64(size));
}

bool infoStatesLength(QIODevice& file, qint64 end) {
    quint32 id = 0;
    quint64 size = 0;
    for (int i = 0; i < MaxElements && file.pos() < end && readElement(file, id, size); ++i) {
        if (size == UnknownSize || size > quint64(end - file.pos())) {
            return false;
        }
        if (id == DurationId && (size == 4 || size == 8)) {
            uchar value[8];
            if (file.read(reinterpret_cast<char*>(value), qint64(size)) != qint64(size)) {
                return false;
            }
            double duration = 0;
            if (size == 4) {
                const quint32 bits = qFromBigEndian<quint32>(value);
                float f = 0;
                std::memcpy(&f, &bits, sizeof f);
                duration = f;
            } else {
                const quint64 bits = qFromBigEndian<quint64>(value);
                std::memcpy(&duration, &bits, sizeof duration);
            }
            return duration > 0;
        }
        if (!skip(file, size)) {
            return false;
        }
    }
    return false;
}

bool matroskaStatesItsLength(QIODevice& file) {
    quint32 id = 0;
    quint64 size = 0;
    if (!file.seek(0) || !readElement(file, id, size) || id != EbmlId || !skip(file, size) ||
        !readElement(file, id, size) || id != SegmentId) {
        return true; // not a file this check knows
    }
    for (int i = 0; i < MaxElements && readElement(file, id, size); ++i) {
        if (id == InfoId) {
            return size != UnknownSize && size <= quint64(file.size() - file.pos()) &&
                   infoStatesLength(file, file.pos() + qint64(size));
        }
        // The segment's information comes before the first picture: none by then, no length.
        if (id == ClusterId || !skip(file, size)) {
            return false;
        }
    }
    return false;
}

} // namespace

bool videoStatesItsLength(QIODevice& file) {
    char magic[8];
    if (!file.seek(0) || file.read(magic, 8) != 8) {
        return true;
    }
    if (qFromBigEndian<quint32>(magic) == EbmlId) {
        return matroskaStatesItsLength(file);
    }
    const quint32 type = qFromBigEndian<quint32>(magic + 4);
    if (type == fourcc("ftyp") || type == fourcc("moov") || type == fourcc("mdat") ||
        type == fourcc("free") || type == fourcc("wide") || type == fourcc("skip")) {
        return mp4StatesItsLength(file);
    }
    return true;
}

bool videoStatesItsLength(const QString& path) {
    QFile file(path);
    return !file.open(QIODevice::ReadOnly) || videoStatesItsLength(file);
}
