// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gifwriter.h"

#include <QHash>

namespace {

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Packs variable-width codes least significant bit first.
class BitSink
{
public:
    void put(int code, int width)
    {
        acc |= quint32(code) << bits;
        bits += width;
        while (bits >= 8) {
            bytes.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (bits > 0)
            bytes.append(char(acc & 0xff));
        acc = 0;
        bits = 0;
        return bytes;
    }

private:
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
};

} // namespace

QByteArray GifWriter::compress(const QImage &frame, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    QHash<quint32, int> table; // (prefix << 8 | byte) -> code
    int next = endCode + 1;
    int width = minCodeSize + 1;
    BitSink sink;
    sink.put(clearCode, width);

    int prefix = -1;
    for (int y = 0; y < frame.height(); ++y) {
        const uchar *line = frame.constScanLine(y);
        for (int x = 0; x < frame.width(); ++x) {
            const int k = line[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const quint32 key = (quint32(prefix) << 8) | quint32(k);
            const auto found = table.constFind(key);
            if (found != table.constEnd()) {
                prefix = found.value();
                continue;
            }
            sink.put(prefix, width);
            table.insert(key, next++);
            // The decoder adds its entries one code later, so it widens
            // once the table has grown past the current width.
            if (next > (1 << width) && width < 12)
                ++width;
            if (next >= 4095) {
                sink.put(clearCode, width);
                table.clear();
                next = endCode + 1;
                width = minCodeSize + 1;
            }
            prefix = k;
        }
    }
    if (prefix >= 0)
        sink.put(prefix, width);
    sink.put(endCode, width);
    return sink.finish();
}

QByteArray GifWriter::encode(const QList<QImage> &frames, const QList<int> &delays)
{
    if (frames.isEmpty())
        return {};
    const int w = frames.first().width();
    const int h = frames.first().height();
    QList<QRgb> palette = frames.first().colorTable();
    int tableBits = 1;
    while ((1 << tableBits) < palette.size())
        ++tableBits;
    palette.resize(1 << tableBits, qRgb(0, 0, 0));
    const int minCodeSize = qMax(2, tableBits);

    QByteArray out("GIF89a");
    putWord(out, w);
    putWord(out, h);
    out.append(char(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
    out.append(char(0)); // background colour index
    out.append(char(0)); // square pixels
    for (QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }

    // Loop for ever.
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    putWord(out, 0);
    out.append(char(0));

    for (int i = 0; i < frames.size(); ++i) {
        const QImage &frame = frames.at(i);
        out.append("\x21\xf9\x04", 3);
        out.append(char(1 << 2)); // leave the frame in place
        putWord(out, delays.value(i, delays.isEmpty() ? 10 : delays.last()));
        out.append(char(0));
        out.append(char(0));

        out.append(char(0x2c));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, frame.width());
        putWord(out, frame.height());
        out.append(char(0));

        out.append(char(minCodeSize));
        const QByteArray data = compress(frame, minCodeSize);
        for (int pos = 0; pos < data.size(); pos += 255) {
            const int n = qMin(255, int(data.size()) - pos);
            out.append(char(n));
            out.append(data.constData() + pos, n);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}
