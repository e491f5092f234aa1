// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropgrid.h"

#include <QRegularExpression>
#include <QStringList>

// Grids as rows of characters, top row first, the last on the floor: '.' is an empty cell, '1' to '7' colours.
inline BlockDropGrid gridFromPicture(const QStringList &rows)
{
    BlockDropGrid grid;
    for (int i = 0; i < rows.size(); ++i) {
        for (int x = 0; x < rows.at(i).size(); ++x)
            grid.setCell(x, int(rows.size()) - 1 - i, qMax(0, rows.at(i).at(x).digitValue()));
    }
    return grid;
}

// The whole grid in that form, without the empty rows on top and the empty cells at the end of a row.
inline QString pictureOf(const BlockDropGrid &grid)
{
    QStringList rows;
    for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
        QString row;
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            row += QString::number(grid.cellAt(x, y));
        rows.prepend(row.replace(QLatin1Char('0'), QLatin1Char('.')).remove(QRegularExpression(QStringLiteral("\\.+$"))));
    }
    return rows.join(QLatin1Char('/')).remove(QRegularExpression(QStringLiteral("^/+")));
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

// A column of that height in colours 2 and 1 by turns, so it holds no run.
inline QStringList stripedColumn(int height)
{
    return QStringLiteral("21").repeated(13).right(height).split(QString(), Qt::SkipEmptyParts);
}
