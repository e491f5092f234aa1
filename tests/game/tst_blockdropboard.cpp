// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "gridpicture.h"

#include <QKeyEvent>
#include <QTest>

#include <tuple>

Q_DECLARE_METATYPE(BlockDropPiece)

// The board's rules driven through its slots, keys and signals.
class TestBlockDropBoard : public QObject
{
    Q_OBJECT

private slots:
    void gameStarts_data();
    void gameStarts();
    void landing_data();
    void landing();
    void levelsRiseEvery35Pieces();
    void fallTimerBringsThePieces();
    void timerModeClock_data();
    void timerModeClock();
    void pause();
    void hold();
    void keysAndButtons_data();
    void keysAndButtons();
    void noMovesWithoutAFallingPiece_data();
    void noMovesWithoutAFallingPiece();
};

namespace {
// The counter signals in the order they arrive, as "score 210" or "mode lines".
void record(BlockDropBoard &board, QStringList &log)
{
    const auto entry = [&log](const char *name) {
        return [&log, name](int value) { log << QStringLiteral("%1 %2").arg(name).arg(value); };
    };
    QObject::connect(&board, &BlockDropBoard::scoreChanged, &board, entry("score"));
    QObject::connect(&board, &BlockDropBoard::levelChanged, &board, entry("level"));
    QObject::connect(&board, &BlockDropBoard::linesRemovedChanged, &board, entry("lines"));
    QObject::connect(&board, &BlockDropBoard::modeChanged, &board,
                     [&log](const QString &mode) { log << QStringLiteral("mode ") + mode; });
}

// A piece of colours 4, 5, 1 dropped into column 2 completes the run "111".
void clearARun(BlockDropBoard &board)
{
    BlockDropBoardTestAccess t{ board };
    t.grid() = gridFromPicture({ "11" });
    t.setFallingPiece(4, 5, 1, 2, 20);
    board.drop();
}

bool sendKey(BlockDropBoard &board, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&board, &event);
    return event.isAccepted();
}
}

void TestBlockDropBoard::gameStarts_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QStringList>("announced");

    QTest::newRow("New Game") << QByteArray("start") << QStringList{ "mode score", "score 0", "level 1" };
    QTest::newRow("line mode") << QByteArray("startLineMode") << QStringList{ "mode lines", "score 0", "level 1" };
    QTest::newRow("timer mode") << QByteArray("startTimerMode") << QStringList{ "level 25", "score 0", "mode timer" };
}

void TestBlockDropBoard::gameStarts()
{
    QFETCH(QByteArray, slot);
    QFETCH(QStringList, announced);

    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    // Leftovers of an earlier game must all go.
    board.start();
    t.grid() = gridFromPicture({ "123" });
    t.holdPiece() = BlockDropPiece::withColors(1, 1, 1);
    t.score() = 900;
    const BlockDropPiece shownAsNext = t.nextPiece();
    QStringList log;
    record(board, log);

    QVERIFY(QMetaObject::invokeMethod(&board, slot.constData()));

    QCOMPARE(log, announced);
    QVERIFY(t.isStarted());
    QCOMPARE(t.grid(), BlockDropGrid());
    QVERIFY(!t.holdPiece().isReal());
    QCOMPARE(t.curPiece(), shownAsNext);
    QCOMPARE(QPoint(t.curX(), t.curY()), QPoint(6, 28));
    QVERIFY(t.fallTimerActive());
    QCOMPARE(t.secondsTimer()->isActive(), slot == "startTimerMode");
}

void TestBlockDropBoard::landing_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<BlockDropPiece>("piece");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("piecesBefore");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QStringList>("gridAfter");
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("gameOver");

    const BlockDropPiece plain = BlockDropPiece::withColors(1, 4, 5);
    const BlockDropPiece completes = BlockDropPiece::withColors(4, 5, 1);
    const QStringList none;
    QTest::newRow("no run") << none << plain << 0 << 1 << 0 << none << QStringList{ "1", "4", "5" } << false
                            << false << false;
    QTest::newRow("run of three at level 1") << QStringList{ "11" } << completes << 2 << 1 << 0
                                             << QStringList{ "score 45", "lines 3" } << QStringList{ "..4", "..5" }
                                             << true << false << false;
    QTest::newRow("three, then four by settling, at level 2: +210")
        << QStringList{ ".5", "11.55" } << BlockDropPiece::withColors(3, 5, 1) << 2 << 2 << 0
        << QStringList{ "score 210", "lines 7" } << QStringList{ "..3" } << true << false << false;
    QTest::newRow("the 35th piece scores at the new level")
        << QStringList{ "11" } << completes << 2 << 1 << 34 << QStringList{ "level 2", "score 90", "lines 3" }
        << QStringList{ "..4", "..5" } << true << false << false;
    QTest::newRow("a clearing at the 70th piece keeps the pause")
        << QStringList{ "11" } << completes << 2 << 2 << 69 << QStringList{ "level 3", "score 135", "lines 3" }
        << QStringList{ "..4", "..5" } << true << true << false;
    QTest::newRow("top block in row 25 is fixed") << stripedColumn(23) << plain << 0 << 1 << 0 << none
                                                  << QStringList{ "1", "4", "5" } + stripedColumn(23) << false
                                                  << false << false;
    QTest::newRow("top block in row 26 ends the game")
        << stripedColumn(24) << plain << 0 << 1 << 0 << none << stripedColumn(24) << false << false << true;
}

