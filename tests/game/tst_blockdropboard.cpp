// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboardtestaccess.h"
#include "filebytes.h"
#include "gridpicture.h"
#include "keyhelpoverlay.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <stdlib.h>
#include <thread>

class TestBlockDropBoard : public QObject
{
    Q_OBJECT

private slots:
    void randomPiecesFollowTheUnseededSequence();
    void equality();
    void outsideReadsAsEmptyAndIsNeverWritten();
    void cascade_data();
    void cascade();
    void rules_data();
    void rules();
    void cues_data();
    void cues() { rules(); }
    void passesStopRisingAtTheSixth();
    void randomWalk();
};

void TestBlockDropBoard::randomPiecesFollowTheUnseededSequence()
{
    // A fresh thread starts from seed 1: the shape is drawn first, then the colours top to bottom.
    QList<int> drawn;
    std::thread([&drawn] {
        for (int n = 0; n < 100; ++n) {
            BlockDropPiece piece;
            piece.setRandomShape();
            drawn << piece.shape() << piece.color(0) << piece.color(1) << piece.color(2);
        }
    }).join();
    unsigned int seed = 1;
    for (const int value : std::as_const(drawn))
        QCOMPARE(value, rand_r(&seed) % 7 + 1);
}

// Pieces that differ in one block only are different pieces.
void TestBlockDropBoard::equality()
{
    const BlockDropPiece piece = BlockDropPiece::withColors(1, 2, 3);
    QVERIFY(BlockDropPiece::withColors(4, 2, 3) != piece);
    QVERIFY(BlockDropPiece::withColors(1, 2, 4) != piece);
}

void TestBlockDropBoard::outsideReadsAsEmptyAndIsNeverWritten()
{
    BlockDropGrid grid;
    for (const QPoint p : { QPoint(-1, 0), QPoint(12, 0), QPoint(0, -1), QPoint(0, 26), QPoint(5, 28) }) {
        grid.setCell(p.x(), p.y(), 3);
        QCOMPARE(grid.cellAt(p.x(), p.y()), 0);
    }
    QCOMPARE(grid, BlockDropGrid());
}

void TestBlockDropBoard::cascade_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("passes");

    QTest::newRow("run at the right wall") << "2........111" << "2" << QList<int>{ 3 };
    QTest::newRow("two runs in a row, four and three") << "4444.222" << "" << QList<int>{ 7 };
    QTest::newRow("shared cell: 5 cells, 6 marks") << "1.../1.../1113" << "...3" << QList<int>{ 6 };
    QTest::newRow("chain: pairs stay, four formed by settling") << "..3/.55/11155" << "..3" << QList<int>{ 3, 4 };
    QTest::newRow("settling after a vertical run of five") << "7/1/1/1/1/1/2" << "7/2" << QList<int>{ 5 };
    QTest::newRow("column scan stops at an empty cell") << "1/1/1/./2" << "1/1/1/./2" << QList<int>{};
    QTest::newRow("run up to row 25") << "4/4/4/" + stripedColumn(23).join('/') << stripedColumn(23).join('/') << QList<int>{ 3 };
    QTest::newRow("full grid: every cell twice") << QStringList(26, "444444444444").join('/') << "" << QList<int>{ 624 };
}

void TestBlockDropBoard::cascade()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QList<int>, passes);

    BlockDropGrid grid = gridFromPicture(before.split('/'));
    QList<int> marked;
    while (const int marks = grid.clearPass())
        marked << marks;
    QCOMPARE(marked, passes);
    QCOMPARE(pictureOf(grid), pictureOf(gridFromPicture(after.split('/'))));
}

