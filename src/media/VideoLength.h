// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

class QIODevice;

// Whether a video file says in its header how long it is. MP4 files written while recording
// (fragmented, with an empty header) and WebM files written as a stream do not: a player then only
// guesses their length from the first bytes, and the guess can be far too short. Files of other
// kinds, and files that cannot be read, count as saying it: their players measure the length.
bool videoStatesItsLength(QIODevice& file);
bool videoStatesItsLength(const QString& path);
