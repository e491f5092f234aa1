// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class BlockDropGrid;
class BlockDropPiece;
class QPainter;

// Every cell image stretched into its cell at paint time: what the cached
// renderer must match, and the benchmarks' "before" figure.
void referencePlayfield(QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid,
                        const BlockDropPiece &piece, int pieceX, int pieceY);
