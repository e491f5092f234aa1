// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "gridpicture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// The board's rules driven through its slots, keys, ticks and signals.
class TestBlockDropBoard : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void randomWalk_data();
    void randomWalk();
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

QString colors(const BlockDropPiece &piece)
{
    return piece.isReal() ? QStringLiteral("%1%2%3").arg(piece.color(0)).arg(piece.color(1)).arg(piece.color(2))
                          : QStringLiteral("none");
}
}

// A script of words run in order: a slot's name calls it; Key_* sends that
// key; "tick" delivers the fall tick and "second" the clock's; grid=, piece=
// (colours top to bottom @ column), column= (a striped column of that height),
// level=, pieces= set the board up; state= reports the program's state as Qt does. Words
// after "|" are logged with the counter signals; "?" words log the state.
void TestBlockDropBoard::rules_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("log");

    QTest::newRow("New Game") << "| start ?state" << "mode score, score 0, level 1, running";
    QTest::newRow("line mode") << "| startLineMode ?state" << "mode lines, score 0, level 1, running";
    QTest::newRow("timer mode") << "| startTimerMode ?state" << "level 25, score 0, mode timer, running with clock";
    QTest::newRow("a new game clears the last") << "startTimerMode grid=123 hold tick | startLineMode ?new ?at ?grid ?hold ?state"
                                                << "mode lines, score 0, level 1, new, at 6 28, grid , hold none, running";
    QTest::newRow("no run") << "start piece=145@0 | drop ?grid ?new" << "grid 1/4/5, new";
    QTest::newRow("run of three at level 1") << "start grid=11 piece=451@2 | drop ?grid ?piece tick ?new"
                                             << "score 45, lines 3, grid ..4/..5, piece none, new";
    QTest::newRow("three, then four by settling, at level 2")
        << "start level=2 grid=.5/11.55 piece=351@2 | drop ?grid" << "score 210, lines 7, grid ..3";
    QTest::newRow("the 35th piece scores at the new level") << "start pieces=34 grid=11 piece=451@2 | drop"
                                                            << "level 2, score 90, lines 3";
    QTest::newRow("the 70th piece pauses, a clearing keeps the pause")
        << "start level=2 pieces=69 grid=11 piece=451@2 | drop ?state" << "level 3, score 135, lines 3, paused";
    QTest::newRow("the 105th piece does not pause") << "start level=3 pieces=104 piece=145@0 | drop ?state"
                                                    << "level 4, running";
    QTest::newRow("top block in row 25 is fixed") << "start column=23 piece=145@0 | drop ?state ?grid"
                                                  << "running, grid 1/4/5/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2";
    QTest::newRow("top block in row 26 ends the game, writing nothing")
        << "start column=24 piece=145@0 | drop ?state ?grid" << "over, grid 3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2/3/2";
    QTest::newRow("timer mode: a clearing resets the clock") << "startTimerMode grid=11 piece=451@2 | drop"
                                                            << "level 25, lines 3";
    QTest::newRow("timer mode: at level 13 to one second") << "startTimerMode level=13 grid=11 piece=451@2 | drop"
                                                          << "level 1, lines 3";
    QTest::newRow("timer mode: from level 14 still one second")
        << "startTimerMode level=40 grid=11 piece=451@2 drop | second ?state" << "score 1, level 0, over";
    QTest::newRow("timer mode: the clock runs out")
        << "startTimerMode timerDone timerDone level=14 grid=11 piece=451@2 drop | second ?state"
        << "score 3, level 0, over";
    QTest::newRow("pause stops the clock and the pieces") << "startTimerMode | pause ?state pause ?state"
                                                         << "paused, running with clock";
    QTest::newRow("no pause before a game") << "| pause ?state" << "idle";
    QTest::newRow("New Game and new modes keep the pause") << "startTimerMode pause | start startTimerMode ?state ?new"
                                                           << "level 25, score 0, mode timer, paused, new";
    QTest::newRow("leaving the program pauses, coming back does not resume")
        << "startTimerMode | state=ApplicationInactive ?state state=ApplicationActive ?state" << "paused, paused";
    QTest::newRow("leaving by minimising") << "startTimerMode | state=ApplicationHidden ?state" << "paused";
    QTest::newRow("leaving, suspended") << "startLineMode | state=ApplicationSuspended ?state" << "paused";
    QTest::newRow("leaving keeps a paused game paused") << "startTimerMode pause | state=ApplicationInactive ?state"
                                                       << "paused";
    QTest::newRow("leaving before a game") << "| state=ApplicationInactive ?state" << "idle";
    QTest::newRow("leaving after a game") << "start column=24 piece=145@0 drop | state=ApplicationInactive ?state"
                                          << "over";
    QTest::newRow("hold an empty slot") << "start piece=123@5 | hold ?hold ?new ?at" << "hold 123, new, at 6 28";
    QTest::newRow("hold swaps in place") << "start hold piece=123@5 | tick hold ?piece ?hold ?at"
                                         << "piece %1, hold 123, at 5 27";
    QTest::newRow("Left") << "start piece=123@5 | Key_Left ?at" << "key taken, at 4 28";
    QTest::newRow("Right") << "start piece=123@5 | Key_Right ?at" << "key taken, at 6 28";
    QTest::newRow("Up rotates") << "start piece=123@5 | Key_Up ?piece ?at" << "key taken, piece 312, at 5 28";
    QTest::newRow("D moves down") << "start piece=123@5 | Key_D ?at" << "key taken, at 5 27";
    QTest::newRow("Space drops") << "start piece=123@5 | Key_Space ?grid" << "key taken, grid .....1/.....2/.....3";
    QTest::newRow("Enter drops") << "start piece=123@5 | Key_Enter ?grid" << "key taken, grid .....1/.....2/.....3";
    QTest::newRow("Select drops") << "start piece=123@5 | Key_Select ?grid" << "key taken, grid .....1/.....2/.....3";
    QTest::newRow("the down arrow is no game key") << "start piece=123@5 | Key_Down ?at" << "key ignored, at 5 28";
    QTest::newRow("Return is no game key") << "start piece=123@5 | Key_Return ?at" << "key ignored, at 5 28";
    QTest::newRow("the buttons") << "start piece=123@5 | left right right rotate down ?piece ?at" << "piece 312, at 6 27";
}

