// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropgrid.h"
#include "blockdroppiece.h"
#include "blockdroprenderer.h"
#include "referenceplayfield.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

// The cached playfield paint must be indistinguishable from stretching every
// image into every cell at paint time.
class TestBlockDropRenderer : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data();
    void matchesReference();
    void cacheFollowsChanges();
    void squareUsesItsImage_data();
    void squareUsesItsImage();

private:
    static BlockDropGrid makeGrid(const QString &kind);
    static QImage paint(const std::function<void(QPainter &)> &draw, QSize canvas, QColor backdrop);
};


BlockDropGrid TestBlockDropRenderer::makeGrid(const QString &kind)
{
    BlockDropGrid grid;
    grid.clear();
    QRandomGenerator random(7);
    for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
            if (kind == "full")
                grid.setCell(x, y, random.bounded(1, 8));
            else if (kind == "stack" && y < 9)
                grid.setCell(x, y, (x + y) % 7 + 1);
        }
    }
    return grid;
}

QImage TestBlockDropRenderer::paint(const std::function<void(QPainter &)> &draw, QSize canvas, QColor backdrop)
{
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(backdrop);
    QPainter painter(&image);
    draw(painter);
    return image;
}

void TestBlockDropRenderer::matchesReference_data()
{
    QTest::addColumn<QRect>("contents");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QPoint>("piece");
    QTest::addColumn<QColor>("backdrop");

    const QPoint falling(5, 12), spawning(6, 28), resting(0, 1), rightWall(11, 25);
    QTest::newRow("190x400 even cells, empty") << QRect(2, 2, 190, 400) << "empty" << falling << QColor(Qt::white);
    QTest::newRow("190x400 full") << QRect(2, 2, 190, 400) << "full" << spawning << QColor(Qt::white);
    QTest::newRow("uneven 203x411 stack") << QRect(1, 3, 203, 411) << "stack" << resting << QColor(40, 60, 90);
    QTest::newRow("uneven 481x397 full") << QRect(2, 2, 481, 397) << "full" << rightWall << QColor(Qt::transparent);
    QTest::newRow("handheld board 466x416") << QRect(2, 2, 466, 416) << "full" << falling << QColor(Qt::black);
    QTest::newRow("tiny 61x131") << QRect(0, 0, 61, 131) << "stack" << falling << QColor(Qt::white);
    QTest::newRow("no room 11x25") << QRect(0, 0, 11, 25) << "full" << falling << QColor(Qt::white);
}

void TestBlockDropRenderer::matchesReference()
{
    QFETCH(QRect, contents);
    QFETCH(QString, grid);
    QFETCH(QPoint, piece);
    QFETCH(QColor, backdrop);

    const BlockDropGrid cells = makeGrid(grid);
    const BlockDropPiece bar = BlockDropPiece::withColors(1, 4, 7);
    const QSize cell(contents.width() / 12, contents.height() / 26);
    const QSize canvas = contents.size() + QSize(6, 6);

    BlockDropRenderer renderer;
    const QImage expected = paint([&](QPainter &p) { referencePlayfield(p, contents, cell, cells, bar, piece.x(), piece.y()); },
                                  canvas, backdrop);
    // Twice: the second paint comes from the cached layer.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage actual = paint([&](QPainter &p) { renderer.drawPlayfield(p, contents, cell, cells, bar, piece.x(), piece.y()); },
                                    canvas, backdrop);
        QCOMPARE(actual, expected);
    }
}

void TestBlockDropRenderer::cacheFollowsChanges()
{
    BlockDropRenderer renderer;
    const BlockDropPiece bar = BlockDropPiece::withColors(2, 2, 3);
    BlockDropGrid cells = makeGrid("stack");
    QRect contents(2, 2, 190, 400);
    const QSize canvas(500, 500);
    auto check = [&] {
        const QSize cell(contents.width() / 12, contents.height() / 26);
        const QImage expected = paint([&](QPainter &p) { referencePlayfield(p, contents, cell, cells, bar, 4, 20); },
                                      canvas, Qt::white);
        const QImage actual = paint([&](QPainter &p) { renderer.drawPlayfield(p, contents, cell, cells, bar, 4, 20); },
                                    canvas, Qt::white);
        return actual == expected;
    };
    QVERIFY(check());
    cells.setCell(3, 9, 5);
    QVERIFY(check());
    cells.clear();
    QVERIFY(check());
    contents = QRect(5, 1, 300, 470);
    QVERIFY(check());
    contents.translate(3, 4);
    QVERIFY(check());
}

void TestBlockDropRenderer::squareUsesItsImage_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::newRow("first colour") << 1 << ":/images/block2_m.png";
    QTest::newRow("last colour") << 7 << ":/images/block8_m.png";
    QTest::newRow("background") << 8 << ":/images/block0_m.png";
}

void TestBlockDropRenderer::squareUsesItsImage()
{
    QFETCH(int, code);
    QFETCH(QString, path);
    QCOMPARE(BlockDropRenderer::imagePath(code), path);

    const QImage source = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QVERIFY(!source.isNull());
    BlockDropRenderer renderer;
    const QImage drawn = paint([&](QPainter &p) { renderer.drawSquare(p, 0, 0, code, source.size()); },
                               source.size() + QSize(1, 1), Qt::transparent);
    // At its own size the image lands unscaled, one pixel in from the corner.
    QCOMPARE(drawn.copy(1, 1, source.width(), source.height()), source);
    QCOMPARE(drawn.pixel(0, 0), 0u);
}

QTEST_MAIN(TestBlockDropRenderer)
#include "tst_blockdroprenderer.moc"
