// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "referenceplayfield.h"

#include "blockdropgrid.h"
#include "blockdroppiece.h"
#include "blockdroprenderer.h"

#include <QPainter>
#include <QPixmap>

static void drawSquare(QPainter &painter, int x, int y, int code, QSize cell)
{
    if (code == 0)
        return;
    const QPixmap pixmap(BlockDropRenderer::imagePath(code));
    painter.drawPixmap(QRectF(x + 1, y + 1, cell.width(), cell.height()), pixmap, QRectF(pixmap.rect()));
}

void referencePlayfield(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid,
                        const BlockDropPiece &piece, int pieceX, int pieceY)
{
    const int w = cell.width();
    const int h = cell.height();
    const int boardTop = contents.bottom() - BlockDropGrid::BoardHeight * h;
    for (int i = 0; i < BlockDropGrid::BoardHeight; ++i)
        for (int j = 0; j < BlockDropGrid::BoardWidth; ++j)
            drawSquare(painter, contents.left() + 1 + j * w, boardTop + i * h, BlockDropRenderer::BackgroundCode, cell);
    for (int i = 0; i < BlockDropGrid::BoardHeight; ++i)
        for (int j = 0; j < BlockDropGrid::BoardWidth; ++j)
            drawSquare(painter, contents.left() + j * w, boardTop + i * h,
                       grid.cellAt(j, BlockDropGrid::BoardHeight - 1 - i), cell);
    if (!piece.isReal())
        return;
    for (int k = 0; k < 3; ++k) {
        const int row = pieceY - piece.y(k);
        drawSquare(painter, contents.left() + (pieceX + piece.x(k)) * w,
                   boardTop + (BlockDropGrid::BoardHeight - 1 - row) * h, piece.color(k), cell);
    }
}
