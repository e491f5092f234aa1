// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdroprenderer.h"

#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

// What the board shows: the playfield geometry, the text screens and the
// previews, checked on rendered pixels.
class TestBlockDropPaint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void geometry_data();
    void geometry();
    void squaresLandOnTheirCells_data();
    void squaresLandOnTheirCells();
    void backgroundSitsOnePixelRight();
    void screens_data();
    void screens();
    void gameOverListsTheTable_data();
    void gameOverListsTheTable();
    void preview();
    void previewOfDestroyedLabel();

private:
    // A started board whose contents rectangle has the given size.
    static void prepare(BlockDropBoard &board, QSize contents);
    static QImage render(BlockDropBoard &board);
    static QRect changedPixels(const QImage &before, const QImage &after);
    static QColor meanOpaqueColour(const QImage &image, const QRect &area);
    // The colour code whose block image is nearest in mean colour.
    static int closestCode(const QImage &image, const QRect &area);

    QTemporaryDir scores;
};

void TestBlockDropPaint::initTestCase()
{
    QVERIFY(scores.isValid());
}

void TestBlockDropPaint::prepare(BlockDropBoard &board, QSize contents)
{
    const int frame = board.frameWidth();
    board.resize(contents + QSize(2 * frame, 2 * frame));
    BlockDropBoardTestAccess t{board};
    t.loading() = false;
    t.started() = true;
    t.grid().clear();
    t.curPiece() = BlockDropPiece();
}

QImage TestBlockDropPaint::render(BlockDropBoard &board)
{
    QImage image(board.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    board.render(&image);
    return image;
}

QRect TestBlockDropPaint::changedPixels(const QImage &before, const QImage &after)
{
    QRect changed;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

QColor TestBlockDropPaint::meanOpaqueColour(const QImage &image, const QRect &area)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                r += qRed(pixel);
                g += qGreen(pixel);
                b += qBlue(pixel);
                ++n;
            }
        }
    }
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

int TestBlockDropPaint::closestCode(const QImage &image, const QRect &area)
{
    const QColor drawn = meanOpaqueColour(image, area);
    int best = 0;
    int bestDistance = INT_MAX;
    for (int code = 1; code <= 7; ++code) {
        const QImage source(BlockDropRenderer::imagePath(code));
        const QColor c = meanOpaqueColour(source, source.rect());
        const int d = qAbs(c.red() - drawn.red()) + qAbs(c.green() - drawn.green()) + qAbs(c.blue() - drawn.blue());
        if (d < bestDistance) {
            bestDistance = d;
            best = code;
        }
    }
    return best;
}

void TestBlockDropPaint::geometry_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<QSize>("cell");
    QTest::newRow("even") << QSize(190, 400) << QSize(15, 15);
    QTest::newRow("uneven") << QSize(203, 419) << QSize(16, 16);
    QTest::newRow("wide cells") << QSize(300, 300) << QSize(25, 11);
}

// The grid stands on the bottom-left corner; leftover rows lie above it.
void TestBlockDropPaint::geometry()
{
    QFETCH(QSize, contents);
    QFETCH(QSize, cell);
    BlockDropBoard board;
    prepare(board, contents);
    BlockDropBoardTestAccess t{board};
    const QImage empty = render(board);
    for (int x = 0; x < 12; ++x)
        t.grid().setCell(x, 25, 3);
    for (int y = 0; y < 26; ++y)
        t.grid().setCell(0, y, 4 + y % 2);
    const QRect drawn = changedPixels(empty, render(board));
    const QRect area = board.contentsRect();
    const int boardTop = area.bottom() - 26 * cell.height();
    QCOMPARE(drawn, QRect(area.left() + 1, boardTop + 1, 12 * cell.width(), 26 * cell.height()));
    QCOMPARE(drawn.bottom(), area.bottom());
}

void TestBlockDropPaint::squaresLandOnTheirCells_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<bool>("falling");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("colour");
    QTest::newRow("settled bottom left") << QSize(190, 400) << false << 0 << 0 << 1;
    QTest::newRow("settled top right") << QSize(190, 400) << false << 11 << 25 << 7;
    QTest::newRow("settled, uneven cells") << QSize(201, 407) << false << 5 << 9 << 4;
    QTest::newRow("falling piece") << QSize(190, 400) << true << 6 << 12 << 2;
    QTest::newRow("falling piece, uneven cells") << QSize(217, 431) << true << 3 << 1 << 6;
}

void TestBlockDropPaint::squaresLandOnTheirCells()
{
    QFETCH(QSize, contents);
    QFETCH(bool, falling);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(int, colour);
    BlockDropBoard board;
    prepare(board, contents);
    BlockDropBoardTestAccess t{board};
    const QImage empty = render(board);

    int topRow = row;
    int height = 1;
    if (falling) {
        t.setFallingPiece(colour, colour, colour, column, row);
        topRow = row + 1;
        height = 3;
    } else {
        t.grid().setCell(column, row, colour);
    }
    const QImage drawn = render(board);

    const QRect area = board.contentsRect();
    const int w = contents.width() / 12;
    const int h = contents.height() / 26;
    const int boardTop = area.bottom() - 26 * h;
    const QRect expected(area.left() + column * w + 1, boardTop + (25 - topRow) * h + 1, w, height * h);
    QCOMPARE(changedPixels(empty, drawn), expected);

    QCOMPARE(closestCode(drawn, expected), colour);
}

