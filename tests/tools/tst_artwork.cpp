// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The committed artwork: what the game loads from its resources, and the
// development ad server's images.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMovie>
#include <QPixmap>
#include <QtTest>

namespace {

QString adAsset(const char *name)
{
    return QStringLiteral(TUMBLOX_AD_ASSETS_DIR "/") + QLatin1String(name);
}

// Pixels near the centre that stand out from the plain fill of their row:
// the block's symbol as a greyscale player sees it.
QList<bool> symbolMask(const QImage &img)
{
    QList<bool> mask;
    for (int y = 4; y < 16; ++y) {
        const int plain = qGray(img.pixel(3, y));
        for (int x = 4; x < 16; ++x)
            mask.append(qAbs(qGray(img.pixel(x, y)) - plain) > 12);
    }
    return mask;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void resourceImages_data();
    void resourceImages();
    void roundedSquares();
    void gridCell();
    void symbolsTellBlocksApart();
    void adImages();
    void animatedAd();
};

void TestArtwork::resourceImages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("indexed");
    const QSize block(20, 20), glyph(32, 32);
    QTest::newRow("block0") << "block0_m.png" << block << true;
    for (int n = 1; n <= 10; ++n) {
        const QString file = QStringLiteral("block%1_m.png").arg(n);
        QTest::newRow(qPrintable(file)) << file << block << (n == 2);
    }
    QTest::newRow("grid") << "grid.png" << block << true;
    QTest::newRow("gridblock") << "gridblock.png" << QSize(26, 24) << false;
    QTest::newRow("bggrid") << "bggrid.png" << QSize(260, 530) << false;
    for (const char *name : {"rotate", "left", "right", "down", "drop", "save"})
        QTest::newRow(name) << QStringLiteral("%1.png").arg(QLatin1String(name)) << glyph << false;
    QTest::newRow("icon") << "icon.png" << QSize(80, 80) << true;
}

void TestArtwork::resourceImages()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(bool, indexed);
    const QString path = QStringLiteral(":/images/") + file;
    // The game reads them as pixmaps; the collection must be registered
    // although it lives in a static library.
    QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
    const QImage img(path);
    QCOMPARE(img.size(), size);
    QCOMPARE(img.format(), indexed ? QImage::Format_Indexed8 : QImage::Format_ARGB32);
    QCOMPARE(img.depth(), indexed ? 8 : 32);
}

void TestArtwork::roundedSquares()
{
    for (int n = 1; n <= 10; ++n) {
        const QImage img = QImage(QStringLiteral(":/images/block%1_m.png").arg(n))
                               .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!img.isNull());
        for (const QPoint corner : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19)})
            QCOMPARE(qAlpha(img.pixel(corner)), 0);
        for (const QPoint ring : {QPoint(10, 0), QPoint(0, 10), QPoint(19, 10), QPoint(10, 19)}) {
            const int alpha = qAlpha(img.pixel(ring));
            QVERIFY2(alpha > 0 && alpha < 255, qPrintable(QStringLiteral("block %1").arg(n)));
        }
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 18; ++x)
                QCOMPARE(qAlpha(img.pixel(x, y)), 255);
    }
}

void TestArtwork::gridCell()
{
    const QImage img = QImage(":/images/block0_m.png").convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < 20; ++i) {
        for (int edge : {18, 19}) {
            QCOMPARE(qAlpha(img.pixel(edge, i)), 255);
            QCOMPARE(qAlpha(img.pixel(i, edge)), 255);
            QVERIFY(qAbs(qGray(img.pixel(edge, i)) - 128) < 32);
        }
        for (int j = 0; j < 18; ++j) {
            if (i < 18)
                QCOMPARE(qAlpha(img.pixel(j, i)), 0);
        }
    }
}

void TestArtwork::symbolsTellBlocksApart()
{
    QList<QList<bool>> masks;
    for (int n = 2; n <= 8; ++n) {
        const QImage img = QImage(QStringLiteral(":/images/block%1_m.png").arg(n))
                               .convertToFormat(QImage::Format_ARGB32);
        masks.append(symbolMask(img));
        QVERIFY2(masks.last().count(true) >= 6, qPrintable(QStringLiteral("block %1 has no symbol").arg(n)));
    }
    for (int a = 0; a < masks.size(); ++a) {
        for (int b = a + 1; b < masks.size(); ++b) {
            int differ = 0;
            for (int i = 0; i < masks[a].size(); ++i)
                differ += masks[a][i] != masks[b][i];
            QVERIFY2(differ >= 6, qPrintable(QStringLiteral("blocks %1 and %2 share a symbol").arg(a + 2).arg(b + 2)));
        }
    }
}

void TestArtwork::adImages()
{
    const QImage logo(adAsset("logo.png"));
    QVERIFY(!logo.isNull());
    QVERIFY(logo.width() <= 320 && logo.height() <= 80);
    for (const char *name : {"ad1.png", "ad2.png"}) {
        const QImage ad(adAsset(name));
        QVERIFY2(!ad.isNull(), name);
        QCOMPARE(ad.size(), QSize(300, 100));
    }
}

void TestArtwork::animatedAd()
{
    // Played the way the banner plays it: a QMovie over an in-memory buffer.
    QFile file(adAsset("ad3.gif"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QMovie movie(&buffer);
    QVERIFY(movie.isValid());
    QCOMPARE(movie.format(), QByteArray("gif"));
    QVERIFY(movie.frameCount() > 1);
    QCOMPARE(movie.loopCount(), -1); // for ever

    QList<QImage> frames;
    for (int i = 0; i < movie.frameCount(); ++i) {
        QVERIFY(movie.jumpToFrame(i));
        const QImage frame = movie.currentImage();
        QCOMPARE(frame.size(), QSize(300, 100));
        QVERIFY(movie.nextFrameDelay() > 0);
        frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    }
    int changes = 0;
    for (int i = 1; i < frames.size(); ++i)
        changes += frames[i] != frames[i - 1];
    QVERIFY(changes >= frames.size() / 2);
    // Each frame has a one-colour border, so its corners match only when the
    // code stream decodes to its very last pixel.
    for (const QImage &frame : frames) {
        QCOMPARE(frame.pixel(299, 99), frame.pixel(0, 0));
        QCOMPARE(frame.pixel(299, 0), frame.pixel(0, 99));
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
