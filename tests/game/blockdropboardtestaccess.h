// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropboard.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

// The tests' narrow view into the board: set up a grid or a piece and read
// the state. The board names it as a friend.
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
    bool isPaused() const { return b.isPaused; }
    bool isStarted() const { return b.isStarted; }
    bool isGameOver() const { return b.isGameOver; }
    bool fallTimerActive() const { return b.fallTimer.isActive(); }
    QTimer *secondsTimer() { return b.secondsTimer; }

    bool &loading() { return b.isLoading; }
    bool &showingCredits() { return b.isShowingCredits; }
    bool &started() { return b.isStarted; }
    bool &paused() { return b.isPaused; }
    bool &gameOver() { return b.isGameOver; }
    QString &mode() { return b.mode; }
    int &numLinesRemoved() { return b.numLinesRemoved; }
    QString &highScoreDirectory() { return b.highScoreDirectory; }
    QString screenText() const { return b.screenText(); }
    void showNextPiece() { b.showNextPiece(); }
    void showHoldPiece() { b.showHoldPiece(); }
    void endGame() { b.gameOver(); }

    // Delivers the fall timer's tick at once, so nothing waits for it.
    void fallTick()
    {
        if (!b.fallTimer.isActive())
            qFatal("The board has no fall timer running");
        QTimerEvent tick(b.fallTimer.timerId());
        QCoreApplication::sendEvent(&b, &tick);
    }

    // Keeps the board off the network: no ad client is made, and the first
    // ad counts as arrived, so New Game is enabled and shows no ad.
    void skipAds()
    {
        b.adStartTimer->stop();
        b.onAdDataReady();
    }

    // Starts the ad client now rather than on the first pass of the event
    // loop, so that a test can listen to it before any answer arrives.
    InnerActiveAdModule *startAdNow()
    {
        b.adStartTimer->stop();
        b.startAd();
        return b.adModule;
    }

    InnerActiveAdModule *adModule() const { return b.adModule; }
    QTimer *adRetryTimer() const { return b.adRetryTimer; }
    QWidget *networkErrorWidget() const { return b.networkErrorWidget; }
    bool isLoading() const { return b.isLoading; }

    // Lands the falling piece where it stands, as the numPiecesDropped-th of
    // the game once the counter is set to one less.
    void landPiece() { b.pieceDropped(0); }

    void setFallingPiece(int top, int middle, int bottom, int x = 6, int y = 28)
    {
        b.curPiece = BlockDropPiece::withColors(top, middle, bottom);
        b.curX = x;
        b.curY = y;
    }
};

// What the score must be outside timer mode: each clearing's marks times 15
// times the level it came at, summed since the game began.
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