// A script's words run in order on a board kept off the network:
//   start, pause, hold, drop, startLineMode, ...  a slot of the board, called
//   Key_Left, Key_Space, ...  that key pressed on the board; logs "key taken" or "key ignored"
//   tick, second              the fall timer's tick (where one runs), the clock's second
//   credits                   the credits screen, as the first ad brings it
//   loading                   no ad has come yet; onAdDataReady brings the first
//   table                     the score table holds ten entries of 1000
//   modal, network            a modal dialog, the network-error screen, opened over the board
//   grid=.5/11.55             the grid as rows, top row first: '.' empty, 1 to 7 colours
//   column=N                  the grid holds a striped column of height N at the left wall
//   piece=451@2               the falling piece, colours top to bottom, in column 2, row 28
//   level=N, pieces=N         the level, the number of pieces come to rest
//   state=ApplicationHidden   the program's state changes so, as Qt reports it
//   |                         from here on the counters log "score N", "level N", "lines N", "mode M",
//                             and the cues played are heard
// The ? words log what they see:
//   ?state    "idle", "running", "paused" or "over", then " with clock" while the clock runs
//   ?credits  "credits" or "no credits"
//   ?help     "help" while the key help shows, else "no help"
//   ?screen   "screen" and the first line of the text over the playfield, or "screen playfield"
//   ?fall     "fall" and the fall timer's interval in ms, -1 when it is stopped
//   ?new      "new" when the falling piece is the one the preview showed before the last word, else "old"
//   ?at       "at" and the falling piece's column and row
//   ?piece    "piece" and the falling piece's colours, top to bottom; 000 for none
//   ?hold     "hold" and the held piece's colours
//   ?grid     "grid" and the grid as rows, without the empty rows on top and the empty cells at row ends
//   ?cues     "cues" and the cues heard since the last ?cues, or "no cues"
// A word unknown or out of place fails the row; a log that parts from the expected one names the step and word.
void TestBlockDropBoard::rules_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("log");

    QTest::newRow("New Game ends the credits; each level falls faster")
        << "credits | start ?credits ?state ?fall level=3 pause pause ?fall"
        << "mode score, score 0, level 1, no credits, running, fall 500, fall 250";
    QTest::newRow("a new game clears the last") << "startTimerMode grid=123 hold tick | startLineMode ?new ?at ?grid ?hold ?state"
                                                << "mode lines, score 0, level 1, new, at 6 28, grid , hold 000, running";
    QTest::newRow("run of three at level 1") << "start grid=11 piece=451@2 | drop ?grid ?piece hold ?hold tick ?new"
                                             << "score 45, lines 3, grid ..4/..5, piece 000, hold 000, new";
    QTest::newRow("the 35th piece: three, then four by settling, at level 2")
        << "start pieces=34 grid=.5/11.55 piece=351@2 | drop ?grid" << "level 2, score 210, lines 7, grid ..3";
    QTest::newRow("the 70th piece pauses, a clearing keeps the pause; the 105th does not")
        << "start level=2 pieces=69 grid=11 piece=451@2 | drop ?state pause tick pieces=104 piece=145@0 drop ?state"
        << "level 3, score 135, lines 3, paused, level 4, running";
    QTest::newRow("by the fall timer alone, top block in row 25 is fixed")
        << "start column=23 piece=145@0 | tick tick tick tick ?at tick ?new ?state ?grid"
        << "at 0 24, new, running, grid 1/4/5/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1";
    QTest::newRow("top block in row 26 ends the game, writing nothing")
        << "start column=24 piece=145@0 | drop ?state ?piece ?grid"
        << "over, piece 000, grid 2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1/2/1";
    QTest::newRow("timer mode: a clearing resets the clock, at level 13 to one second")
        << "startTimerMode grid=11 piece=451@2 | drop tick level=13 grid=11 piece=451@2 drop" << "level 25, lines 3, level 1, lines 6";
    QTest::newRow("timer mode: three seconds at level 12, and the game ends at 0, not before")
        << "startTimerMode level=12 grid=11 piece=451@2 drop | second second ?state second ?state"
        << "score 1, level 2, score 2, level 1, running with clock, score 3, level 0, over";
    QTest::newRow("timer mode: from level 14 still one second, then it runs out")
        << "startTimerMode level=40 grid=11 piece=451@2 drop | second ?state" << "score 1, level 0, over";
    QTest::newRow("pause stops the clock and the pieces, New Game and new modes keep it")
        << "startTimerMode | pause ?state ?screen hold ?hold start startTimerMode ?state ?new pause ?state ?screen"
        << "paused, screen Pause, hold 000, level 25, score 0, mode timer, paused, new, running with clock, screen playfield";
    QTest::newRow("no keys and no pause before a game") << "| Key_Space pause ?state" << "key ignored, idle";
    QTest::newRow("leaving the program pauses, coming back does not resume, leaving again keeps the pause")
        << "startTimerMode | state=ApplicationInactive ?state state=ApplicationActive ?state state=ApplicationHidden ?state"
        << "paused, paused, paused";
    QTest::newRow("hold fills an empty slot, then swaps in place")
        << "start piece=456@5 | hold ?hold ?new ?at piece=123@5 tick hold ?piece ?hold ?at"
        << "hold 456, new, at 6 28, piece 456, hold 123, at 5 27";
    QTest::newRow("keys") << "start piece=123@1 | Key_Down Key_Return Key_Left Key_Left ?at piece=123@10 Key_Right Key_Right ?at"
                             " Key_Left Key_Up Key_D ?at ?piece Key_Space ?new Key_Enter ?new Key_Select ?new"
                          << "key ignored, key ignored, key taken, key taken, at 0 28, key taken, key taken, at 11 28, key taken,"
                             " key taken, key taken, at 10 27, piece 312, key taken, new, key taken, new, key taken, new";
    QTest::newRow("P and Escape pause and resume, also right after a clearing; H holds")
        << "Key_P start piece=456@5 | Key_H ?hold Key_P ?state Key_H Key_Escape ?state grid=11 piece=451@2 drop Key_P ?state"
        << "key ignored, key taken, hold 456, key taken, paused, key ignored, key taken, running, score 45, lines 3,"
           " key taken, paused";
    QTest::newRow("1, 2 and 3 start a game only between games, and not before the first ad")
        << "loading Key_1 ?state onAdDataReady | Key_2 ?state ?credits Key_1 Key_3 pause Key_3 pause column=24 piece=145@0 drop ?state"
           " Key_3 ?state"
        << "key ignored, idle, mode lines, score 0, level 1, key taken, running, no credits, key ignored, key ignored,"
           " key ignored, over, level 25, score 0, mode timer, key taken, running with clock";
    QTest::newRow("F1: the help pauses the game, the next key only closes it and resumes")
        << "start | Key_F1 ?help ?state Key_Space ?help ?state ?new pause Key_F1 Key_A ?state ?help"
        << "key taken, help, paused, key taken, no help, running, old, key taken, key taken, paused, no help";
}

