// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>

// Images of the development ad server: the network logo and house ads.
QImage adLogo();
QImage houseAd(int which); // 1 or 2
QList<QImage> animatedAdFrames(QList<int> *delays);
