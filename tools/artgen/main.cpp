// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tumblox-artgen: draws every image of the game and of the development ad
// server, so that the art can be changed and made again from source.

#include "adart.h"
#include "gameart.h"
#include "gifwriter.h"
#include "quantize.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

namespace {

const char usage[] =
    "Usage: tumblox-artgen IMAGES_DIR ADS_DIR\n"
    "Writes the game's PNG images into IMAGES_DIR and the development ad\n"
    "server's logo and house ads into ADS_DIR. From the source tree:\n"
    "  cmake --build build --target tumblox-artgen\n"
    "  build/tools/artgen/tumblox-artgen images tools/adserver/assets\n";

bool savePng(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

bool saveBytes(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

bool writeAds(const QDir &dir)
{
    // The banners are opaque: plain RGB keeps them small.
    bool ok = savePng(adLogo(), dir.filePath("logo.png"));
    ok = savePng(houseAd(1).convertToFormat(QImage::Format_RGB32), dir.filePath("ad1.png")) && ok;
    ok = savePng(houseAd(2).convertToFormat(QImage::Format_RGB32), dir.filePath("ad2.png")) && ok;
    QList<int> delays;
    const QList<QImage> frames = animatedAdFrames(&delays);
    const QList<QRgb> palette = buildPalette(frames);
    QList<QImage> indexed;
    for (const QImage &f : frames)
        indexed.append(toIndexed(f, palette));
    return saveBytes(GifWriter::encode(indexed, delays), dir.filePath("ad3.gif")) && ok;
}

bool writeGameArt(const QDir &dir)
{
    bool ok = true;
    const QList<GameImage> images = gameImages();
    for (const GameImage &image : images) {
        const QImage out = image.indexed ? toIndexed(image.pixels)
                                         : image.pixels.convertToFormat(QImage::Format_ARGB32);
        ok = savePng(out, dir.filePath(image.fileName)) && ok;
    }
    return savePng(iconImage(256), dir.filePath("icon-256.png")) && ok;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing text needs a platform plugin, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains("--help") || args.contains("-h")) {
        QTextStream(stdout) << usage;
        return 0;
    }
    if (args.size() != 2) {
        QTextStream(stderr) << usage;
        return 2;
    }
    QDir images(args[0]);
    QDir ads(args[1]);
    if (!images.mkpath(".") || !ads.mkpath(".")) {
        QTextStream(stderr) << "cannot create the output folders\n";
        return 1;
    }
    const bool adsOk = writeAds(ads);
    const bool gameOk = writeGameArt(images);
    return adsOk && gameOk ? 0 : 1;
}
