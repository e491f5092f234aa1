// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropwindow.h"

#include <QSize>
#include <QTemporaryDir>

class BlockDropBoard;

// The whole window laid out at a given size with a game running: every cell
// settled (with no runs, as play leaves it) and a falling piece over them.
// No events are processed, so the window's ad start never runs.
class PlayfieldScene
{
public:
    explicit PlayfieldScene(QSize windowSize);

    BlockDropBoard &board() { return *gameBoard; }

private:
    // Where the board would save; no game saved elsewhere is resumed.
    QTemporaryDir saveDirectory;
    BlockDropWindow window;
    BlockDropBoard *gameBoard = nullptr;
};
