// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qrand.h"

#include <stdlib.h>

namespace {
thread_local unsigned int seed = 1;
}

int qrand()
{
    return rand_r(&seed);
}

unsigned int qrandState()
{
    return seed;
}

void setQrandState(unsigned int state)
{
    seed = state;
}
