// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropgrid.h"
#include "blockdroppiece.h"
#include "blockdroprenderer.h"
#include "referenceplayfield.h"

#include <QPainter>
#include <QtTest>

// The cached playfield paint must be indistinguishable from stretching every
// image into every cell at paint time, also after whatever changed since the
// last paint.
class TestBlockDropRenderer : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data();
    void matchesReference();
    void imagePath_data();
    void imagePath();
};

void TestBlockDropRenderer::matchesReference_data()
{
    QTest::addColumn<QRect>("contents");
    QTest::addColumn<QPoint>("piece");
    QTest::addColumn<QColor>("backdrop");
    QTest::addColumn<QRect>("later");

    const QRect even(2, 2, 190, 400);
    const QPoint falling(5, 12), spawning(6, 28), resting(0, 1), rightWall(11, 25);
    QTest::newRow("even cells") << even << falling << QColor(Qt::white) << even;
    QTest::newRow("piece above the top") << even << spawning << QColor(Qt::white) << even;
    QTest::newRow("uneven cells") << QRect(1, 3, 203, 411) << resting << QColor(40, 60, 90) << QRect(1, 3, 203, 411);
    QTest::newRow("transparent") << QRect(2, 2, 481, 397) << rightWall << QColor(Qt::transparent) << QRect(2, 2, 481, 397);
    QTest::newRow("tiny") << QRect(0, 0, 61, 131) << falling << QColor(Qt::black) << QRect(0, 0, 61, 131);
    QTest::newRow("no room") << QRect(0, 0, 11, 25) << falling << QColor(Qt::white) << QRect(0, 0, 11, 25);
    QTest::newRow("moved") << even << falling << QColor(Qt::white) << even.translated(3, 4);
    QTest::newRow("resized") << even << falling << QColor(Qt::white) << QRect(2, 2, 300, 470);
}

// Three paints: the first fills the cache, the second comes from it, the
// third follows a change of the grid or of the contents.
void TestBlockDropRenderer::matchesReference()
{
    QFETCH(QRect, contents);
    QFETCH(QPoint, piece);
    QFETCH(QColor, backdrop);
    QFETCH(QRect, later);

    BlockDropGrid grid;
    grid.clear();
    // All colours, empty cells among them, and a clear top.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            grid.setCell(x, y, (x * 7 + y * 3) % 8);
    }
    const BlockDropPiece bar = BlockDropPiece::withColors(1, 4, 7);
    BlockDropRenderer renderer;
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2 && later == contents)
            grid.setCell(3, 2, 0);
        if (pass == 2)
            contents = later;
        const QSize cell(contents.width() / 12, contents.height() / 26);
        const auto paint = [&](const std::function<void(QPainter &)> &draw) {
            QImage image(contents.size() + QSize(6, 6), QImage::Format_ARGB32_Premultiplied);
            image.fill(backdrop);
            QPainter painter(&image);
            draw(painter);
            return image;
        };
        QCOMPARE(paint([&](QPainter &p) { renderer.drawPlayfield(p, contents, cell, grid, bar, piece.x(), piece.y()); }),
                 paint([&](QPainter &p) { referencePlayfield(p, contents, cell, grid, bar, piece.x(), piece.y()); }));
    }
}

void TestBlockDropRenderer::imagePath_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::newRow("first colour") << 1 << ":/images/block2_m.png";
    QTest::newRow("last colour") << 7 << ":/images/block8_m.png";
    QTest::newRow("background") << 8 << ":/images/block0_m.png";
    QTest::newRow("empty cell") << 0 << "";
}

// The reference shares the choice of image, so it is checked here.
void TestBlockDropRenderer::imagePath()
{
    QFETCH(int, code);
    QFETCH(QString, path);
    QCOMPARE(BlockDropRenderer::imagePath(code), path);
    QCOMPARE(QImage(path).isNull(), path.isEmpty());
}

QTEST_MAIN(TestBlockDropRenderer)
#include "tst_blockdroprenderer.moc"
