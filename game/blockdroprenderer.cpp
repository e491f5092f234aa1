// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdroprenderer.h"

#include "blockdroppiece.h"

#include <QPaintDevice>
#include <QPainter>

QString BlockDropRenderer::imagePath(int code)
{
    // Code 1 starts at block2: block1, block9 and block10 are never shown.
    if (code >= 1 && code <= 7)
        return QStringLiteral(":/images/block%1_m.png").arg(code + 1);
    if (code == BackgroundCode)
        return QStringLiteral(":/images/block0_m.png");
    return {};
}

const QImage &BlockDropRenderer::stretched(int code, QSize cell, qreal dpr)
{
    if (cell != cellSize || dpr != cellDpr) {
        cells.fill(QImage());
        cellSize = cell;
        cellDpr = dpr;
    }
    QImage &image = cells[code];
    if (!image.isNull())
        return image;
    QImage &source = decoded[code];
    if (source.isNull())
        source = QImage(imagePath(code)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.isNull())
        return image;
    // Stretch exactly as a paint-time stretch would, once per cell size.
    image = QImage(cell * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage(QRectF(0, 0, cell.width(), cell.height()), source, QRectF(source.rect()));
    return image;
}

void BlockDropRenderer::drawSquare(QPainter &painter, int x, int y, int code, QSize cell)
{
    if (code <= 0 || code > BackgroundCode || cell.isEmpty())
        return;
    const QImage &image = stretched(code, cell, painter.device()->devicePixelRatioF());
    if (!image.isNull())
        painter.drawImage(QPoint(x + 1, y + 1), image);
}

void BlockDropRenderer::drawLayer(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid)
{
    const int w = cell.width();
    const int h = cell.height();
    const int boardTop = contents.bottom() - BlockDropGrid::BoardHeight * h;
    // The background sits one pixel right of the squares, so the layer is one
    // pixel wider than the grid.
    const QPoint origin(contents.left() + 1, boardTop + 1);
    const qreal dpr = painter.device()->devicePixelRatioF();
    const bool stale = layer.isNull() || contents != layerContents || cell != layerCell
            || grid != layerGrid || layer.devicePixelRatio() != dpr;
    if (stale) {
        const QSize size(BlockDropGrid::BoardWidth * w + 1, BlockDropGrid::BoardHeight * h);
        layer = QImage(size * dpr, QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(dpr);
        layer.fill(Qt::transparent);
        QPainter layerPainter(&layer);
        layerPainter.translate(-origin);
        for (int i = 0; i < BlockDropGrid::BoardHeight; ++i) {
            for (int j = 0; j < BlockDropGrid::BoardWidth; ++j)
                drawSquare(layerPainter, contents.left() + 1 + j * w, boardTop + i * h, BackgroundCode, cell);
        }
        for (int i = 0; i < BlockDropGrid::BoardHeight; ++i) {
            for (int j = 0; j < BlockDropGrid::BoardWidth; ++j) {
                const int code = grid.cellAt(j, BlockDropGrid::BoardHeight - 1 - i);
                drawSquare(layerPainter, contents.left() + j * w, boardTop + i * h, code, cell);
            }
        }
        layerContents = contents;
        layerCell = cell;
        layerGrid = grid;
    }
    painter.drawImage(origin, layer);
}

void BlockDropRenderer::drawPlayfield(QPainter &painter, const QRect &contents, QSize cell,
                                      const BlockDropGrid &grid, const BlockDropPiece &piece, int pieceX,
                                      int pieceY)
{
    if (cell.isEmpty())
        return;
    drawLayer(painter, contents, cell, grid);
    if (!piece.isReal())
        return;
    const int boardTop = contents.bottom() - BlockDropGrid::BoardHeight * cell.height();
    for (int k = 0; k < 3; ++k) {
        const int column = pieceX + piece.x(k);
        const int row = pieceY - piece.y(k);
        drawSquare(painter, contents.left() + column * cell.width(),
                   boardTop + (BlockDropGrid::BoardHeight - 1 - row) * cell.height(), piece.color(k), cell);
    }
}
