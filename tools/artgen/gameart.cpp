// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameart.h"

#include "artstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>
#include <functional>

namespace {

using Shape = std::function<bool(double u, double v)>;

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t,
                            a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// A symbol per displayed colour, so that the blocks differ by more than hue.
// u and v run from the block's centre; the symbols stay within about 4 px.
Shape symbolFor(int block)
{
    switch (block) {
    case 2: // dot
        return [](double u, double v) { return u * u + v * v <= 2.8 * 2.8; };
    case 3: // ring
        return [](double u, double v) {
            const double r = std::sqrt(u * u + v * v);
            return r >= 2.2 && r <= 3.7;
        };
    case 4: // plus
        return [](double u, double v) {
            return (std::abs(u) <= 0.9 && std::abs(v) <= 4.0) || (std::abs(v) <= 0.9 && std::abs(u) <= 4.0);
        };
    case 5: // bar
        return [](double u, double v) { return std::abs(u) <= 4.0 && std::abs(v) <= 1.2; };
    case 6: // triangle, pointing up
        return [](double u, double v) { return v <= 3.0 && std::abs(u) <= (v + 4.0) * 4.2 / 7.0; };
    case 7: // diamond
        return [](double u, double v) { return std::abs(u) + std::abs(v) <= 4.8; };
    case 8: // diagonal cross
        return [](double u, double v) {
            return std::abs(u) <= 3.3 && std::abs(v) <= 3.3
                   && (std::abs(u - v) <= 1.3 || std::abs(u + v) <= 1.3);
        };
    default:
        return {};
    }
}

// Fraction of the pixel covered by the shape, from a 4 x 4 sample grid.
double coverage(const Shape &shape, int x, int y, double cx, double cy)
{
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (shape(x + (i + 0.5) / 4 - cx, y + (j + 0.5) / 4 - cy))
                ++hits;
    return hits / 16.0;
}

// 20 x 20 rounded square, pixel by pixel: the whole image is covered, the
// outer ring is half transparent and its four corners fully transparent.
QImage block(int n)
{
    const QColor base(blockColour(n));
    const QColor edge = base.darker(128);
    QImage img(20, 20, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const Shape symbol = symbolFor(n);
    const QColor symbolColour = base.lightness() > 150 ? base.darker(175) : base.darker(160);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool outerX = x == 0 || x == 19, outerY = y == 0 || y == 19;
            const bool innerX = x == 1 || x == 18, innerY = y == 1 || y == 18;
            QColor c;
            if (outerX && outerY) {
                continue;
            } else if (outerX || outerY) {
                c = base.darker(150);
                const bool nearCorner = (outerX && innerY) || (outerY && innerX);
                c.setAlpha(nearCorner ? 60 : 130);
            } else if (innerX && innerY) {
                c = mix(edge, base.darker(150), 0.5);
                c.setAlpha(215);
            } else if (innerX || innerY) {
                c = y == 1 ? mix(edge, base, 0.6) : edge;
            } else {
                c = mix(base.lighter(115), base.darker(108), (y - 2) / 15.0);
                if (y == 2 && x >= 3 && x <= 16)
                    c = mix(c, Qt::white, 0.35);
                if (symbol) {
                    const double cover = coverage(symbol, x, y, 10.0, 10.0);
                    c = mix(c, symbolColour, cover * 0.85);
                }
            }
            img.setPixelColor(x, y, c);
        }
    }
    return img;
}

QImage cellLines(int size, int thickness, QColor colour)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (x >= size - thickness || y >= size - thickness)
                img.setPixelColor(x, y, colour);
    return img;
}

QImage gridBlock()
{
    QImage img(26, 24, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5a, 0x64, 0x7a), 1));
    p.setBrush(QColor(0x1a, 0x20, 0x30, 170));
    p.drawRoundedRect(QRectF(0.5, 0.5, 25, 23), 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(3, 1.5), QPointF(23, 1.5));
    return img;
}

QImage backgroundGrid()
{
    QImage img(260, 530, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 530);
    g.setColorAt(0, QColor(0x1e, 0x26, 0x40, 235));
    g.setColorAt(1, QColor(0x0e, 0x12, 0x20, 235));
    p.setPen(QPen(QColor(0x4a, 0x56, 0x78), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 258, 528), 8, 8);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 28));
    for (int c = 1; c < 12; ++c)
        p.drawLine(10 + c * 20, 5, 10 + c * 20, 524);
    for (int r = 1; r < 26; ++r)
        p.drawLine(10, 5 + r * 20, 249, 5 + r * 20);
    return img;
}

