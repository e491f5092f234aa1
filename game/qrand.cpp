// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qrand.h"

#include <stdlib.h>

int qrand()
{
    thread_local unsigned int seed = 1;
    return rand_r(&seed);
}
