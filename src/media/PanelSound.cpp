// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the greeting sound.
#include "app/Form1.h"

void Form1::CerrarTodo() {
    // Nothing plays until the sound device is attached.
}
