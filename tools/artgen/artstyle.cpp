// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "artstyle.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QRgb blockColour(int n)
{
    static const QRgb colours[] = {
        qRgb(0, 0, 0),
        qRgb(0x2f, 0x5f, 0xd0), // blue
        qRgb(0xc4, 0x84, 0x98), // dusty pink
        qRgb(0xd8, 0x36, 0x2e), // red
        qRgb(0x3c, 0xa8, 0x48), // green
        qRgb(0xc6, 0xca, 0xce), // light grey
        qRgb(0xf0, 0x8a, 0x22), // orange
        qRgb(0x62, 0xc2, 0xf0), // light blue
        qRgb(0xc8, 0x36, 0xb4), // magenta
        qRgb(0xf2, 0xd0, 0x2c), // yellow
        qRgb(0xf6, 0xf6, 0xf6), // white
    };
    return (n >= 1 && n <= 10) ? colours[n] : colours[0];
}

void paintTile(QPainter &p, const QRectF &rect, const QColor &colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = rect.width() * 0.2;
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, colour.lighter(122));
    fill.setColorAt(1, colour.darker(112));
    const qreal pen = qMax<qreal>(1.0, rect.width() / 20.0);
    const QRectF inner = rect.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    p.setPen(QPen(colour.darker(150), pen));
    p.setBrush(fill);
    p.drawRoundedRect(inner, radius, radius);
    // A soft gloss on the upper part keeps small tiles readable.
    QPainterPath gloss;
    const QRectF top = inner.adjusted(pen * 1.5, pen * 1.5, -pen * 1.5, -inner.height() * 0.55);
    gloss.addRoundedRect(top, radius * 0.7, radius * 0.7);
    QColor shine(255, 255, 255, 70);
    p.fillPath(gloss, shine);
    p.restore();
}

QFont artFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
