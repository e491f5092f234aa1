// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A falling bar: three blocks stacked vertically, each with its own colour
// (0 empty, 1 to 7). A plain value type; the board keeps the position of the
// falling piece and owns its three pieces by value.
class BlockDropPiece
{
public:
    BlockDropPiece() = default;

    // 0 makes the piece empty; any other code makes a real piece with random colours.
    void setShape(int s);
    void setRandomShape();
    // The colours move one block down, the bottom colour to the top.
    BlockDropPiece rotated() const;

    // Whether a piece is present is judged everywhere by the colour of block 0.
    bool isReal() const { return blocks[0].color != 0; }
    int shape() const { return pieceShape; }
    int x(int i) const { return blocks[i].x; }
    int y(int i) const { return blocks[i].y; }
    int color(int i) const { return blocks[i].color; }
    int minX() const;
    int maxX() const;
    int minY() const;
    int maxY() const;

    // A real piece with the given colours, top to bottom; for tests and tools
    // that need a known piece, and for a saved game, which keeps the shape too.
    static BlockDropPiece withColors(int top, int middle, int bottom, int shape = 1);

    friend bool operator==(const BlockDropPiece &a, const BlockDropPiece &b);
    friend bool operator!=(const BlockDropPiece &a, const BlockDropPiece &b) { return !(a == b); }

private:
    struct Block
    {
        int x;
        int y;
        int color;
    };

    void setColors(int top, int middle, int bottom);

    int pieceShape = 0;
    // Every piece, empty or real, has these offsets: top, middle, bottom.
    Block blocks[3] = { { 0, -1, 0 }, { 0, 0, 0 }, { 0, 1, 0 } };
};
