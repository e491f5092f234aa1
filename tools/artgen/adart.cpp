// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adart.h"

#include "artstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage canvas(int w, int h, QColor fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

void paintBackdrop(QPainter &p, const QRect &r, QColor from, QColor to)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(r, g);
    p.setPen(QPen(to.darker(160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void drawText(QPainter &p, const QRect &r, int flags, const QString &text, int px, bool bold,
              QColor colour)
{
    p.setFont(artFont(px, bold));
    p.setPen(colour);
    p.drawText(r, flags, text);
}

void drawButton(QPainter &p, const QRectF &r, const QString &text, QColor fill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.restore();
    drawText(p, r.toRect(), Qt::AlignCenter, text, int(r.height() * 0.5), true, Qt::white);
}

} // namespace

QImage adLogo()
{
    QImage img = canvas(200, 40);
    QPainter p(&img);
    // A 2 x 2 mark of game blocks, then the network's name.
    const int mark[4] = {3, 6, 7, 4};
    for (int i = 0; i < 4; ++i)
        paintTile(p, QRectF(4 + (i % 2) * 16, 4 + (i / 2) * 16, 16, 16), QColor(blockColour(mark[i])));
    drawText(p, QRect(42, 0, 158, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tumblox"),
             22, true, QColor(0x24, 0x2c, 0x44));
    p.setFont(artFont(22, true));
    const int ads = 42 + p.fontMetrics().horizontalAdvance(QStringLiteral("Tumblox "));
    drawText(p, QRect(ads, 0, 200 - ads, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ads"),
             22, false, QColor(0xd8, 0x36, 0x2e));
    return img;
}

QImage houseAd(int which)
{
    QImage img = canvas(300, 100, Qt::black);
    QPainter p(&img);
    if (which == 1) {
        paintBackdrop(p, img.rect(), QColor(0x1c, 0x26, 0x48), QColor(0x30, 0x44, 0x80));
        // A small settled stack on the left.
        const int stack[4][3] = {{0, 7, 0}, {0, 3, 4}, {6, 3, 8}, {2, 6, 5}};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 3; ++col)
                if (stack[row][col])
                    paintTile(p, QRectF(14 + col * 21, 10 + row * 20, 20, 20),
                              QColor(blockColour(stack[row][col])));
        drawText(p, QRect(92, 10, 200, 40), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("TUMBLOX"), 30, true, Qt::white);
        drawText(p, QRect(93, 50, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Stack three. Clear the line."), 13, false, QColor(0xd8, 0xe0, 0xf4));
        drawText(p, QRect(93, 70, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Play free today!"), 13, true, QColor(blockColour(9)));
    } else {
        paintBackdrop(p, img.rect(), QColor(0xf4, 0x9a, 0x2c), QColor(0xc8, 0x3a, 0x2e));
        drawText(p, QRect(16, 8, 220, 40), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Beat your best!"), 22, true, Qt::white);
        drawText(p, QRect(17, 46, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Score, lines or timer mode"), 13, false, QColor(0xff, 0xf0, 0xdc));
        drawButton(p, QRectF(17, 70, 86, 22), QStringLiteral("PLAY"), QColor(0x2f, 0x8a, 0x3c));
        // A falling bar of three on the right.
        const int bar[3] = {8, 7, 4};
        for (int i = 0; i < 3; ++i)
            paintTile(p, QRectF(252, 12 + i * 26, 26, 26), QColor(blockColour(bar[i])));
    }
    return img;
}

QList<QImage> animatedAdFrames(QList<int> *delays)
{
    // A bar of three falls into a small well and completes a row of orange.
    constexpr int cols = 5, rows = 4, cell = 20;
    const QPoint well(14, 10);
    int board[rows][cols] = {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {6, 6, 0, 4, 2}};
    const int piece[3] = {8, 7, 6};
    const int pieceCol = 2;

    QList<QImage> frames;
    delays->clear();
    auto frame = [&](int pieceTop, bool flash, bool banner, int delay) {
        QImage img = canvas(300, 100, Qt::black);
        QPainter p(&img);
        paintBackdrop(p, img.rect(), QColor(0x10, 0x3a, 0x44), QColor(0x1e, 0x5e, 0x5a));
        const QRect wellRect(well, QSize(cols * cell, rows * cell));
        p.fillRect(wellRect, QColor(0, 0, 0, 90));
        p.setPen(QColor(255, 255, 255, 28));
        for (int c = 1; c < cols; ++c)
            p.drawLine(well.x() + c * cell, well.y(), well.x() + c * cell, wellRect.bottom());
        for (int r = 1; r < rows; ++r)
            p.drawLine(well.x(), well.y() + r * cell, wellRect.right(), well.y() + r * cell);
        p.setClipRect(wellRect);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                if (board[r][c]) {
                    const bool lit = flash && r == rows - 1 && board[r][c] == 6 && c <= 2;
                    paintTile(p, QRectF(well.x() + c * cell, well.y() + r * cell, cell, cell),
                              lit ? QColor(Qt::white) : QColor(blockColour(board[r][c])));
                }
        if (pieceTop > -10)
            for (int i = 0; i < 3; ++i)
                paintTile(p, QRectF(well.x() + pieceCol * cell, well.y() + (pieceTop + i) * cell, cell, cell),
                          QColor(blockColour(piece[i])));
        p.setClipping(false);
        drawText(p, QRect(132, 8, 160, 30), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Match three!"), 22, true, Qt::white);
        drawText(p, QRect(133, 38, 160, 20), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Tumblox: the colour stacker"), 11, false, QColor(0xcc, 0xee, 0xea));
        drawButton(p, QRectF(133, 64, 110, 24), QStringLiteral("PLAY NOW"),
                   banner ? QColor(0xf0, 0x8a, 0x22) : QColor(0x2a, 0x80, 0x78));
        p.end();
        frames.append(img);
        delays->append(delay);
    };

    for (int top = -3; top <= 1; ++top)
        frame(top, false, false, 25);
    // Landed: the bar's lowest block joins the bottom row.
    for (int i = 0; i < 3; ++i)
        board[i + 1][pieceCol] = piece[i];
    frame(-10, true, false, 15);
    frame(-10, false, false, 15);
    frame(-10, true, false, 15);
    // The row of orange is gone; what stood on it drops by one.
    board[3][0] = board[3][1] = 0;
    for (int r = rows - 1; r > 0; --r)
        board[r][pieceCol] = board[r - 1][pieceCol];
    board[0][pieceCol] = 0;
    frame(-10, false, true, 60);
    frame(-10, false, false, 30);
    frame(-10, false, true, 60);
    return frames;
}
