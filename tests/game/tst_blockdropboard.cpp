// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "gridpicture.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
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
    void timerModeClock_data();
    void timerModeClock();
    void pause();
    void hold();
    void keysAndButtons_data();
    void keysAndButtons();
    void randomWalk_data();
    void randomWalk();
    void leavingTheProgram_data();
    void leavingTheProgram();
};

namespace {
// A board kept off the network whose game overs write into a folder of its own.
struct Board
{
    QTemporaryDir scores;
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    Board()
    {
        t.highScoreDirectory() = scores.path();
        t.skipAds();
    }
};

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

bool running(BlockDropBoardTestAccess &t)
{
    return t.isStarted() && !t.isPaused();
}

// Cells hold colours 0 to 7 and every block rests on the floor or on another.
bool settled(BlockDropBoardTestAccess &t)
{
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
            const int color = t.grid().cellAt(x, y);
            if (color < 0 || color > 7 || (color != 0 && y > 0 && t.grid().cellAt(x, y - 1) == 0))
                return false;
        }
    }
    return true;
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

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    // Leftovers of an earlier game, a timer game with its clock, must all go.
    g.board.startTimerMode();
    t.grid() = gridFromPicture({ "123" });
    t.holdPiece() = BlockDropPiece::withColors(1, 1, 1);
    t.score() = 900;
    const BlockDropPiece shownAsNext = t.nextPiece();
    QStringList log;
    record(g.board, log);

    QVERIFY(QMetaObject::invokeMethod(&g.board, slot.constData()));

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
    QTest::newRow("the 70th piece pauses, and a clearing keeps the pause")
        << QStringList{ "11" } << completes << 2 << 2 << 69 << QStringList{ "level 3", "score 135", "lines 3" }
        << QStringList{ "..4", "..5" } << true << true << false;
    QTest::newRow("the 105th piece does not pause") << none << plain << 0 << 3 << 104 << QStringList{ "level 4" }
                                                    << QStringList{ "1", "4", "5" } << false << false << false;
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

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.start();
    t.grid() = gridFromPicture(grid);
    t.level() = level;
    t.numPiecesDropped() = piecesBefore;
    t.curPiece() = piece;
    t.curX() = column;
    const BlockDropPiece next = t.nextPiece();
    QStringList log;
    record(g.board, log);

    g.board.drop();

    QCOMPARE(log, announced);
    QCOMPARE(pictureOf(t.grid()), gridAfter);
    QCOMPARE(t.isPaused(), paused);
    QCOMPARE(t.isGameOver(), gameOver);
    QCOMPARE(t.isStarted(), !gameOver);
    QCOMPARE(t.numPiecesDropped(), piecesBefore + (gameOver ? 0 : 1));
    QCOMPARE(t.fallTimerActive(), !paused && !gameOver);
    QCOMPARE(t.curPiece(), waiting || gameOver ? BlockDropPiece() : next);
    // After a clearing the next fall tick brings the next piece.
    if (waiting && !paused) {
        t.fallTick();
        QCOMPARE(t.curPiece(), next);
    }
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

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.startTimerMode();
    t.level() = level;
    QStringList log;
    record(g.board, log);

    // A clearing resets the clock and leaves the score alone.
    clearARun(g.board);
    QCOMPARE(log, QStringList({ QStringLiteral("level %1").arg(seconds), "lines 3" }));

    for (int tick = 1; tick < seconds; ++tick)
        g.board.timerDone();
    QVERIFY(t.isStarted());
    QVERIFY(t.secondsTimer()->isActive());
    QVERIFY(QMetaObject::invokeMethod(t.secondsTimer(), "timeout"));
    QCOMPARE(log.mid(log.size() - 2), QStringList({ QStringLiteral("score %1").arg(seconds), "level 0" }));
    QVERIFY(t.isGameOver());
    QVERIFY(!t.secondsTimer()->isActive());
    QVERIFY(!t.fallTimerActive());
}

void TestBlockDropBoard::pause()
{
    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.pause();
    QVERIFY(!t.isPaused());

    g.board.startTimerMode();
    g.board.pause();
    QVERIFY(!t.fallTimerActive());
    QVERIFY(!t.secondsTimer()->isActive());

    // Neither New Game nor a game of another mode resumes the game.
    const BlockDropPiece piece = t.curPiece();
    g.board.start();
    QCOMPARE(t.curPiece(), piece);
    g.board.startTimerMode();
    QVERIFY(t.isPaused());
    QVERIFY(!t.fallTimerActive());
    QVERIFY(!t.secondsTimer()->isActive());

    g.board.pause();
    QVERIFY(t.fallTimerActive());
    QVERIFY(t.secondsTimer()->isActive());
}

void TestBlockDropBoard::hold()
{
    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.start();
    const BlockDropPiece first = t.curPiece();
    const BlockDropPiece second = t.nextPiece();
    g.board.left();
    g.board.hold();
    QCOMPARE(t.holdPiece(), first);
    QCOMPARE(t.curPiece(), second);
    QCOMPARE(QPoint(t.curX(), t.curY()), QPoint(6, 28));

    g.board.left();
    t.fallTick();
    g.board.hold();
    QCOMPARE(t.curPiece(), first);
    QCOMPARE(t.holdPiece(), second);
    QCOMPARE(QPoint(t.curX(), t.curY()), QPoint(5, 27));
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

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.start();
    t.setFallingPiece(1, 2, 3, 5, 10);
    const bool gameKey = key != Qt::Key_Down && key != Qt::Key_Return;

    if (key)
        QCOMPARE(sendKey(g.board, key), gameKey);
    else
        QVERIFY(QMetaObject::invokeMethod(&g.board, button.constData()));

    QCOMPARE(QPoint(t.curX(), t.curY()), position);
    const bool landed = position == QPoint(6, 28);
    QCOMPARE(t.numPiecesDropped(), landed ? 1 : 0);
    if (landed)
        QCOMPARE(pictureOf(t.grid()), QStringList({ ".....1", ".....2", ".....3" }));
    else
        QCOMPARE(t.curPiece().color(0), rotated ? 3 : 1);
}