// Control glyphs: a light shape with a dark outline reads on any backdrop.
QImage glyph(const QPainterPath &shape)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1c, 0x24, 0x38), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf2, 0xf4, 0xf8));
    p.drawPath(shape.simplified());
    return img;
}

QPainterPath arrowRight()
{
    QPainterPath path;
    path.moveTo(5, 12.5);
    path.lineTo(16, 12.5);
    path.lineTo(16, 6);
    path.lineTo(27, 16);
    path.lineTo(16, 26);
    path.lineTo(16, 19.5);
    path.lineTo(5, 19.5);
    path.closeSubpath();
    return path;
}

QPainterPath turned(const QPainterPath &path, qreal degrees)
{
    QTransform t;
    t.translate(16, 16);
    t.rotate(degrees);
    t.translate(-16, -16);
    return t.map(path);
}

QPainterPath rotateGlyph()
{
    QPainterPath arc;
    arc.arcMoveTo(QRectF(6, 6, 20, 20), 90);
    arc.arcTo(QRectF(6, 6, 20, 20), 90, 270);
    QPainterPathStroker stroker;
    stroker.setWidth(5);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath shape = stroker.createStroke(arc);
    QPainterPath head;
    head.moveTo(16, 1.5);
    head.lineTo(23, 8.5);
    head.lineTo(16, 15.5);
    head.closeSubpath();
    return shape.united(head);
}

QPainterPath dropGlyph()
{
    QPainterPath path;
    path.moveTo(12.5, 3);
    path.lineTo(19.5, 3);
    path.lineTo(19.5, 12);
    path.lineTo(26, 12);
    path.lineTo(16, 22);
    path.lineTo(6, 12);
    path.lineTo(12.5, 12);
    path.closeSubpath();
    path.addRect(QRectF(5, 24, 22, 4.5));
    return path;
}

QPainterPath saveGlyph()
{
    // A tray holding a block: the piece kept aside.
    QPainterPath tray;
    tray.moveTo(3, 12);
    tray.lineTo(7, 12);
    tray.lineTo(7, 24);
    tray.lineTo(25, 24);
    tray.lineTo(25, 12);
    tray.lineTo(29, 12);
    tray.lineTo(29, 28);
    tray.lineTo(3, 28);
    tray.closeSubpath();
    QPainterPath piece;
    piece.addRoundedRect(QRectF(10.5, 5, 11, 16), 2.5, 2.5);
    return tray.united(piece);
}

} // namespace

QImage iconImage(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 80.0, size / 80.0);
    QLinearGradient g(0, 2, 0, 78);
    g.setColorAt(0, QColor(0x2a, 0x38, 0x66));
    g.setColorAt(1, QColor(0x10, 0x16, 0x2c));
    p.setPen(QPen(QColor(0x0a, 0x0e, 0x1c), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 76, 76), 14, 14);

    // A settled stack with a bar of three still falling into the gap.
    const int stack[4][4] = {{0, 0, 0, 0}, {0, 0, 0, 7}, {8, 0, 6, 2}, {3, 6, 4, 8}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (stack[r][c])
                paintTile(p, QRectF(8.5 + c * 16, 8.5 + r * 16, 15, 15), QColor(blockColour(stack[r][c])));
    const int bar[3] = {3, 7, 4};
    for (int i = 0; i < 3; ++i)
        paintTile(p, QRectF(24.5, 3.5 + i * 16, 15, 15), QColor(blockColour(bar[i])));
    return img;
}

QList<GameImage> gameImages()
{
    QList<GameImage> list;
    list.append({QStringLiteral("block0_m.png"), cellLines(20, 2, QColor(0x80, 0x80, 0x80)), true});
    for (int n = 1; n <= 10; ++n)
        list.append({QStringLiteral("block%1_m.png").arg(n), block(n), n == 2});
    list.append({QStringLiteral("grid.png"), cellLines(20, 1, QColor(0x5c, 0x60, 0x68)), true});
    list.append({QStringLiteral("gridblock.png"), gridBlock(), false});
    list.append({QStringLiteral("bggrid.png"), backgroundGrid(), false});
    list.append({QStringLiteral("rotate.png"), glyph(rotateGlyph()), false});
    list.append({QStringLiteral("left.png"), glyph(turned(arrowRight(), 180)), false});
    list.append({QStringLiteral("right.png"), glyph(arrowRight()), false});
    list.append({QStringLiteral("down.png"), glyph(turned(arrowRight(), 90)), false});
    list.append({QStringLiteral("drop.png"), glyph(dropGlyph()), false});
    list.append({QStringLiteral("save.png"), glyph(saveGlyph()), false});
    list.append({QStringLiteral("icon.png"), iconImage(80), true});
    return list;
}
