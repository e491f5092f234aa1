// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry points; TUMBLOX_FUZZ_RUN names the harness of this target.
#include "harnesses.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    prepareFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return TUMBLOX_FUZZ_RUN(data, size);
}
