// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>

// Palette reduction for the indexed PNGs and the GIF frames: exact when the
// images hold at most maxColours colours, median cut otherwise.
QList<QRgb> buildPalette(const QList<QImage> &images, int maxColours = 256);
QImage toIndexed(const QImage &image, const QList<QRgb> &palette);
QImage toIndexed(const QImage &image);
