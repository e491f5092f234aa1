// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "autoplayer.h"

#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"


Autoplayer::Autoplayer(BlockDropBoard &board)
    : board(board)
{
    BlockDropBoardTestAccess{ board }.highScoreDirectory() = highScores.path();
}

// The board saves on a thread of its own; its last save must land before the folder goes.
Autoplayer::~Autoplayer()
{
    BlockDropBoardTestAccess{ board }.flushSaves();
}

void Autoplayer::makePieceReady()
{
    BlockDropBoardTestAccess access{ board };
    // Each step clears one obstacle; more than a few means the board is stuck.
    for (int step = 0; step < 8; ++step) {
        if (!access.isStarted() || access.isGameOver()) {
            board.startLineMode();
            ++games;
        } else if (access.isPaused()) {
            board.pause();
        } else if (!access.curPiece().isReal()) {
            access.fallTick();
        } else {
            return;
        }
    }
    qFatal("The autoplayer found no piece to move");
}

int Autoplayer::lowestColumn() const
{
    BlockDropBoardTestAccess access{ board };
    int best = 0;
    int bestHeight = BlockDropGrid::BoardHeight + 1;
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        int height = BlockDropGrid::BoardHeight;
        while (height > 0 && access.grid().cellAt(x, height - 1) == 0)
            --height;
        if (height < bestHeight) {
            best = x;
            bestHeight = height;
        }
    }
    return best;
}

void Autoplayer::landOne()
{
    makePieceReady();
    BlockDropBoardTestAccess access{ board };
    for (int turn = landed % 3; turn > 0; --turn)
        board.rotate();
    const int target = lowestColumn();
    for (int step = 0; step < BlockDropGrid::BoardWidth && access.curX() > target; ++step)
        board.left();
    for (int step = 0; step < BlockDropGrid::BoardWidth && access.curX() < target; ++step)
        board.right();
    board.drop();
    ++landed;
}
