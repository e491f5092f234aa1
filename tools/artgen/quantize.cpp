// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "quantize.h"

#include <QHash>
#include <algorithm>

namespace {

struct Entry {
    QRgb colour;
    qint64 count;
};

int channel(QRgb c, int axis)
{
    switch (axis) {
    case 0: return qAlpha(c);
    case 1: return qRed(c);
    case 2: return qGreen(c);
    default: return qBlue(c);
    }
}

// Every fully transparent pixel is the same colour to a palette.
QRgb normalised(QRgb c)
{
    return qAlpha(c) == 0 ? 0u : c;
}

struct Box {
    QList<Entry> entries;
    int axis = 0;
    int range = 0;

    void measure()
    {
        range = -1;
        for (int a = 0; a < 4; ++a) {
            int lo = 255, hi = 0;
            for (const Entry &e : entries) {
                lo = std::min(lo, channel(e.colour, a));
                hi = std::max(hi, channel(e.colour, a));
            }
            if (hi - lo > range) {
                range = hi - lo;
                axis = a;
            }
        }
    }
    QRgb mean() const
    {
        qint64 sum[4] = {0, 0, 0, 0};
        qint64 n = 0;
        for (const Entry &e : entries) {
            for (int a = 0; a < 4; ++a)
                sum[a] += channel(e.colour, a) * e.count;
            n += e.count;
        }
        auto avg = [&](int a) { return int((sum[a] + n / 2) / n); };
        return qRgba(avg(1), avg(2), avg(3), avg(0));
    }
};

int distance(QRgb a, QRgb b)
{
    const int da = qAlpha(a) - qAlpha(b);
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return 2 * da * da + dr * dr + dg * dg + db * db;
}

} // namespace

QList<QRgb> buildPalette(const QList<QImage> &images, int maxColours)
{
    QHash<QRgb, qint64> histogram;
    for (const QImage &source : images) {
        const QImage img = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                ++histogram[normalised(line[x])];
        }
    }
    QList<Entry> all;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        all.append({it.key(), it.value()});
    // Hash order is not stable between runs; the output must be.
    std::sort(all.begin(), all.end(), [](const Entry &a, const Entry &b) {
        return a.count != b.count ? a.count > b.count : a.colour < b.colour;
    });
    if (all.size() <= maxColours) {
        QList<QRgb> palette;
        for (const Entry &e : all)
            palette.append(e.colour);
        return palette;
    }

    QList<Box> boxes(1);
    boxes[0].entries = all;
    boxes[0].measure();
    while (boxes.size() < maxColours) {
        int pick = -1;
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].entries.size() > 1 && (pick < 0 || boxes[i].range > boxes[pick].range))
                pick = i;
        }
        if (pick < 0 || boxes[pick].range == 0)
            break;
        Box &box = boxes[pick];
        const int axis = box.axis;
        std::sort(box.entries.begin(), box.entries.end(), [axis](const Entry &a, const Entry &b) {
            const int ca = channel(a.colour, axis), cb = channel(b.colour, axis);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        qint64 total = 0;
        for (const Entry &e : box.entries)
            total += e.count;
        qint64 running = 0;
        int cut = 1;
        for (int i = 0; i < box.entries.size() - 1; ++i) {
            running += box.entries[i].count;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box upper;
        upper.entries = box.entries.mid(cut);
        box.entries.resize(cut);
        box.measure();
        upper.measure();
        boxes.append(upper);
    }
    QList<QRgb> palette;
    for (const Box &b : boxes)
        palette.append(b.mean());
    return palette;
}

QImage toIndexed(const QImage &source, const QList<QRgb> &palette)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(img.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    QHash<QRgb, int> nearest;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = normalised(in[x]);
            auto found = nearest.constFind(c);
            if (found == nearest.constEnd()) {
                int best = 0;
                for (int i = 1; i < palette.size(); ++i) {
                    if (distance(c, palette[i]) < distance(c, palette[best]))
                        best = i;
                }
                found = nearest.insert(c, best);
            }
            line[x] = uchar(found.value());
        }
    }
    return out;
}

QImage toIndexed(const QImage &image)
{
    return toIndexed(image, buildPalette({image}));
}
