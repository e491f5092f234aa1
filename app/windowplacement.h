// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>

#include <functional>

class QVariant;

// Where the window opens: full screen, or a normal window at a geometry. The
// geometry is also where the window goes when the player leaves full screen.
struct WindowPlacement
{
    bool fullScreen = false;
    QRect geometry;

    // available: the available geometry of the screen the window starts on;
    // screens: that of every screen. The saved mode and geometry are used when
    // both can be read and the geometry fits a screen. Otherwise a first start:
    // a centred window of square cells on a desktop screen, full screen on a
    // smaller one. sizeForHeight gives the window size of square cells
    // nearest to a height.
    static WindowPlacement choose(const QRect &available, const QList<QRect> &screens,
                                  const QVariant &savedFullScreen, const QVariant &savedGeometry,
                                  const std::function<QSize(int)> &sizeForHeight);
};
