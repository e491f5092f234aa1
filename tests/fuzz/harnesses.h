// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Shared by the fuzzers and the replay test, so a reproducer is replayed
// through exactly what found it. Each returns 0, or prints the broken
// invariant and returns 1.
int runAdAnswer(const uint8_t *data, size_t size);
// Bytes 0-3: the result (little-endian int32); the rest: the high-score file.
int runHighScores(const uint8_t *data, size_t size);
// Byte 0: bit 0 a product file exists, bit 1 a model file exists; the rest:
// product bytes, the marker FF FE FD, model bytes.
int runDeviceDescription(const uint8_t *data, size_t size);
// A saved game, read as the board reads it at start-up.
int runSavedGame(const uint8_t *data, size_t size);
// Once per process, before the first run.
void prepareFuzzing(int *argc, char ***argv);
