// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropgrid.h"

#include "blockdroppiece.h"

namespace {
constexpr int MinRun = 3;
}

bool BlockDropGrid::inside(int x, int y)
{
    return x >= 0 && x < BoardWidth && y >= 0 && y < BoardHeight;
}

void BlockDropGrid::clear()
{
    cells.fill(0);
}

int BlockDropGrid::cellAt(int x, int y) const
{
    return inside(x, y) ? cells[index(x, y)] : 0;
}

void BlockDropGrid::setCell(int x, int y, int color)
{
    if (inside(x, y))
        cells[index(x, y)] = color;
}

bool BlockDropGrid::fits(const BlockDropPiece &piece, int x, int y) const
{
    for (int i = 0; i < 3; ++i) {
        const int column = x + piece.x(i);
        const int row = y - piece.y(i);
        if (column < 0 || column >= BoardWidth || row < 0)
            return false;
        if (cellAt(column, row) != 0)
            return false;
    }
    return true;
}

bool BlockDropGrid::place(const BlockDropPiece &piece, int x, int y)
{
    // Block 0 is the highest, so checking all rows first writes all three or none.
    for (int i = 0; i < 3; ++i) {
        if (y - piece.y(i) >= BoardHeight)
            return false;
    }
    for (int i = 0; i < 3; ++i)
        setCell(x + piece.x(i), y - piece.y(i), piece.color(i));
    return true;
}

int BlockDropGrid::clearPass()
{
    Marks marks{};
    const int count = markRows(marks) + markColumns(marks);
    if (count == 0)
        return 0;
    for (int i = 0; i < BoardWidth * BoardHeight; ++i) {
        if (marks[i])
            cells[i] = 0;
    }
    settle();
    return count;
}

int BlockDropGrid::markRows(Marks &marks) const
{
    int count = 0;
    for (int y = BoardHeight - 1; y >= 0; --y) {
        int x = 0;
        while (x < BoardWidth) {
            const int color = cellAt(x, y);
            int end = x + 1;
            while (end < BoardWidth && cellAt(end, y) == color)
                ++end;
            if (color != 0 && end - x >= MinRun) {
                for (int i = x; i < end; ++i)
                    marks[index(i, y)] = true;
                count += end - x;
            }
            x = end;
        }
    }
    return count;
}

int BlockDropGrid::markColumns(Marks &marks) const
{
    // Each column is examined from the floor up to its first empty cell only.
    int count = 0;
    for (int x = BoardWidth - 1; x >= 0; --x) {
        int y = 0;
        while (y < BoardHeight && cellAt(x, y) != 0) {
            const int color = cellAt(x, y);
            int end = y + 1;
            while (end < BoardHeight && cellAt(x, end) == color)
                ++end;
            if (end - y >= MinRun) {
                for (int i = y; i < end; ++i)
                    marks[index(x, i)] = true;
                count += end - y;
            }
            y = end;
        }
    }
    return count;
}

void BlockDropGrid::settle()
{
    // Every block falls until it rests on another block or on the floor, so no
    // block is left floating however tall the gap below it was.
    for (int x = 0; x < BoardWidth; ++x) {
        int target = 0;
        for (int y = 0; y < BoardHeight; ++y) {
            const int color = cellAt(x, y);
            if (color == 0)
                continue;
            cells[index(x, y)] = 0;
            cells[index(x, target++)] = color;
        }
    }
}