// Each event's cue; nothing is heard under the "Pause" screen, a dialog or the network screen, or while muted.
void TestBlockDropBoard::cues_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("log");

    QTest::newRow("a move and a colour turn; a move into the wall is silent")
        << "start piece=123@0 | left right rotate ?cues" << "cues Move Rotate";
    QTest::newRow("a landing") << "start piece=123@5 | drop ?cues" << "cues Land";
    QTest::newRow("a landing that clears once") << "start grid=11 piece=451@2 | drop ?cues"
                                                << "score 45, lines 3, cues Land Pass1";
    QTest::newRow("three passes, one step higher each")
        << "start grid=44/11.55 piece=451@2 | drop ?grid ?cues" << "score 135, lines 9, grid , cues Land Pass1 Pass2 Pass3";
    QTest::newRow("a level") << "start pieces=34 piece=123@5 | drop ?cues" << "level 2, cues Level Land";
    QTest::newRow("game over without a point") << "start column=24 piece=145@0 | drop ?cues" << "cues GameOver";
    QTest::newRow("a score that enters the table is a record")
        << "start grid=11 piece=451@2 drop tick column=24 piece=145@0 | drop ?cues" << "cues Record";
    QTest::newRow("a score below a full table is not")
        << "table start grid=11 piece=451@2 drop tick column=24 piece=145@0 | drop ?cues" << "cues GameOver";
    QTest::newRow("the level that pauses for an ad is silent")
        << "start level=2 pieces=69 grid=11 piece=451@2 | drop ?state ?cues" << "level 3, score 135, lines 3, paused, no cues";
    QTest::newRow("under a dialog") << "start piece=123@5 modal | left drop ?cues" << "no cues";
    QTest::newRow("under the network screen") << "start piece=123@5 network | left drop ?cues" << "no cues";
    QTest::newRow("M mutes on any screen and unmutes")
        << "| Key_M start left ?cues Key_M right ?cues"
        << "key taken, mode score, score 0, level 1, no cues, key taken, cues Move";
}

