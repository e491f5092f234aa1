// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropgrid.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <array>

class BlockDropPiece;
class QPainter;

// Paints grid cells and the playfield for the board and its previews.
// The block images are decoded once and kept pre-stretched to the device
// pixels a cell covers; the background grid and the settled squares are kept
// as one layer that is rebuilt only when the grid, the cell size, the device
// pixel ratio or the cells' offsets within a device pixel change. The result
// is pixel for pixel what stretching each image into each cell at paint time
// gives, at any ratio. Owned by value by the board.
class BlockDropRenderer
{
public:
    // Colour code 8 is the empty background cell; it exists only in painting.
    static constexpr int BackgroundCode = 8;

    // The resource path for a colour code, or an empty string for 0 and
    // unknown codes.
    static QString imagePath(int code);

    // One cell of the given size whose nominal top-left corner is (x, y);
    // the image lands one pixel right of and below that corner.
    void drawSquare(QPainter &painter, int x, int y, int code, QSize cell);

    // The background grid, the settled squares and the falling piece, aligned
    // to the bottom-left of the contents rectangle.
    void drawPlayfield(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid,
                       const BlockDropPiece &piece, int pieceX, int pieceY);

private:
    void blit(QPainter &painter, const QTransform &toDevice, int x, int y, int code, QSize cell);
    const QImage &source(int code);
    const QImage &stretched(int code, QSize cell, qreal dpr, QPointF phase);
    void drawLayer(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid);

    std::array<QImage, BackgroundCode + 1> decoded;
    // By code, cell size and where the cell starts within a device pixel,
    // which matters at a fractional ratio.
    QHash<quint64, QImage> cells;
    qreal cellDpr = 0;

    QImage layer;
    QSize layerCell;
    BlockDropGrid layerGrid;
    QTransform layerTransform;
};