void TestBlockDropBoard::rules()
{
    QFETCH(QString, script);
    QFETCH(QString, log);

    Board g;
    BlockDropBoardTestAccess &t = g.t;
    QStringList seen;
    bool logging = false;
    const auto entry = [&](const char *name) {
        return [&, name](int value) {
            if (logging)
                seen << QStringLiteral("%1 %2").arg(name).arg(value);
        };
    };
    connect(&g.board, &BlockDropBoard::scoreChanged, this, entry("score"));
    connect(&g.board, &BlockDropBoard::levelChanged, this, entry("level"));
    connect(&g.board, &BlockDropBoard::linesRemovedChanged, this, entry("lines"));
    connect(&g.board, &BlockDropBoard::modeChanged, this, [&](const QString &mode) {
        if (logging)
            seen << QStringLiteral("mode ") + mode;
    });
    BlockDropPiece shownAsNext;
    QString held;
    for (const QString &word : script.split(QLatin1Char(' '))) {
        const QString value = word.section(QLatin1Char('='), 1);
        const int key = QMetaEnum::fromType<Qt::Key>().keyToValue(word.toLatin1().constData());
        if (!word.startsWith(QLatin1Char('?')))
            shownAsNext = t.nextPiece();
        if (word == "|")
            logging = true;
        else if (key >= 0)
            seen << (sendKey(g.board, key) ? "key taken" : "key ignored");
        else if (word == "tick")
            t.fallTick();
        else if (word == "second")
            QVERIFY(QMetaObject::invokeMethod(t.secondsTimer(), "timeout"));
        else if (word.startsWith("grid="))
            t.grid() = gridFromPicture(value.split('/'));
        else if (word.startsWith("column="))
            t.grid() = gridFromPicture(stripedColumn(value.toInt()));
        else if (word.startsWith("piece="))
            t.setFallingPiece(value.at(0).digitValue(), value.at(1).digitValue(), value.at(2).digitValue(),
                              value.section('@', 1).toInt());
        else if (word.startsWith("state="))
            emit qGuiApp->applicationStateChanged(
                Qt::ApplicationState(QMetaEnum::fromType<Qt::ApplicationState>().keyToValue(value.toLatin1().constData())));
        else if (word.startsWith("level="))
            t.level() = value.toInt();
        else if (word.startsWith("pieces="))
            t.numPiecesDropped() = value.toInt();
        else if (word == "?state")
            seen << (t.isGameOver() ? "over" : !t.isStarted() ? "idle" : t.isPaused() ? "paused" : "running")
                        + QString(t.secondsTimer()->isActive() ? " with clock" : "");
        else if (word == "?new")
            seen << (t.curPiece() == shownAsNext ? "new" : "old");
        else if (word == "?at")
            seen << QStringLiteral("at %1 %2").arg(t.curX()).arg(t.curY());
        else if (word == "?grid")
            seen << "grid " + pictureOf(t.grid()).join('/');
        else if (word == "?piece")
            seen << "piece " + colors(t.curPiece());
        else if (word == "?hold")
            seen << "hold " + colors(t.holdPiece());
        else if (!word.startsWith('?'))
            QVERIFY(QMetaObject::invokeMethod(&g.board, word.toLatin1().constData()));
        if (word == "hold" && !logging)
            held = colors(t.holdPiece());
        QVERIFY(!t.isStarted() || t.fallTimerActive() == running(t));
    }
    QCOMPARE(seen.join(", "), log.contains("%1") ? log.arg(held) : log);
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
    const ScoreKeeper keeper(g.board);
    const QList<QByteArray> games = { "start", "startLineMode", "startTimerMode" };
    const QList<QByteArray> moves = { "left", "right", "rotate", "down", "drop", "drop", "hold" };
    const int keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_D, Qt::Key_Space };

    for (int step = 0; step < 4000; ++step) {
        const bool pieceFalls = running(t) && t.curPiece().isReal();
        const BlockDropGrid grid = t.grid();
        const auto pieces = std::make_tuple(t.curPiece(), t.holdPiece(), t.curX(), t.curY());
        const int scoreBefore = t.score();
        const bool clockRuns = running(t) && t.mode() == "timer";
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
        } else if (roll < 40) {
            QCOMPARE(sendKey(g.board, keys[random.bounded(5)]), pieceFalls);
        } else {
            QVERIFY(QMetaObject::invokeMethod(&g.board, moves.at(random.bounded(moves.size())).constData()));
        }
        // Without a falling piece no move or hold changes anything.
        if (roll >= 30 && !pieceFalls) {
            QCOMPARE(t.grid(), grid);
            QVERIFY(std::make_tuple(t.curPiece(), t.holdPiece(), t.curX(), t.curY()) == pieces);
        }
        QVERIFY2(t.isStarted() || !t.isPaused(), "neither Pause nor New Game would do anything");
        QCOMPARE(t.fallTimerActive(), running(t));
        QCOMPARE(t.secondsTimer()->isActive(), running(t) && t.mode() == "timer");
        QVERIFY(isSettled(t.grid()));
        if (t.mode() != "timer")
            QCOMPARE(t.score(), keeper.expectedScore);
    }
}

QTEST_MAIN(TestBlockDropBoard)
#include "tst_blockdropboard.moc"
