// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdroprenderer.h"

#include "blockdroppiece.h"

#include <QPainter>
#include <QtMath>

namespace {

// Enough for every cell size of a few window sizes; past it, start afresh.
constexpr int MaxCachedCells = 64;
// Cells are told apart by where they start within a device pixel, to 1/1024.
constexpr int PhaseSteps = 1024;

quint64 cellKey(int code, QSize cell, QPoint phase)
{
    return quint64(code) << 54 | quint64(phase.x()) << 43 | quint64(phase.y()) << 32
            | quint64(quint16(cell.width())) << 16 | quint16(cell.height());
}

// The logical point that a painter with this mapping puts on device pixel p.
QPointF logicalPoint(const QTransform &toDevice, QPoint p)
{
    return QPointF((p.x() - toDevice.dx()) / toDevice.m11(), (p.y() - toDevice.dy()) / toDevice.m22());
}

} // namespace

QString BlockDropRenderer::imagePath(int code)
{
    // Code 1 starts at block2: block1, block9 and block10 are never shown.
    if (code >= 1 && code <= 7)
        return QStringLiteral(":/images/block%1_m.png").arg(code + 1);
    if (code == BackgroundCode)
        return QStringLiteral(":/images/block0_m.png");
    return {};
}

const QImage &BlockDropRenderer::source(int code)
{
    QImage &image = decoded[code];
    if (image.isNull())
        image = QImage(imagePath(code)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image;
}

// A cell image is stretched to the device pixels that a paint-time stretch
// would cover; at a fractional ratio that depends on where within a device
// pixel the cell starts, so the stretch is done at that same offset.
const QImage &BlockDropRenderer::stretched(int code, QSize cell, qreal dpr, QPointF phase)
{
    if (dpr != cellDpr || cells.size() > MaxCachedCells) {
        cells.clear();
        cellDpr = dpr;
    }
    const QPoint steps(qRound(phase.x() * PhaseSteps), qRound(phase.y() * PhaseSteps));
    QImage &image = cells[cellKey(code, cell, steps)];
    if (!image.isNull())
        return image;
    const QImage &original = source(code);
    if (original.isNull())
        return image;
    image = QImage(qCeil(phase.x() + cell.width() * dpr) + 1, qCeil(phase.y() + cell.height() * dpr) + 1,
                   QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setTransform(QTransform(dpr, 0, 0, dpr, phase.x(), phase.y()));
    painter.drawImage(QRectF(0, 0, cell.width(), cell.height()), original, QRectF(original.rect()));
    painter.end();
    // At the painter's own ratio a blit lands on whole device pixels, unscaled.
    image.setDevicePixelRatio(dpr);
    return image;
}

// The image of a cell of the given size whose image corner is the logical
// point (x, y), drawn through any painter that only scales and moves.
void BlockDropRenderer::blit(QPainter &painter, const QTransform &toDevice, int x, int y, int code, QSize cell)
{
    const QPointF corner = toDevice.map(QPointF(x, y));
    if (corner.x() < 0 || corner.y() < 0) {
        // The engine rounds halves away from zero, so left of or above the
        // device's origin no shifted stretch matches: stretch here, as drawn.
        const QImage &image = source(code);
        painter.drawImage(QRectF(x, y, cell.width(), cell.height()), image, QRectF(image.rect()));
        return;
    }
    const QPoint pixel(qFloor(corner.x()), qFloor(corner.y()));
    const QImage &image = stretched(code, cell, toDevice.m11(), corner - pixel);
    if (image.isNull())
        return;
    painter.drawImage(logicalPoint(painter.deviceTransform(), pixel), image);
}

void BlockDropRenderer::drawSquare(QPainter &painter, int x, int y, int code, QSize cell)
{
    if (code <= 0 || code > BackgroundCode || cell.isEmpty())
        return;
    blit(painter, painter.deviceTransform(), x + 1, y + 1, code, cell);
}

void BlockDropRenderer::drawLayer(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid)
{
    const int w = cell.width();
    const int h = cell.height();
    const int boardTop = contents.bottom() - BlockDropGrid::BoardHeight * h;
    const QTransform &toDevice = painter.deviceTransform();
    // From the first square's image to the last background cell's, which sits
    // one pixel right of the squares, in whole device pixels.
    const QPointF first = toDevice.map(QPointF(contents.left() + 1, boardTop + 1));
    const QPointF last = toDevice.map(QPointF(contents.left() + 2 + BlockDropGrid::BoardWidth * w,
                                              boardTop + 1 + BlockDropGrid::BoardHeight * h));
    const QPoint origin(qFloor(first.x()), qFloor(first.y()));
    // The mapping into the layer. Moving the board or its contents by whole
    // device pixels leaves it alone; the cells' offsets within a device pixel
    // and the ratio are in it.
    const QTransform local(toDevice.m11(), 0, 0, toDevice.m22(), toDevice.dx() - origin.x(),
                           toDevice.dy() - origin.y());
    const bool stale = layer.isNull() || cell != layerCell || grid != layerGrid || local != layerTransform;
    if (stale) {
        layer = QImage(qCeil(last.x()) - origin.x() + 1, qCeil(last.y()) - origin.y() + 1,
                       QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(toDevice.m11());
        layer.fill(Qt::transparent);
        QPainter layerPainter(&layer);
        for (int i = 0; i < BlockDropGrid::BoardHeight; ++i) {
            for (int j = 0; j < BlockDropGrid::BoardWidth; ++j)
                blit(layerPainter, local, contents.left() + 2 + j * w, boardTop + 1 + i * h, BackgroundCode, cell);
        }
        for (int i = 0; i < BlockDropGrid::BoardHeight; ++i) {
            for (int j = 0; j < BlockDropGrid::BoardWidth; ++j) {
                const int code = grid.cellAt(j, BlockDropGrid::BoardHeight - 1 - i);
                if (code > 0 && code <= BackgroundCode)
                    blit(layerPainter, local, contents.left() + 1 + j * w, boardTop + 1 + i * h, code, cell);
            }
        }
        layerCell = cell;
        layerGrid = grid;
        layerTransform = local;
    }
    painter.drawImage(logicalPoint(toDevice, origin), layer);
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
