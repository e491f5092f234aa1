// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's one source of random numbers: the sequence of an unseeded
// Qt 4/5 qrand() on Linux (POSIX rand_r on a per-thread seed that starts
// at 1), so the pieces are the same in every run.
int qrand();

// The seed is the generator's whole state: a saved game keeps it, so a
// resumed game draws the pieces it would have drawn without the break.
unsigned int qrandState();
void setQrandState(unsigned int state);
