// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Writes looping GIF89a animations; Qt itself can only read GIF.
class GifWriter
{
public:
    // Every frame is an Indexed8 image of the same size; the colour table of
    // the first frame becomes the global palette. Delays are in 1/100 s.
    static QByteArray encode(const QList<QImage> &frames, const QList<int> &delays);

private:
    static QByteArray compress(const QImage &frame, int minCodeSize);
};
