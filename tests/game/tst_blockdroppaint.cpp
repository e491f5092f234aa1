// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdroprenderer.h"

#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// What the board shows: where the playfield stands, the text screens and the
// previews, checked on rendered pixels.
class TestBlockDropPaint : public QObject
{
    Q_OBJECT

private slots:
    void squaresLandOnTheirCells_data();
    void squaresLandOnTheirCells();
    void screens_data();
    void screens();
    void gameOverListsTheTable_data();
    void gameOverListsTheTable();
    void preview();
};

namespace {

// A started, empty board whose contents rectangle has the given size.
void prepare(BlockDropBoard &board, QSize contents)
{
    const int frame = board.frameWidth();
    board.resize(contents + QSize(2 * frame, 2 * frame));
    BlockDropBoardTestAccess t{board};
    t.loading() = false;
    t.started() = true;
    t.grid().clear();
    t.curPiece() = BlockDropPiece();
}

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    return image;
}

} // namespace

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
    QTest::newRow("settled, wide cells") << QSize(300, 300) << false << 11 << 25 << 3;
    QTest::newRow("falling piece") << QSize(190, 400) << true << 6 << 12 << 2;
    QTest::newRow("falling piece, uneven cells") << QSize(217, 431) << true << 3 << 1 << 6;
}

// The grid stands on the bottom-left corner; leftover rows lie above it.
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
    QImage expected = render(board);

    if (falling)
        t.setFallingPiece(colour, colour, colour, column, row);
    else
        t.grid().setCell(column, row, colour);
    const QRect area = board.contentsRect();
    const QSize cell(contents.width() / 12, contents.height() / 26);
    const int boardTop = area.bottom() - 26 * cell.height();
    QPainter painter(&expected);
    for (int k = falling ? -1 : 0; k <= (falling ? 1 : 0); ++k)
        BlockDropRenderer().drawSquare(painter, area.left() + column * cell.width(),
                                       boardTop + (25 - row - k) * cell.height(), colour, cell);
    painter.end();
    QCOMPARE(render(board), expected);
}

void TestBlockDropPaint::screens_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("text");
    const QString credits = "Quillo / the Tumblox developers\n Tumblox \n v1.0.0 \n https://quillo.example/tumblox";
    QTest::newRow("loading beats everything") << "loading credits started paused over" << "Loading, please wait!";
    QTest::newRow("loading and game over") << "loading over" << "Loading, please wait!";
    QTest::newRow("credits before a game") << "credits paused over" << credits;
    QTest::newRow("credits ignored while started") << "credits started" << QString();
    QTest::newRow("pause beats game over") << "started paused over" << "Pause";
    QTest::newRow("game over before any game") << "over" << "Game Over!\n Top 10 scores \"\":\n";
    QTest::newRow("playing") << "started" << QString();
}

void TestBlockDropPaint::screens()
{
    QFETCH(QString, state);
    QFETCH(QString, text);
    BlockDropBoard board;
    prepare(board, QSize(190, 400));
    BlockDropBoardTestAccess t{board};
    t.loading() = state.contains("loading");
    t.showingCredits() = state.contains("credits");
    t.started() = state.contains("started");
    t.paused() = state.contains("paused");
    t.gameOver() = state.contains("over");
    QCOMPARE(t.screenText(), text);
    QCOMPARE(t.screenText().isNull(), text.isNull());

    // The text stands out on the contents, and the sunken frame around them.
    const QImage shown = render(board);
    const QRect area = board.contentsRect();
    QImage bare(area.size(), shown.format());
    bare.fill(shown.pixel(area.topLeft()));
    QVERIFY(shown.copy(area) != bare);
    QVERIFY(shown.pixel(0, 0) != shown.pixel(area.topLeft()));
}

void TestBlockDropPaint::gameOverListsTheTable_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("score mode marks the score") << "score" << QByteArray("900\n300\n") << "Game Over!\n Top 10 scores \"SCORE\":\n900\n--- 450 --- \n300\n";
    QTest::newRow("line mode marks the removed blocks") << "lines" << QByteArray("12\n") << "Game Over!\n Top 10 scores \"LINES\":\n12\n--- 9 --- \n";
}

void TestBlockDropPaint::gameOverListsTheTable()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, stored);
    QTemporaryDir scores;
    QFile file(scores.filePath("highscores_" + mode + ".txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();
    BlockDropBoard board;
    BlockDropBoardTestAccess t{board};
    t.highScoreDirectory() = scores.path();
    t.loading() = false;
    t.mode() = mode;
    t.score() = 450;
    t.numLinesRemoved() = 9;
    t.endGame();
    QTEST(t.screenText(), "expected");
}

// The preview scales with the board's cells, each square one pixel in, on
// the label's own background; a label that is gone is left alone.
void TestBlockDropPaint::preview()
{
    QWidget window;
    auto *label = new QLabel(&window);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::magenta);
    label->setPalette(palette);
    auto *board = new BlockDropBoard(&window);
    prepare(*board, QSize(240, 520));
    board->setNextPieceLabel(label);
    board->setHoldPieceLabel(label);
    BlockDropBoardTestAccess t{*board};
    t.nextPiece() = BlockDropPiece::withColors(1, 5, 7);
    t.showNextPiece();

    const QImage shown = label->pixmap().toImage();
    QImage expected(20, 60, shown.format());
    expected.fill(Qt::magenta);
    QPainter painter(&expected);
    for (int k = 0; k < 3; ++k)
        BlockDropRenderer().drawSquare(painter, 0, 20 * k, t.nextPiece().color(k), QSize(20, 20));
    painter.end();
    QCOMPARE(shown, expected);

    delete label;
    t.showNextPiece();
    t.showHoldPiece();
}

QTEST_MAIN(TestBlockDropPaint)
#include "tst_blockdroppaint.moc"
