// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropgrid.h"

#include <QStringList>

// Grids drawn as rows of characters, top row first, standing on the floor:
// '.' is an empty cell and '1' to '7' are colours. A picture of five rows
// describes rows 4 to 0; the rows above it are empty.
inline BlockDropGrid gridFromPicture(const QStringList &rows)
{
    BlockDropGrid grid;
    for (int i = 0; i < rows.size(); ++i) {
        const int y = int(rows.size()) - 1 - i;
        for (int x = 0; x < rows.at(i).size(); ++x)
            grid.setCell(x, y, qMax(0, rows.at(i).at(x).digitValue()));
    }
    return grid;
}

// The whole grid in the same form, trimmed: empty rows at the top and empty
// cells at the right end of each row are left out.
inline QStringList pictureOf(const BlockDropGrid &grid)
{
    QStringList rows;
    for (int y = BlockDropGrid::BoardHeight - 1; y >= 0; --y) {
        QString row;
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
            const int color = grid.cellAt(x, y);
            row += color == 0 ? QLatin1Char('.') : QChar(u'0' + color);
        }
        while (row.endsWith(QLatin1Char('.')))
            row.chop(1);
        if (!rows.isEmpty() || !row.isEmpty())
            rows << row;
    }
    return rows;
}

// Cells hold colours 0 to 7 and every block rests on the floor or on another.
inline bool isSettled(const BlockDropGrid &grid)
{
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
            const int color = grid.cellAt(x, y);
            if (color < 0 || color > 7 || (color != 0 && y > 0 && grid.cellAt(x, y - 1) == 0))
                return false;
        }
    }
    return true;
}

// A column of the given height in alternating colours 2 and 3, so it holds no run.
inline QStringList stripedColumn(int height)
{
    QStringList rows;
    for (int y = height - 1; y >= 0; --y)
        rows << QString::number(y % 2 + 2);
    return rows;
}
