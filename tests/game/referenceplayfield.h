// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class BlockDropGrid;
class BlockDropPiece;
class QPainter;

// The plain way to paint the playfield: every cell image stretched into its
// cell at paint time. The cached renderer must match it pixel for pixel; the
// benchmarks use it as the "before" figure.
void referencePlayfield(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid,
                        const BlockDropPiece &piece, int pieceX, int pieceY);
