// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropgrid.h"
#include "blockdroppiece.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A game in progress as the board saves and restores it: everything needed to
// go on exactly, the random generator's state included, so a resumed game
// draws the bars it would have drawn. A plain value; SavedGameFile stores it.
//
// The file is a versioned JSON object; the grid is a list of 26 strings of 12
// colour digits, the top row first. The reader trusts nothing in it: only a
// state that the game itself can reach is accepted.
struct SavedGame
{
    static constexpr int Version = 1;
    // A save takes about 1 KiB; anything much larger is not one of ours.
    static constexpr qsizetype MaxSize = 64 * 1024;

    QString mode;
    BlockDropGrid grid;
    BlockDropPiece curPiece;
    BlockDropPiece nextPiece;
    BlockDropPiece holdPiece;
    int curX = 0;
    int curY = 0;
    int score = 0;
    int level = 1;
    int numLinesRemoved = 0;
    int numPiecesDropped = 0;
    int timeLeft = 0;
    bool isWaitingAfterClear = false;
    unsigned int randomState = 1;

    QByteArray toJson() const;
    // The game the document holds, or nothing with the reason in *error.
    static std::optional<SavedGame> fromJson(const QByteArray &json, QString *error);
};