void TestBlockDropBoard::landing()
{
    QFETCH(QStringList, grid);
    QFETCH(BlockDropPiece, piece);
    QFETCH(int, column);
    QFETCH(int, level);
    QFETCH(int, piecesBefore);
    QFETCH(QStringList, announced);
    QFETCH(QStringList, gridAfter);
    QFETCH(bool, waiting);
    QFETCH(bool, paused);
    QFETCH(bool, gameOver);

    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.start();
    t.grid() = gridFromPicture(grid);
    t.level() = level;
    t.numPiecesDropped() = piecesBefore;
    t.curPiece() = piece;
    t.curX() = column;
    const BlockDropPiece next = t.nextPiece();
    QStringList log;
    record(board, log);

    board.drop();

    QCOMPARE(log, announced);
    QCOMPARE(pictureOf(t.grid()), gridAfter);
    QCOMPARE(t.isWaitingAfterClear(), waiting);
    QCOMPARE(t.isPaused(), paused);
    QCOMPARE(t.isGameOver(), gameOver);
    QCOMPARE(t.isStarted(), !gameOver);
    QCOMPARE(t.numPiecesDropped(), piecesBefore + (gameOver ? 0 : 1));
    QCOMPARE(t.fallTimerActive(), !paused && !gameOver);
    QCOMPARE(t.curPiece(), waiting || gameOver ? BlockDropPiece() : next);
}

void TestBlockDropBoard::levelsRiseEvery35Pieces()
{
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.start();
    QList<int> levelUps;
    QList<int> pauses;

    for (int piece = 1; piece <= 175; ++piece) {
        const int levelBefore = t.level();
        t.grid().clear();
        t.setFallingPiece(1, 2, 3);
        board.drop();
        if (t.level() != levelBefore)
            levelUps << piece;
        if (t.isPaused()) {
            pauses << piece;
            board.pause();
        }
    }

    QCOMPARE(levelUps, QList<int>({ 35, 70, 105, 140, 175 }));
    QCOMPARE(pauses, QList<int>({ 70, 175 }));
}

void TestBlockDropBoard::fallTimerBringsThePieces()
{
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.start();
    QTRY_VERIFY(t.curY() < 28);

    clearARun(board);
    const BlockDropPiece next = t.nextPiece();
    QTRY_VERIFY(t.curPiece() == next);
}

void TestBlockDropBoard::timerModeClock_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("seconds");

    QTest::newRow("level 1") << 1 << 25;
    QTest::newRow("level 13") << 13 << 1;
    QTest::newRow("level 14 keeps one second") << 14 << 1;
    QTest::newRow("level 40 keeps one second") << 40 << 1;
}

void TestBlockDropBoard::timerModeClock()
{
    QFETCH(int, level);
    QFETCH(int, seconds);

    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.startTimerMode();
    t.level() = level;
    QStringList log;
    record(board, log);

    // A clearing resets the clock and leaves the score alone.
    clearARun(board);
    QCOMPARE(log, QStringList({ QStringLiteral("level %1").arg(seconds), "lines 3" }));

    for (int tick = 1; tick < seconds; ++tick)
        board.timerDone();
    QVERIFY(t.isStarted());
    board.timerDone();
    QCOMPARE(log.mid(log.size() - 2), QStringList({ QStringLiteral("score %1").arg(seconds), "level 0" }));
    QVERIFY(t.isGameOver());
    QVERIFY(!t.secondsTimer()->isActive());
    QVERIFY(!t.fallTimerActive());
}

void TestBlockDropBoard::pause()
{
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.pause();
    QVERIFY(!t.isPaused());

    board.startTimerMode();
    board.pause();
    QVERIFY(!t.fallTimerActive());
    QVERIFY(!t.secondsTimer()->isActive());

    // Neither New Game nor the milestone at level 3 resumes the game.
    const BlockDropPiece piece = t.curPiece();
    board.start();
    QCOMPARE(t.curPiece(), piece);
    t.level() = 2;
    t.numPiecesDropped() = 69;
    t.setFallingPiece(1, 2, 3, 6, 1);
    t.dropDown();
    QCOMPARE(t.level(), 3);
    QVERIFY(t.isPaused());
    QVERIFY(!t.fallTimerActive());

    board.pause();
    QVERIFY(t.fallTimerActive());
    QVERIFY(t.secondsTimer()->isActive());

    // A new timer-mode game under the pause keeps its clock stopped too.
    board.pause();
    board.startTimerMode();
    QVERIFY(t.isPaused());
    QVERIFY(!t.fallTimerActive());
    QVERIFY(!t.secondsTimer()->isActive());
    board.pause();
    QVERIFY(t.secondsTimer()->isActive());
}