// Cascades of more passes than there are steps stay on the highest, rather than running into other cues.
void TestBlockDropBoard::passesStopRisingAtTheSixth()
{
    QCOMPARE(GameCues::passCue(6), GameCues::Pass6);
    QCOMPARE(GameCues::passCue(36), GameCues::Pass6);
}

void TestBlockDropBoard::rules()
{
    QFETCH(QString, script);
    QFETCH(QString, log);

    TestBoard g;
    BlockDropBoardTestAccess &t = g.t;
    QStringList seen;
    const QStringList expected = log.split(QStringLiteral(", "), Qt::SkipEmptyParts);
    const auto entry = [&seen](const char *name) {
        return [&seen, name](const auto &value) { seen << QStringLiteral("%1 %2").arg(name).arg(value); };
    };
    const auto colors = [](const BlockDropPiece &p) { return QStringLiteral(" %1%2%3").arg(p.color(0)).arg(p.color(1)).arg(p.color(2)); };
    // Misspelt words and values fail here, slots and keys where they are looked up.
    static const QRegularExpression wordForm(QStringLiteral(
        "^([a-z]\\w*|\\||Key_\\w+|grid=[.1-7]+(/[.1-7]*)*|column=\\d+|piece=[1-7]{3}@\\d+|(level|pieces)=\\d+|state=\\w+"
        "|\\?(state|credits|help|screen|fall|new|at|piece|hold|grid|cues))$"));
    const QStringList words = script.split(QLatin1Char(' '));
    BlockDropPiece shownAsNext;
    std::unique_ptr<QDialog> dialog;
    qsizetype checked = 0;
    for (int step = 0; step < words.size(); ++step) {
        const QString &word = words.at(step);
        const QByteArray where = QStringLiteral("step %1 `%2`: ").arg(step + 1).arg(word).toUtf8();
        QVERIFY2(wordForm.match(word).hasMatch(), where + "no such word");
        const QString value = word.section(QLatin1Char('='), 1);
        if (!word.startsWith(QLatin1Char('?')))
            shownAsNext = t.nextPiece();
        if (word == "|") {
            g.cues.heard.clear();
            connect(&g.board, &BlockDropBoard::scoreChanged, this, entry("score"));
            connect(&g.board, &BlockDropBoard::levelChanged, this, entry("level"));
            connect(&g.board, &BlockDropBoard::linesRemovedChanged, this, entry("lines"));
            connect(&g.board, &BlockDropBoard::modeChanged, this, entry("mode"));
        } else if (word.startsWith("Key_")) {
            const int key = QMetaEnum::fromType<Qt::Key>().keyToValue(word.toLatin1().constData());
            QVERIFY2(key >= 0, where + "no such key");
            seen << (t.press(key) ? "key taken" : "key ignored");
        } else if (word == "tick") {
            QVERIFY2(t.fallTimerActive(), where + "no fall timer runs");
            t.fallTick();
        } else if (word == "credits")
            t.showingCredits() = true;
        else if (word == "loading")
            t.adReady() = false;
        else if (word == "?help")
            seen << (g.board.findChild<KeyHelpOverlay *>() && !g.board.findChild<KeyHelpOverlay *>()->isHidden() ? "help" : "no help");
        else if (word == "modal") {
            dialog = std::make_unique<QDialog>();
            dialog->setModal(true);
            dialog->show();
        } else if (word == "network")
            g.board.onNetworkError(QString());
        else if (word == "table")
            QVERIFY(writeFile(g.dir.filePath("highscores_score.txt"), QByteArray("1000\n").repeated(10)));
        else if (word == "?cues") {
            seen << (g.cues.heard.isEmpty() ? "no cues" : "cues " + g.cues.heard.join(' '));
            g.cues.heard.clear();
        }
        else if (word == "?credits")
            seen << (t.showingCredits() ? "credits" : "no credits");
        else if (word == "?fall")
            seen << QStringLiteral("fall %1").arg(t.fallIntervalMs());
        else if (word == "second")
            QVERIFY(QMetaObject::invokeMethod(t.secondsTimer(), "timeout"));
        else if (word.startsWith("grid="))
            t.grid() = gridFromPicture(value.split('/'));
        else if (word.startsWith("column="))
            t.grid() = gridFromPicture(stripedColumn(value.toInt()));
        else if (word.startsWith("piece="))
            t.setFallingPiece(value.at(0).digitValue(), value.at(1).digitValue(), value.at(2).digitValue(),
                              value.section('@', 1).toInt());
        else if (word.startsWith("state=")) {
            const int state = QMetaEnum::fromType<Qt::ApplicationState>().keyToValue(value.toLatin1().constData());
            QVERIFY2(state >= 0, where + "no such state");
            emit qGuiApp->applicationStateChanged(Qt::ApplicationState(state));
        } else if (word.startsWith("level="))
            t.level() = value.toInt();
        else if (word.startsWith("pieces="))
            t.numPiecesDropped() = value.toInt();
        else if (word == "?state")
            seen << (t.isGameOver() ? "over" : !t.isStarted() ? "idle" : t.isPaused() ? "paused" : "running")
                        + QString(t.secondsTimer()->isActive() ? " with clock" : "");
        else if (word == "?screen")
            seen << "screen " + (t.screenText().isNull() ? QStringLiteral("playfield") : t.screenText().section('\n', 0, 0));
        else if (word == "?new")
            seen << (t.curPiece() == shownAsNext ? "new" : "old");
        else if (word == "?at")
            seen << QStringLiteral("at %1 %2").arg(t.curX()).arg(t.curY());
        else if (word == "?grid")
            seen << "grid " + pictureOf(t.grid());
        else if (word == "?piece" || word == "?hold")
            seen << word.mid(1) + colors(word == "?piece" ? t.curPiece() : t.holdPiece());
        else
            QVERIFY2(QMetaObject::invokeMethod(&g.board, word.toLatin1().constData()), where + "no slot of the board");
        // Checked as they come, so a failure names the word at which the logs part.
        for (; checked < seen.size(); ++checked) {
            const QString wanted = checked < expected.size() ? '"' + expected.at(checked) + '"' : "nothing more";
            QVERIFY2(checked < expected.size() && seen.at(checked) == expected.at(checked),
                     where + QStringLiteral("logged \"%1\" where %2 was expected, after: %3")
                                 .arg(seen.at(checked), wanted, seen.mid(0, checked).join(", ")).toUtf8());
        }
    }
    QVERIFY2(checked == expected.size(), qPrintable("the script ended where \"" + expected.value(checked) + "\" was expected"));
}