void TestBlockDropBoard::randomWalk_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 1, 2, 3 })
        QTest::addRow("seed %u", seed) << seed;
}

// Any sequence of slots, keys and ticks keeps the rules, and Pause then New
// Game always bring back a running game.
void TestBlockDropBoard::randomWalk()
{
    QFETCH(quint32, seed);

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    QRandomGenerator random(seed);
    int lines = 0;
    int expectedScore = 0;
    connect(&g.board, &BlockDropBoard::modeChanged, this, [&] { lines = expectedScore = 0; });
    connect(&g.board, &BlockDropBoard::linesRemovedChanged, this, [&](int total) {
        expectedScore += (total - lines) * 15 * t.level();
        lines = total;
    });
    const QList<QByteArray> moves = { "left", "right", "rotate", "down", "drop", "drop", "hold" };
    const QList<QByteArray> games = { "start", "startLineMode", "startTimerMode" };
    const int keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_D, Qt::Key_Space };

    for (int step = 0; step < 4000; ++step) {
        const bool pieceFalls = running(t) && t.curPiece().isReal();
        const BlockDropGrid grid = t.grid();
        const auto pieces = std::make_tuple(t.curPiece(), t.holdPiece(), t.curX(), t.curY());
        const int scoreBefore = t.score();
        const bool clockRuns = running(t) && t.mode() == "timer";
        bool moved = false;
        // Mostly moves and ticks; a new game or a pause now and then.
        const int roll = int(random.bounded(100));
        if (roll < 3) {
            QVERIFY(QMetaObject::invokeMethod(&g.board, games.at(roll).constData()));
        } else if (roll < 4 || (roll >= 5 && roll < 12 && t.isPaused())) {
            g.board.pause();
        } else if (roll < 5) {
            if (t.isPaused())
                g.board.pause();
            g.board.start();
            QVERIFY(running(t));
        } else if (roll < 18) {
            g.board.timerDone();
            QCOMPARE(t.score(), scoreBefore + (clockRuns ? 1 : 0));
        } else if (roll < 30) {
            if (t.fallTimerActive())
                t.fallTick();
        } else {
            moved = true;
            if (roll < 40)
                QCOMPARE(sendKey(g.board, keys[random.bounded(5)]), pieceFalls);
            else
                QVERIFY(QMetaObject::invokeMethod(&g.board, moves.at(random.bounded(moves.size())).constData()));
        }
        // Without a falling piece no move or hold changes anything.
        if (moved && !pieceFalls) {
            QCOMPARE(t.grid(), grid);
            QVERIFY(std::make_tuple(t.curPiece(), t.holdPiece(), t.curX(), t.curY()) == pieces);
        }
        QVERIFY2(t.isStarted() || !t.isPaused(), "neither Pause nor New Game would do anything");
        QCOMPARE(t.fallTimerActive(), running(t));
        QCOMPARE(t.secondsTimer()->isActive(), running(t) && t.mode() == "timer");
        QVERIFY(settled(t));
        if (t.mode() != "timer")
            QCOMPARE(t.score(), expectedScore);
    }
}

void TestBlockDropBoard::leavingTheProgram_data()
{
    QTest::addColumn<QString>("game");
    QTest::addColumn<Qt::ApplicationState>("state");
    QTest::addColumn<bool>("paused");

    QTest::newRow("another program takes the focus") << "running" << Qt::ApplicationInactive << true;
    QTest::newRow("minimised or hidden") << "running" << Qt::ApplicationHidden << true;
    QTest::newRow("suspended") << "running" << Qt::ApplicationSuspended << true;
    QTest::newRow("a paused game stays paused") << "paused" << Qt::ApplicationInactive << true;
    QTest::newRow("no game yet") << "none" << Qt::ApplicationInactive << false;
    QTest::newRow("game over") << "over" << Qt::ApplicationInactive << false;
    QTest::newRow("our own dialog takes the focus") << "dialog" << Qt::ApplicationActive << false;
}

void TestBlockDropBoard::leavingTheProgram()
{
    QFETCH(QString, game);
    QFETCH(Qt::ApplicationState, state);
    QFETCH(bool, paused);

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    g.board.show();
    QVERIFY(QTest::qWaitForWindowActive(&g.board));
    if (game != "none")
        g.board.startTimerMode();
    if (game == "paused")
        g.board.pause();
    if (game == "over")
        t.endGame();
    QDialog dialog(&g.board);
    if (game == "dialog") {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.close();
    }
    // Qt reports the program's state by this signal.
    emit qGuiApp->applicationStateChanged(state);

    QCOMPARE(t.isPaused(), paused);
    QCOMPARE(t.fallTimerActive(), running(t));
    QCOMPARE(t.secondsTimer()->isActive(), running(t));
    // Coming back leaves the resume to the player.
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    QCOMPARE(t.isPaused(), paused);
}

QTEST_MAIN(TestBlockDropBoard)
#include "tst_blockdropboard.moc"
