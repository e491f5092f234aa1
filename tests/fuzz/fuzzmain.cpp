// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry points; TUMBLOX_FUZZ_RUN names the harness of this target.
#include "harnesses.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    prepareFuzzing(argc, argv);
    return 0;
}

// A broken invariant is a crash to libFuzzer, so it keeps the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (TUMBLOX_FUZZ_RUN(data, size) != 0)
        std::abort();
    return 0;
}