// Any sequence of slots, keys and ticks keeps the rules, and Pause then New Game always bring back a running game.
void TestBlockDropBoard::randomWalk()
{
    TestBoard g;
    BlockDropBoardTestAccess &t = g.t;
    const auto running = [&t] { return t.isStarted() && !t.isPaused(); };
    const ScoreKeeper keeper(g.board);
    QRandomGenerator random(1);
    const QList<QByteArray> games = { "start", "startLineMode", "startTimerMode" };
    const QList<QByteArray> moves = { "left", "right", "rotate", "down", "drop", "drop", "hold", "timerDone" };
    const int keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_D, Qt::Key_Space };
    for (int step = 0; step < 12000; ++step) {
        const bool pieceFalls = running() && t.curPiece().isReal();
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
            QVERIFY(running());
        } else if (roll < 30) {
            if (t.fallTimerActive())
                t.fallTick();
        } else if (roll < 40) {
            QCOMPARE(t.press(keys[random.bounded(5)]), pieceFalls);
        } else {
            QVERIFY(QMetaObject::invokeMethod(&g.board, moves.at(random.bounded(moves.size())).constData()));
        }
        QVERIFY2(t.isStarted() || !t.isPaused(), "neither Pause nor New Game would do anything");
        QCOMPARE(t.fallTimerActive(), running());
        QCOMPARE(t.secondsTimer()->isActive(), running() && t.mode() == "timer");
        QVERIFY(isSettled(t.grid()));
        if (t.mode() != "timer")
            QCOMPARE(t.score(), keeper.expectedScore);
    }
}

QTEST_MAIN(TestBlockDropBoard)
#include "tst_blockdropboard.moc"
