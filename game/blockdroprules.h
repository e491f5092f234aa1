// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers of the rules that the board plays by and that a saved game is
// checked against.
namespace BlockDropRules {
// A new piece enters above the grid, its blocks in rows 27 to 29.
constexpr int SpawnX = 6;
constexpr int SpawnY = 28;
constexpr int PiecesPerLevel = 35;
constexpr int TimerModeSeconds = 25;
}
