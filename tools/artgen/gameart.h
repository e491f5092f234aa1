// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QString>

struct GameImage {
    QString fileName;
    QImage pixels; // ARGB32; reduced to a palette on saving when indexed
    bool indexed;
};

// The 21 images compiled into the game.
QList<GameImage> gameImages();

// The game icon at any size (80 for the game, larger for desktop themes).
QImage iconImage(int size);
