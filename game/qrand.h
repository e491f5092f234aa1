// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's one source of random numbers: the sequence of an unseeded
// Qt 4/5 qrand() on Linux (POSIX rand_r on a per-thread seed that starts
// at 1), so the pieces are the same in every run.
int qrand();
