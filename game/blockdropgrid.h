// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

class BlockDropPiece;

// The 12 x 26 grid of settled blocks and its mechanics: collision, fixing a
// resting piece, and one pass of the clearing cascade. Plain C++; the board
// widget owns one and adds timers, signals and painting around it.
class BlockDropGrid
{
public:
    static constexpr int BoardWidth = 12;
    static constexpr int BoardHeight = 26;

    void clear();
    // Column x from the left, row y from the bottom; outside the grid reads as 0.
    int cellAt(int x, int y) const;
    // Writes inside the grid only.
    void setCell(int x, int y, int color);

    // Whether the piece fits with its origin at column x, row y. Rows above the
    // grid are free, but the column must lie inside it.
    bool fits(const BlockDropPiece &piece, int x, int y) const;
    // Fixes a resting piece. A piece whose top block lies above the grid is not
    // written at all and the result is false: the game is over.
    bool place(const BlockDropPiece &piece, int x, int y);
    // One pass of the cascade: removes every horizontal and vertical run of three
    // or more equal colours, then lets every block fall onto the stack below it.
    // Returns the number of marks; a cell in two runs counts twice.
    int clearPass();

    friend bool operator==(const BlockDropGrid &a, const BlockDropGrid &b) { return a.cells == b.cells; }
    friend bool operator!=(const BlockDropGrid &a, const BlockDropGrid &b) { return !(a == b); }

private:
    using Marks = std::array<bool, BoardWidth * BoardHeight>;

    static bool inside(int x, int y);
    static int index(int x, int y) { return y * BoardWidth + x; }
    int markRows(Marks &marks) const;
    int markColumns(Marks &marks) const;
    void settle();

    std::array<int, BoardWidth * BoardHeight> cells{};
};
