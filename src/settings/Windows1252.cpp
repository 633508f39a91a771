// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/Windows1252.h"

#include <algorithm>
#include <iterator>

namespace {

// Bytes 0x80..0x9F. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control of the same value, as Windows itself converts them, so every byte survives a
// decode and encode.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return int(codePoint);
    const auto* found = std::find(std::begin(kHighControls), std::end(kHighControls), codePoint);
    if (found == std::end(kHighControls))
        return -1;
    return 0x80 + int(found - std::begin(kHighControls));
}

} // namespace

namespace Windows1252 {

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = uchar(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray encode(QStringView text, bool* lossless) {
    QByteArray bytes;
    bytes.reserve(text.size());
    bool exact = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        // A character outside the BMP is one character, so it becomes one '?', not two.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int b = byteFor(codePoint);
        exact = exact && b >= 0;
        bytes.append(b >= 0 ? char(b) : '?');
    }
    if (lossless)
        *lossless = exact;
    return bytes;
}

bool canEncode(QStringView text) {
    bool lossless = false;
    encode(text, &lossless);
    return lossless;
}

} // namespace Windows1252
