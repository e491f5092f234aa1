// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdroppiece.h"

#include "qrand.h"

#include <algorithm>

namespace {
int randomColor()
{
    return qrand() % 7 + 1;
}
}

void BlockDropPiece::setShape(int s)
{
    pieceShape = s;
    if (s == 0) {
        setColors(0, 0, 0);
        return;
    }
    // Drawn top block first: the order fixes which pieces a run gets.
    const int top = randomColor();
    const int middle = randomColor();
    setColors(top, middle, randomColor());
}

void BlockDropPiece::setRandomShape()
{
    // The shape is drawn before the three colours.
    setShape(randomColor());
}

BlockDropPiece BlockDropPiece::rotated() const
{
    BlockDropPiece result = *this;
    result.setColors(color(2), color(0), color(1));
    return result;
}

int BlockDropPiece::minX() const
{
    return std::min({ x(0), x(1), x(2) });
}

int BlockDropPiece::maxX() const
{
    return std::max({ x(0), x(1), x(2) });
}

int BlockDropPiece::minY() const
{
    return std::min({ y(0), y(1), y(2) });
}

int BlockDropPiece::maxY() const
{
    return std::max({ y(0), y(1), y(2) });
}

BlockDropPiece BlockDropPiece::withColors(int top, int middle, int bottom, int shape)
{
    BlockDropPiece piece;
    piece.pieceShape = shape;
    piece.setColors(top, middle, bottom);
    return piece;
}

void BlockDropPiece::setColors(int top, int middle, int bottom)
{
    blocks[0].color = top;
    blocks[1].color = middle;
    blocks[2].color = bottom;
}

bool operator==(const BlockDropPiece &a, const BlockDropPiece &b)
{
    if (a.pieceShape != b.pieceShape)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (a.x(i) != b.x(i) || a.y(i) != b.y(i) || a.color(i) != b.color(i))
            return false;
    }
    return true;
}