void TestBlockDropBoard::hold()
{
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.hold();
    QVERIFY(!t.holdPiece().isReal());

    board.start();
    const BlockDropPiece first = t.curPiece();
    const BlockDropPiece second = t.nextPiece();
    board.left();
    board.hold();
    QCOMPARE(t.holdPiece(), first);
    QCOMPARE(t.curPiece(), second);
    QCOMPARE(QPoint(t.curX(), t.curY()), QPoint(6, 28));

    board.left();
    board.down();
    board.hold();
    QCOMPARE(t.curPiece(), first);
    QCOMPARE(t.holdPiece(), second);
    QCOMPARE(QPoint(t.curX(), t.curY()), QPoint(5, 27));

    // Between a clearing and the next piece there is nothing to swap with.
    clearARun(board);
    board.hold();
    QCOMPARE(t.holdPiece(), second);
    QVERIFY(!t.curPiece().isReal());
}

void TestBlockDropBoard::keysAndButtons_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<bool>("rotated");

    // A landed piece goes back to the spawn point (6, 28).
    const QList<std::tuple<const char *, int, QByteArray, QPoint, bool>> rows = {
        { "left", Qt::Key_Left, "left", { 4, 10 }, false },
        { "right", Qt::Key_Right, "right", { 6, 10 }, false },
        { "rotate", Qt::Key_Up, "rotate", { 5, 10 }, true },
        { "down", Qt::Key_D, "down", { 5, 9 }, false },
        { "drop", Qt::Key_Space, "drop", { 6, 28 }, false },
        { "Enter drops", Qt::Key_Enter, {}, { 6, 28 }, false },
        { "Select drops", Qt::Key_Select, {}, { 6, 28 }, false },
        { "the down arrow is no game key", Qt::Key_Down, {}, { 5, 10 }, false },
        { "Return is no game key", Qt::Key_Return, {}, { 5, 10 }, false },
    };
    for (const auto &[name, key, button, position, rotated] : rows) {
        QTest::addRow("key: %s", name) << key << QByteArray() << position << rotated;
        if (!button.isEmpty())
            QTest::addRow("button: %s", name) << 0 << button << position << rotated;
    }
}

void TestBlockDropBoard::keysAndButtons()
{
    QFETCH(int, key);
    QFETCH(QByteArray, button);
    QFETCH(QPoint, position);
    QFETCH(bool, rotated);

    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    board.start();
    t.setFallingPiece(1, 2, 3, 5, 10);
    const bool gameKey = key != Qt::Key_Down && key != Qt::Key_Return;

    if (key)
        QCOMPARE(sendKey(board, key), gameKey);
    else
        QVERIFY(QMetaObject::invokeMethod(&board, button.constData()));

    QCOMPARE(QPoint(t.curX(), t.curY()), position);
    const bool landed = position == QPoint(6, 28);
    QCOMPARE(t.numPiecesDropped(), landed ? 1 : 0);
    if (landed)
        QCOMPARE(pictureOf(t.grid()), QStringList({ ".....1", ".....2", ".....3" }));
    else
        QCOMPARE(t.curPiece().color(0), rotated ? 3 : 1);
}

void TestBlockDropBoard::noMovesWithoutAFallingPiece_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("no game yet") << "none";
    QTest::newRow("paused") << "paused";
    QTest::newRow("between a clearing and the next piece") << "waiting";
    QTest::newRow("game over") << "over";
}

void TestBlockDropBoard::noMovesWithoutAFallingPiece()
{
    QFETCH(QString, state);

    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    if (state != "none")
        board.start();
    if (state == "waiting") {
        clearARun(board);
    } else if (state == "over") {
        t.grid() = gridFromPicture(stripedColumn(26));
        t.setFallingPiece(1, 2, 3, 0, 28);
        board.drop();
    }
    // Without the guard, a real piece would move in every state but the wait.
    if (state != "waiting")
        t.setFallingPiece(1, 2, 3, 5, 10);
    if (state == "paused")
        board.pause();
    const BlockDropGrid grid = t.grid();
    const BlockDropPiece piece = t.curPiece();
    const QPoint position(t.curX(), t.curY());

    for (const int key : { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_D, Qt::Key_Space })
        QVERIFY(!sendKey(board, key));
    for (const char *button : { "left", "right", "rotate", "down", "drop" })
        QVERIFY(QMetaObject::invokeMethod(&board, button));

    QCOMPARE(t.grid(), grid);
    QCOMPARE(t.curPiece(), piece);
    QCOMPARE(QPoint(t.curX(), t.curY()), position);
    QCOMPARE(t.isGameOver(), state == "over");
}

QTEST_MAIN(TestBlockDropBoard)
#include "tst_blockdropboard.moc"
