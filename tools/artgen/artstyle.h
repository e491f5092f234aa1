// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QRgb>

class QPainter;

// Base colour of blockN_m.png for N = 1..10 (index 0 unused): the game art,
// the icon and the house ads share them so everything looks like one game.
QRgb blockColour(int n);

// A rounded block for artwork drawn at any size (icon, ads); the 20-pixel
// game blocks are drawn pixel by pixel instead.
void paintTile(QPainter &p, const QRectF &rect, const QColor &colour);

// Fonts are picked by pixel size so the output does not follow screen DPI.
QFont artFont(int pixelSize, bool bold);
