// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockdropgrid.h"
#include "blockdroppiece.h"
#include "blockdroprenderer.h"
#include "gamecues.h"
#include "savedgamefile.h"

#include <QBasicTimer>
#include <QFrame>
#include <QPointer>
#include <QStringList>

#include <optional>

class InnerActiveAdModule;
class KeyHelpOverlay;
class QLabel;
class QPainter;
class QTimer;

// The game board: the grid, the falling piece, the game rules with their
// timers and the keys; the painting and the ad flow hang off it as well.
// BlockDropWindow creates and owns it; the board owns its timers and the grid.
class BlockDropBoard : public QFrame
{
    Q_OBJECT

public:
    explicit BlockDropBoard(QWidget *parent = nullptr);
    ~BlockDropBoard() override;

    void setNextPieceLabel(QLabel *label);
    void setHoldPieceLabel(QLabel *label);
    // Not owned; without cues the game is silent.
    void setCues(GameCues *gameCues);
    // Names the ad client and its settings file, which keeps the mute too.
    static QString applicationId();

signals:
    void scoreChanged(int score);
    void levelChanged(int level);
    void timerChanged(int timeleft);
    void linesRemovedChanged(int numLines);
    void modeChanged(const QString &mode);
    void ready();
    void pausedChanged(bool paused);

public slots:
    void startAd();
    void start();
    void pause();
    void quit();
    void left();
    void right();
    void down();
    void drop();
    void rotate();
    void hold();
    void startLineMode();
    void startTimerMode();
    void timerDone();
    void onStartReloadAd();
    void onAdDataReady();
    void onAdDataCorrupted();
    void onNetworkError(const QString &networkError);
    void newGame(const QString &gameMode);
    void suspend();
    void showKeyHelp();

protected:
    void timerEvent(QTimerEvent *event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Grid and moves
    void clearBoard();
    int cellAt(int x, int y) const;
    bool tryMove(const BlockDropPiece &piece, int newX, int newY);
    bool canMovePiece() const;
    void oneLineDown();
    void dropDown();
    void removeMatches();

    // Game flow
    void startScoreMode();
    void startGame();
    void newPiece();
    void pieceDropped(int dropHeight);
    void raiseLevel();
    void countRemovedBlocks(int total);
    int fallInterval() const;
    void startFallTimer(int msec);
    bool isTimerMode() const;
    void stopGame();
    void gameOver();
    void onApplicationStateChanged(Qt::ApplicationState state);
    void showAd();
    void playCue(GameCues::Cue cue);

    // Keys beside the moves
    bool takeControlKey(int key);
    void onKeyHelpClosed();

    // Painting and previews
    void showNextPiece();
    void showHoldPiece();
    void showPiece(QLabel *label, const BlockDropPiece &piece);
    void refreshPreviews();
    void drawSquare(QPainter &painter, int x, int y, int color, QSize cell);
    int squareWidth() const;
    int squareHeight() const;
    QString screenText() const;
    void drawMutedNote(QPainter &painter, const QRect &contents);

    // Saving and resuming the game in progress
    SavedGame savedGame() const;
    void restoreGame(const SavedGame &game);
    void saveGame();
    SavedGameFile &savedGameFile();

    // Lets the tests set up a grid and read the state; defined by the tests only.
    friend struct BlockDropBoardTestAccess;

    InnerActiveAdModule *adModule = nullptr;
    QTimer *adStartTimer = nullptr;
    // Asks for the first ad again after an unusable answer.
    QTimer *adRetryTimer = nullptr;
    QBasicTimer fallTimer;
    QTimer *secondsTimer = nullptr;
    QPointer<QLabel> nextPieceLabel;
    QPointer<QLabel> holdPieceLabel;
    QPointer<GameCues> cues;
    // Top-level without parent, so the board deletes it; guarded, so a screen
    // deleted elsewhere is rebuilt rather than touched.
    QPointer<QWidget> networkErrorWidget;
    QString mode;
    bool isStarted = false;
    bool isPaused = false;
    bool isShowingCredits = false;
    bool isLoading = true;
    bool isGameOver = false;
    bool isWaitingAfterClear = false;
    bool isAdReady = false;
    BlockDropPiece curPiece;
    BlockDropPiece nextPiece;
    BlockDropPiece holdPiece;
    int curX = 0;
    int curY = 0;
    int numLinesRemoved = 0;
    int numPiecesDropped = 0;
    int score = 0;
    int timeLeft = 0;
    int level = 0;
    BlockDropGrid board;
    QStringList highScores;
    BlockDropRenderer renderer;
    // Empty means the usual place, looked for when first needed; tests point
    // it at a folder of their own. The saved game lives there too.
    QString highScoreDirectory;
    std::optional<SavedGameFile> saveFile;
    // A restored game waits paused for its first resume; New Game may replace it.
    bool isRestored = false;
    // The state from before the bar that is landing: a save meanwhile (the
    // milestone pause, anything during its ad) finds the bar at rest, not half
    // fixed into the grid.
    std::optional<SavedGame> landingState;
    KeyHelpOverlay *keyHelp = nullptr;
    // The help paused the game, so closing it resumes the game.
    bool pausedForHelp = false;
};