void TestBlockDropPaint::backgroundSitsOnePixelRight()
{
    BlockDropBoard board;
    prepare(board, QSize(190, 400));
    const QImage withGrid = render(board);
    // The loading text leaves the contents bare; the difference is the background grid.
    BlockDropBoardTestAccess{board}.loading() = true;
    board.setFont(QFont(board.font().family(), 1));
    const QImage bare = render(board);
    const QRect area = board.contentsRect();
    QRect lines;
    for (int x = area.left(); x <= area.right() + 1; ++x)
        if (withGrid.pixel(x, area.bottom() - 7) != bare.pixel(x, area.bottom() - 7))
            lines |= QRect(x, 0, 1, 1);
    // The squares end at column left + 180; the grid's last line one pixel further.
    QCOMPARE(lines.right(), area.left() + 12 * 15 + 1);
}

void TestBlockDropPaint::screens_data()
{
    QTest::addColumn<bool>("loading");
    QTest::addColumn<bool>("credits");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("over");
    QTest::addColumn<QString>("screen");
    QTest::newRow("loading beats everything") << true << true << true << true << true << "loading";
    QTest::newRow("loading and game over") << true << false << false << false << true << "loading";
    QTest::newRow("credits before a game") << false << true << false << true << true << "credits";
    QTest::newRow("credits ignored while started") << false << true << true << false << false << "playfield";
    QTest::newRow("pause beats game over") << false << false << true << true << true << "pause";
    QTest::newRow("game over") << false << false << false << false << true << "over";
    QTest::newRow("playing") << false << false << true << false << false << "playfield";
}

void TestBlockDropPaint::screens()
{
    QFETCH(bool, loading);
    QFETCH(bool, credits);
    QFETCH(bool, started);
    QFETCH(bool, paused);
    QFETCH(bool, over);
    QFETCH(QString, screen);
    BlockDropBoard board;
    BlockDropBoardTestAccess t{board};
    t.loading() = loading;
    t.showingCredits() = credits;
    t.started() = started;
    t.paused() = paused;
    t.gameOver() = over;
    const QString text = t.screenText();
    if (screen == "loading")
        QCOMPARE(text, QStringLiteral("Loading, please wait!"));
    else if (screen == "credits")
        QVERIFY(text.startsWith(QStringLiteral("Quillo / ")) && text.contains(QStringLiteral("\n Tumblox \n v1.0.0 \n ")));
    else if (screen == "pause")
        QCOMPARE(text, QStringLiteral("Pause"));
    else if (screen == "over")
        QVERIFY(text.startsWith(QStringLiteral("Game Over!\n")));
    else
        QVERIFY(text.isNull());
}

void TestBlockDropPaint::gameOverListsTheTable_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("before the first game")
            << QString() << QByteArray() << "Game Over!\n Top 10 scores \"\":\n";
    QTest::newRow("score mode marks the score")
            << "score" << QByteArray("900\n300\n") << "Game Over!\n Top 10 scores \"SCORE\":\n900\n--- 450 --- \n300\n";
    QTest::newRow("line mode marks the removed blocks")
            << "lines" << QByteArray("12\n") << "Game Over!\n Top 10 scores \"LINES\":\n12\n--- 9 --- \n";
    QTest::newRow("timer mode marks the score")
            << "timer" << QByteArray("450\n") << "Game Over!\n Top 10 scores \"TIMER\":\n--- 450 --- \n450\n";
}

void TestBlockDropPaint::gameOverListsTheTable()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, stored);
    QFETCH(QString, expected);
    BlockDropBoard board;
    BlockDropBoardTestAccess t{board};
    const QString folder = scores.filePath(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    t.highScoreDirectory() = folder;
    t.loading() = false;
    t.mode() = mode;
    t.score() = 450;
    t.numLinesRemoved() = 9;
    if (mode.isEmpty()) {
        // New Game's ad is shown over a game-over view before any game ended.
        t.gameOver() = true;
    } else {
        QFile file(folder + "/highscores_" + mode + ".txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stored);
        file.close();
        t.endGame();
    }
    QCOMPARE(t.screenText(), expected);
}

void TestBlockDropPaint::preview()
{
    QWidget window;
    auto *label = new QLabel(&window);
    auto *board = new BlockDropBoard(&window);
    prepare(*board, QSize(190, 400));
    board->setNextPieceLabel(label);
    board->setNextPieceLabel(label);
    BlockDropBoardTestAccess t{*board};

    t.nextPiece() = BlockDropPiece();
    t.showNextPiece();
    const QImage empty = label->pixmap().toImage();
    QCOMPARE(empty.size(), QSize(15, 45));

    t.nextPiece() = BlockDropPiece::withColors(1, 5, 7);
    t.showNextPiece();
    const QImage piece = label->pixmap().toImage();
    // Each square lands one pixel in; the last row and column fall outside.
    QCOMPARE(changedPixels(empty, piece), QRect(1, 1, 14, 44));
    for (int k = 0; k < 3; ++k) {
        const QRect square(1, 1 + 15 * k, 14, k == 2 ? 14 : 15);
        QCOMPARE(closestCode(piece, square), t.nextPiece().color(k));
    }
}

void TestBlockDropPaint::previewOfDestroyedLabel()
{
    BlockDropBoard board;
    prepare(board, QSize(190, 400));
    auto *label = new QLabel;
    board.setNextPieceLabel(label);
    board.setHoldPieceLabel(label);
    delete label;
    BlockDropBoardTestAccess t{board};
    t.showNextPiece();
    t.showHoldPiece();
}

QTEST_MAIN(TestBlockDropPaint)
#include "tst_blockdroppaint.moc"
