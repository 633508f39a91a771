// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of the shops' machines: one byte per character.
namespace Windows1252 {
QString decode(QByteArrayView bytes);
// Characters that have no byte in the code page become '?' and make *lossless false.
QByteArray encode(QStringView text, bool* lossless = nullptr);
bool canEncode(QStringView text);
} // namespace Windows1252
