// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropboard.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>

// The tests' view into the board, which names it as a friend.
struct BlockDropBoardTestAccess
{
    BlockDropBoard &b;

    BlockDropGrid &grid() { return b.board; }
    BlockDropPiece &curPiece() { return b.curPiece; }
    BlockDropPiece &nextPiece() { return b.nextPiece; }
    BlockDropPiece &holdPiece() { return b.holdPiece; }
    int &curX() { return b.curX; }
    int &curY() { return b.curY; }
    int &level() { return b.level; }
    int &score() { return b.score; }
    int &numPiecesDropped() { return b.numPiecesDropped; }
    bool isStarted() const { return b.isStarted; }
    bool isPaused() const { return b.isPaused; }
    bool isGameOver() const { return b.isGameOver; }
    bool fallTimerActive() const { return b.fallTimer.isActive(); }
    // As the event loop will fire it; -1 when it is stopped.
    int fallIntervalMs() const
    {
        for (const auto &timer : QAbstractEventDispatcher::instance()->registeredTimers(&b)) {
            if (timer.timerId == b.fallTimer.timerId())
                return timer.interval;
        }
        return -1;
    }
    QTimer *secondsTimer() { return b.secondsTimer; }

    bool &loading() { return b.isLoading; }
    bool &adReady() { return b.isAdReady; }
    bool &showingCredits() { return b.isShowingCredits; }
    bool &started() { return b.isStarted; }
    bool &paused() { return b.isPaused; }
    QString &mode() { return b.mode; }
    int &numLinesRemoved() { return b.numLinesRemoved; }
    QString &highScoreDirectory() { return b.highScoreDirectory; }
    QString screenText() const { return b.screenText(); }
    void showNextPiece() { b.showNextPiece(); }
    void showHoldPiece() { b.showHoldPiece(); }
    void endGame() { b.gameOver(); }

    // A key pressed on the board; true when the board took it.
    bool press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&b, &event);
        return event.isAccepted();
    }

    // Delivers the fall timer's tick at once, so nothing waits for it.
    void fallTick()
    {
        if (!b.fallTimer.isActive())
            qFatal("The board has no fall timer running");
        QTimerEvent tick(b.fallTimer.timerId());
        QCoreApplication::sendEvent(&b, &tick);
    }

    // No ad client is made, so nothing goes to the network.
    void noAds() { b.adStartTimer->stop(); }
    // And the first ad counts as arrived: New Game works and shows no ad.
    void skipAds()
    {
        noAds();
        b.onAdDataReady();
    }

    // Now, rather than on the first pass of the event loop, so a test can listen before any answer.
    InnerActiveAdModule *startAdNow()
    {
        b.adStartTimer->stop();
        b.startAd();
        return b.adModule;
    }

    QTimer *adRetryTimer() const { return b.adRetryTimer; }
    // Delivers the waiting retry timer's tick at once, as the event loop will.
    void adRetryTick()
    {
        QTimerEvent tick(b.adRetryTimer->timerId());
        QCoreApplication::sendEvent(b.adRetryTimer, &tick);
    }
    QWidget *networkErrorWidget() const { return b.networkErrorWidget; }

    void landPiece() { b.pieceDropped(0); }

    SavedGame savedGame() const { return b.savedGame(); }
    void saveGame() { b.saveGame(), flushSaves(); } // and on the disk
    void flushSaves() { b.savedGameFile().flush(); }

    void setFallingPiece(int top, int middle, int bottom, int x = 6, int y = 28)
    {
        b.curPiece = BlockDropPiece::withColors(top, middle, bottom);
        b.curX = x;
        b.curY = y;
    }
};

// A score game as it starts at that level: an empty grid, the bar at the spawn and the next one drawn.
inline SavedGame newGame(int level, unsigned randomState)
{
    SavedGame game;
    game.mode = QStringLiteral("score");
    game.level = level;
    game.numPiecesDropped = (level - 1) * 35;
    game.curPiece = BlockDropPiece::withColors(1, 2, 3);
    game.curX = 6;
    game.curY = 28;
    game.nextPiece = BlockDropPiece::withColors(4, 5, 6);
    game.randomState = randomState;
    return game;
}

// Hears what the board asks to be played.
class CueRecorder : public GameCues
{
public:
    QStringList heard;

protected:
    void start(Cue cue) override { heard << QString::fromLatin1(QMetaEnum::fromType<Cue>().valueToKey(cue)); }
};

// A board kept off the network whose game overs and saves go to a folder of its own.
struct TestBoard
{
    QTemporaryDir dir;
    CueRecorder cues;
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    TestBoard()
    {
        t.highScoreDirectory() = dir.path();
        t.skipAds();
        board.setCues(&cues);
    }
};

// The score outside timer mode: each clearing's marks times 15 times its level, summed over the game.
struct ScoreKeeper
{
    int expectedScore = 0;
    int blocks = 0;

    explicit ScoreKeeper(BlockDropBoard &board)
    {
        QObject::connect(&board, &BlockDropBoard::modeChanged, &board, [this] { expectedScore = blocks = 0; });
        QObject::connect(&board, &BlockDropBoard::linesRemovedChanged, &board, [this, &board](int total) {
            expectedScore += (total - blocks) * 15 * BlockDropBoardTestAccess{ board }.level();
            blocks = total;
        });
    }
};
