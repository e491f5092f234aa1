// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

class BlockDropBoard;

// Plays the board through its public slots only, as the buttons would: moves
// each piece over the lowest column, cycles its colours now and then and drops
// it. A finished game is followed by a new one in line mode; a pause (each
// third level) is resumed; the wait after a clearing is cut short by sending
// the fall timer's tick, so nothing waits for a timer. Game overs record
// their scores, and pieces save the game, in a scratch directory that lives
// as long as the player.
class Autoplayer
{
public:
    explicit Autoplayer(BlockDropBoard &board);
    ~Autoplayer();

    // Lands one piece.
    void landOne();

    int gamesStarted() const { return games; }

private:
    void makePieceReady();
    int lowestColumn() const;

    BlockDropBoard &board;
    QTemporaryDir highScores;
    int landed = 0;
    int games = 0;
};
