// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "playfieldscene.h"

#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"

#include <QLayout>

PlayfieldScene::PlayfieldScene(QSize windowSize)
{
    window.resize(windowSize);
    window.show();
    // The previews and counters grown for this height, laid out now rather
    // than on the event loop's next pass.
    window.QWidget::layout()->activate();
    gameBoard = window.findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess access{ *gameBoard };
    access.highScoreDirectory() = saveDirectory.path();
    gameBoard->onAdDataReady();
    gameBoard->startLineMode();

    // Neighbours differ by 1 across and by 2 upwards (mod 7): no run anywhere.
    for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            access.grid().setCell(x, y, (x + 2 * y) % 7 + 1);
    }
    access.setFallingPiece(1, 2, 3, 6, 20);
}
