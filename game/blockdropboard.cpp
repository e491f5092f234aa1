// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"

#include "blockdroprules.h"
#include "highscoretable.h"
#include "inneractiveadmodule.h"
#include "keyhelpoverlay.h"
#include "networkerrorscreen.h"
#include "qrand.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace BlockDropRules;

namespace {
constexpr int AdEveryLevels = 3;
constexpr int PointsPerBlock = 15;
constexpr int WaitAfterClearMs = 500;
constexpr int CellPixels = 15;
constexpr int MinimumCellPixels = 5;
constexpr int AdCountdownSeconds = 10;
constexpr int AdReloadSeconds = 60;
constexpr int FirstAdRetryMs = 5000;
}

BlockDropBoard::BlockDropBoard(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);

    secondsTimer = new QTimer(this);
    secondsTimer->setInterval(1000);
    connect(secondsTimer, &QTimer::timeout, this, &BlockDropBoard::timerDone);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &BlockDropBoard::onApplicationStateChanged);
    // Every way out of the event loop (Quit, the network screen, a signal,
    // the last window closed) and the end of the session keep the game.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &BlockDropBoard::saveGame);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &BlockDropBoard::saveGame);

    nextPiece.setRandomShape();

    // Fires on the first pass of the event loop, once the window is shown.
    adStartTimer = new QTimer(this);
    adStartTimer->setInterval(0);
    adStartTimer->setSingleShot(true);
    connect(adStartTimer, &QTimer::timeout, this, &BlockDropBoard::startAd);
    adStartTimer->start();

    // Connected to the client once there is one.
    adRetryTimer = new QTimer(this);
    adRetryTimer->setSingleShot(true);
}

BlockDropBoard::~BlockDropBoard()
{
    delete networkErrorWidget.data();
}

// The label's size and screen decide how its preview is drawn, so the board
// watches them.
void BlockDropBoard::setNextPieceLabel(QLabel *label)
{
    nextPieceLabel = label;
    if (label)
        label->installEventFilter(this);
}

void BlockDropBoard::setHoldPieceLabel(QLabel *label)
{
    holdPieceLabel = label;
    if (label)
        label->installEventFilter(this);
}

void BlockDropBoard::setCues(GameCues *gameCues)
{
    if (cues)
        disconnect(cues, nullptr, this, nullptr);
    cues = gameCues;
    // The note that the sound is off comes and goes with the mute.
    if (cues)
        connect(cues, &GameCues::mutedChanged, this, qOverload<>(&QWidget::update));
    update();
}

QString BlockDropBoard::applicationId()
{
    return QStringLiteral("Quillo_Tumblox_QT");
}

// ---- Grid and moves ----

void BlockDropBoard::clearBoard()
{
    board.clear();
}

int BlockDropBoard::cellAt(int x, int y) const
{
    return board.cellAt(x, y);
}

bool BlockDropBoard::tryMove(const BlockDropPiece &piece, int newX, int newY)
{
    if (!board.fits(piece, newX, newY))
        return false;
    curPiece = piece;
    curX = newX;
    curY = newY;
    update();
    return true;
}

// Buttons and keys move a piece only while it is visibly falling: not under
// the "Pause" screen, and not between a clearing and the next piece, where an
// invisible empty piece would land and could end the game.
bool BlockDropBoard::canMovePiece() const
{
    return isStarted && !isPaused && !isGameOver && curPiece.isReal();
}

void BlockDropBoard::left()
{
    if (canMovePiece() && tryMove(curPiece, curX - 1, curY))
        playCue(GameCues::Move);
}

void BlockDropBoard::right()
{
    if (canMovePiece() && tryMove(curPiece, curX + 1, curY))
        playCue(GameCues::Move);
}

void BlockDropBoard::rotate()
{
    if (canMovePiece() && tryMove(curPiece.rotated(), curX, curY))
        playCue(GameCues::Rotate);
}

void BlockDropBoard::down()
{
    if (canMovePiece())
        oneLineDown();
}

void BlockDropBoard::drop()
{
    if (canMovePiece())
        dropDown();
}

void BlockDropBoard::oneLineDown()
{
    if (!tryMove(curPiece, curX, curY - 1))
        pieceDropped(0);
}

void BlockDropBoard::dropDown()
{
    int dropHeight = 0;
    int newY = curY;
    while (newY > 0 && tryMove(curPiece, curX, newY - 1)) {
        --newY;
        ++dropHeight;
    }
    pieceDropped(dropHeight);
}

void BlockDropBoard::removeMatches()
{
    int total = 0;
    int passes = 0;
    while (const int removed = board.clearPass()) {
        total += removed;
        playCue(GameCues::passCue(++passes));
        // Show every pass before the next one begins.
        repaint();
    }
    if (total > 0)
        countRemovedBlocks(total);
}

// ---- Game flow ----

void BlockDropBoard::start()
{
    newGame(QStringLiteral("score"));
}

// Every way to start a game comes here, so none of them gets past the ad.
void BlockDropBoard::newGame(const QString &gameMode)
{
    isShowingCredits = false;
    // A restored game waits paused, yet New Game replaces it.
    if (isPaused && !isRestored)
        return;
    if (isPaused) {
        isPaused = false;
        emit pausedChanged(isPaused);
    }

    // Behind the ad the board shows the game-over screen.
    stopGame();
    showAd();
    if (gameMode == QLatin1String("lines"))
        startLineMode();
    else if (gameMode == QLatin1String("timer"))
        startTimerMode();
    else
        startScoreMode();
    update();
}

void BlockDropBoard::startScoreMode()
{
    mode = QStringLiteral("score");
    emit modeChanged(mode);
    startGame();
}

void BlockDropBoard::startLineMode()
{
    mode = QStringLiteral("lines");
    emit modeChanged(mode);
    startGame();
}

void BlockDropBoard::startTimerMode()
{
    mode = QStringLiteral("timer");
    timeLeft = TimerModeSeconds;
    score = 0;
    emit levelChanged(timeLeft);
    emit scoreChanged(score);
    emit modeChanged(mode);
    startGame();
}

void BlockDropBoard::startGame()
{
    isStarted = true;
    level = 1;
    isGameOver = false;
    isWaitingAfterClear = false;
    numLinesRemoved = 0;
    numPiecesDropped = 0;
    score = 0;
    clearBoard();
    holdPiece.setShape(0);
    // The clock belongs to timer mode alone: a game of another mode that
    // replaces a timer game stops it. Under the "Pause" screen it waits for
    // the resume, as the pieces do.
    if (isTimerMode() && !isPaused)
        secondsTimer->start();
    else
        secondsTimer->stop();
    // Timer mode has announced its own counters already.
    if (!isTimerMode()) {
        emit scoreChanged(score);
        emit levelChanged(level);
    }
    newPiece();
    startFallTimer(fallInterval());
}

void BlockDropBoard::newPiece()
{
    curX = SpawnX;
    curY = SpawnY;
    curPiece = nextPiece;
    nextPiece.setRandomShape();
    showNextPiece();
    // The spawn rows lie above the grid, so the piece always fits.
    tryMove(curPiece, SpawnX, SpawnY);
}

int BlockDropBoard::fallInterval() const
{
    return 1000 / (level + 1);
}

// Nothing falls under the "Pause" screen: while paused the timer stays
// stopped, and resuming starts it again.
void BlockDropBoard::startFallTimer(int msec)
{
    if (!isPaused)
        fallTimer.start(msec, this);
}

bool BlockDropBoard::isTimerMode() const
{
    return mode == QLatin1String("timer");
}

void BlockDropBoard::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != fallTimer.timerId()) {
        QFrame::timerEvent(event);
        return;
    }
    if (isWaitingAfterClear) {
        isWaitingAfterClear = false;
        newPiece();
        startFallTimer(fallInterval());
    } else {
        oneLineDown();
    }
}

void BlockDropBoard::pieceDropped(int dropHeight)
{
    Q_UNUSED(dropHeight)
    landingState = savedGame();
    if (!board.place(curPiece, curX, curY)) {
        landingState.reset();
        gameOver();
        return;
    }

    ++numPiecesDropped;
    // The level rises before this piece's runs are scored.
    if (numPiecesDropped % PiecesPerLevel == 0)
        raiseLevel();

    // After the level, whose ad pauses the game and so silences the landing.
    playCue(GameCues::Land);
    removeMatches();
    if (!isWaitingAfterClear)
        newPiece();
    landingState.reset();
    saveGame();
}

void BlockDropBoard::raiseLevel()
{
    ++level;
    startFallTimer(fallInterval());
    if (!isTimerMode())
        emit levelChanged(level);
    if (level % AdEveryLevels == 0) {
        // The game stays paused after the ad until the player resumes it; a
        // game that is paused already must not be resumed by the toggle.
        if (!isPaused)
            pause();
        showAd();
    }
    // After the ad, so the level that pauses for one stays silent.
    playCue(GameCues::Level);
}

// The cascade-end accounting, run once when a cascade removed blocks.
void BlockDropBoard::countRemovedBlocks(int total)
{
    numLinesRemoved += total;
    if (isTimerMode()) {
        // Never below one second, so the clock can always run out.
        timeLeft = std::max(1, 27 - 2 * level);
        emit levelChanged(timeLeft);
    } else {
        score += total * PointsPerBlock * level;
        emit scoreChanged(score);
    }
    emit linesRemovedChanged(numLinesRemoved);

    startFallTimer(WaitAfterClearMs);
    isWaitingAfterClear = true;
    curX = SpawnX;
    curY = SpawnY;
    curPiece.setShape(0);
    update();
}

void BlockDropBoard::pause()
{
    if (!isStarted)
        return;

    isPaused = !isPaused;
    isRestored = false;
    if (isPaused) {
        if (isTimerMode())
            secondsTimer->stop();
        fallTimer.stop();
        saveGame();
    } else {
        if (isTimerMode())
            secondsTimer->start();
        startFallTimer(fallInterval());
    }
    isShowingCredits = false;
    update();
    emit pausedChanged(isPaused);
}

// Pauses a running game and leaves a paused or stopped one as it is.
void BlockDropBoard::suspend()
{
    if (isStarted && !isPaused)
        pause();
}

void BlockDropBoard::hold()
{
    // Guarded like the moves: between a clearing and the next piece there is
    // nothing to hold (a piece swapped into that gap would be thrown away by the
    // next spawn), and under the "Pause" screen nothing changes.
    if (!canMovePiece())
        return;

    if (holdPiece.isReal()) {
        // All pieces have the same offsets, so the held one fits where this one was.
        std::swap(curPiece, holdPiece);
        update();
    } else {
        holdPiece = curPiece;
        newPiece();
    }
    showHoldPiece();
}

void BlockDropBoard::timerDone()
{
    // Only a running timer game has a clock; a tick anywhere else would end a
    // paused game and leave it where neither Pause nor New Game reaches it.
    if (!isStarted || isPaused || !isTimerMode())
        return;
    ++score;
    --timeLeft;
    emit scoreChanged(score);
    emit levelChanged(timeLeft);
    if (timeLeft <= 0)
        gameOver();
}

// Leaving the program pauses a running game, as the Pause button would.
// Coming back does not resume: that is the player's press. The game's own
// windows (the ad dialog, the network-error screen) keep the program active.
void BlockDropBoard::onApplicationStateChanged(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive)
        suspend();
}

// Shared by New Game and the end of a game, so neither leaves a save to
// resume. secondsTimer runs only in timer mode, so stopping it
// unconditionally is the same as stopping it there.
void BlockDropBoard::stopGame()
{
    isGameOver = true;
    curPiece.setShape(0);
    holdPiece.setShape(0);
    showNextPiece();
    showHoldPiece();
    fallTimer.stop();
    isStarted = false;
    secondsTimer->stop();
    isRestored = false;
    savedGameFile().remove();
}

void BlockDropBoard::gameOver()
{
    stopGame();
    const HighScoreTable table = highScoreDirectory.isEmpty() ? HighScoreTable() : HighScoreTable(highScoreDirectory);
    const int result = HighScoreTable::resultOf(mode, score, numLinesRemoved);
    int place = 0;
    highScores = table.record(mode, result, &place);
    // A game without a point enters a short table, but is no record.
    playCue(result > 0 && place < HighScoreTable::MaxEntries ? GameCues::Record : GameCues::GameOver);
    update();
}

// ---- Keys ----

void BlockDropBoard::keyPressEvent(QKeyEvent *event)
{
    // The sound can be switched off on every screen, not only in a game;
    // a held key switches it once.
    if (event->key() == Qt::Key_M && cues) {
        if (!event->isAutoRepeat())
            cues->setMuted(!cues->isMuted());
        return;
    }
    if (takeControlKey(event->key()))
        return;
    if (!canMovePiece()) {
        QFrame::keyPressEvent(event);
        return;
    }

    switch (event->key()) {
    case Qt::Key_Left:
        left();
        break;
    case Qt::Key_Right:
        right();
        break;
    case Qt::Key_Up:
        rotate();
        break;
    case Qt::Key_D:
        down();
        break;
    case Qt::Key_Space:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        drop();
        break;
    case Qt::Key_H:
        hold();
        break;
    default:
        QFrame::keyPressEvent(event);
    }
}

// Pause, the mode keys and the help, which work when no piece can move too.
bool BlockDropBoard::takeControlKey(int key)
{
    switch (key) {
    case Qt::Key_P:
    case Qt::Key_Escape:
        if (!isStarted)
            return false;
        pause();
        return true;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3: {
        // Only between games, so a slip never throws a game away; and not
        // before the first ad, as New Game is not enabled before it either.
        if (isStarted || !isAdReady)
            return false;
        static const char *const modes[] = { "score", "lines", "timer" };
        newGame(QLatin1String(modes[key - Qt::Key_1]));
        return true;
    }
    case Qt::Key_F1:
        showKeyHelp();
        return true;
    default:
        return false;
    }
}

void BlockDropBoard::showKeyHelp()
{
    if (!keyHelp) {
        keyHelp = new KeyHelpOverlay(this);
        connect(keyHelp, &KeyHelpOverlay::closed, this, &BlockDropBoard::onKeyHelpClosed);
    }
    if (!keyHelp->isHidden())
        return;
    pausedForHelp = isStarted && !isPaused;
    suspend();
    keyHelp->open();
}

void BlockDropBoard::onKeyHelpClosed()
{
    if (pausedForHelp && isStarted && isPaused)
        pause();
    pausedForHelp = false;
}

// ---- Ads ----

// Every ad moment goes through here. Before startAd() there is no client and
// so no ad; the caller goes on at once, as it does when the client refuses.
void BlockDropBoard::showAd()
{
    if (!adModule)
        return;
    adModule->showAdDialog(this, AdCountdownSeconds, tr("Skip in"), tr("Skip"), tr("Click"), true,
                           false);
}

// Nothing is heard under the "Pause" screen, an ad or the network-error
// screen; the loading and credits screens have no game that could sound.
void BlockDropBoard::playCue(GameCues::Cue cue)
{
    if (cues && !isPaused && !QApplication::activeModalWidget()
        && !(networkErrorWidget && networkErrorWidget->isVisible()))
        cues->play(cue);
}

void BlockDropBoard::startAd()
{
    adModule = new InnerActiveAdModule(this, applicationId(), AdReloadSeconds);
    adModule->setAdParameter(0, QStringLiteral("551"));
    adModule->setAdParameter(6, QStringLiteral("Games"));
    adModule->setAdParameter(5, QStringLiteral("games, puzzle, tetraminos, tetra, tetris, "
                                               "adventure, classic, brain, free, fun, challenge"));
    connect(adModule, &InnerActiveAdModule::startReloadAd, this, &BlockDropBoard::onStartReloadAd);
    connect(adModule, &InnerActiveAdModule::adDataReady, this, &BlockDropBoard::onAdDataReady);
    connect(adModule, &InnerActiveAdModule::adDataCorrupted, this,
            &BlockDropBoard::onAdDataCorrupted);
    connect(adModule, &InnerActiveAdModule::networkError, this, &BlockDropBoard::onNetworkError);
    connect(adRetryTimer, &QTimer::timeout, adModule, &InnerActiveAdModule::requestAd);
    adModule->requestAd();
}

void BlockDropBoard::quit()
{
    saveGame();
    showAd();
    QCoreApplication::quit();
}

void BlockDropBoard::onStartReloadAd()
{
}

void BlockDropBoard::onAdDataReady()
{
    // Later ads only replace the client's ad data.
    if (isAdReady)
        return;
    isLoading = false;
    isAdReady = true;
    // A saved game comes back paused, in place of the credits.
    if (const std::optional<SavedGame> saved = savedGameFile().load())
        restoreGame(*saved);
    else
        isShowingCredits = true;
    update();
    emit ready();
}

void BlockDropBoard::onAdDataCorrupted()
{
    qDebug() << "data corrupted";
    // Without a first ad no game can start, so ask again: after 5 s, then
    // twice as long each time, up to the reload interval.
    if (isAdReady)
        return;
    const int lastMs = adRetryTimer->interval();
    adRetryTimer->start(lastMs == 0 ? FirstAdRetryMs : std::min(2 * lastMs, AdReloadSeconds * 1000));
}

void BlockDropBoard::onNetworkError(const QString &networkError)
{
    Q_UNUSED(networkError)
    // Nothing may go on unseen behind the screen: the game stops as Pause
    // stops it, and is saved.
    if (isStarted && !isPaused)
        pause();
    // One screen at a time: a later error brings the same one back.
    if (!networkErrorWidget)
        networkErrorWidget = new NetworkErrorScreen;
    networkErrorWidget->showFullScreen();
    networkErrorWidget->setVisible(true);
    networkErrorWidget->raise();
}

// ---- Saving and resuming ----

SavedGame BlockDropBoard::savedGame() const
{
    SavedGame game;
    game.mode = mode;
    game.grid = board;
    game.curPiece = curPiece;
    game.nextPiece = nextPiece;
    game.holdPiece = holdPiece;
    game.curX = curX;
    game.curY = curY;
    game.score = score;
    game.level = level;
    game.numLinesRemoved = numLinesRemoved;
    game.numPiecesDropped = numPiecesDropped;
    game.timeLeft = timeLeft;
    game.isWaitingAfterClear = isWaitingAfterClear;
    game.randomState = qrandState();
    return game;
}

// Paused, as if the player had just pressed Pause; the counters and the
// previews follow.
void BlockDropBoard::restoreGame(const SavedGame &game)
{
    mode = game.mode;
    board = game.grid;
    curPiece = game.curPiece;
    nextPiece = game.nextPiece;
    holdPiece = game.holdPiece;
    curX = game.curX;
    curY = game.curY;
    score = game.score;
    level = game.level;
    numLinesRemoved = game.numLinesRemoved;
    numPiecesDropped = game.numPiecesDropped;
    timeLeft = game.timeLeft;
    isWaitingAfterClear = game.isWaitingAfterClear;
    setQrandState(game.randomState);
    isStarted = true;
    isGameOver = false;
    isPaused = true;
    isRestored = true;
    isShowingCredits = false;
    emit modeChanged(mode);
    emit scoreChanged(score);
    emit levelChanged(isTimerMode() ? timeLeft : level);
    emit linesRemovedChanged(numLinesRemoved);
    emit pausedChanged(isPaused);
    showNextPiece();
    showHoldPiece();
    // Written back at once, so the file holds what this version writes.
    saveGame();
}

// Only a game in progress is kept: the credits, the ad before a game and a
// finished game leave the file as it is.
void BlockDropBoard::saveGame()
{
    if (isStarted && !isGameOver)
        savedGameFile().save(landingState ? *landingState : savedGame());
}

// Beside the high-score tables; the usual place is looked for once.
SavedGameFile &BlockDropBoard::savedGameFile()
{
    if (highScoreDirectory.isEmpty())
        highScoreDirectory = HighScoreTable().directory();
    if (!saveFile || saveFile->directory() != highScoreDirectory)
        saveFile.emplace(highScoreDirectory);
    return *saveFile;
}

// ---- Painting and previews ----

int BlockDropBoard::squareWidth() const
{
    return contentsRect().width() / BlockDropGrid::BoardWidth;
}

int BlockDropBoard::squareHeight() const
{
    return contentsRect().height() / BlockDropGrid::BoardHeight;
}

QSize BlockDropBoard::sizeHint() const
{
    return QSize(BlockDropGrid::BoardWidth * CellPixels + frameWidth() * 2,
                 BlockDropGrid::BoardHeight * CellPixels + frameWidth() * 2);
}

QSize BlockDropBoard::minimumSizeHint() const
{
    return QSize(BlockDropGrid::BoardWidth * MinimumCellPixels + frameWidth() * 2,
                 BlockDropGrid::BoardHeight * MinimumCellPixels + frameWidth() * 2);
}

void BlockDropBoard::drawSquare(QPainter &painter, int x, int y, int color, QSize cell)
{
    renderer.drawSquare(painter, x, y, color, cell);
}

void BlockDropBoard::showNextPiece()
{
    showPiece(nextPieceLabel, nextPiece);
}

void BlockDropBoard::showHoldPiece()
{
    showPiece(holdPieceLabel, holdPiece);
    // Shown once a bar has been held; the window keeps its place meanwhile.
    if (holdPieceLabel)
        holdPieceLabel->setVisible(holdPiece.isReal());
}

// The preview scales with the board's cells, shrunk alike both ways where the
// piece would not fit the label, and is drawn at the label's pixel ratio.
void BlockDropBoard::showPiece(QLabel *label, const BlockDropPiece &piece)
{
    if (!label)
        return;
    const int columns = piece.maxX() - piece.minX() + 1;
    const int rows = piece.maxY() - piece.minY() + 1;
    QSize cell(squareWidth(), squareHeight());
    const QSize room = label->contentsRect().size();
    if (!cell.isEmpty() && (cell.width() * columns > room.width() || cell.height() * rows > room.height())) {
        const qreal fit = std::min(qreal(room.width()) / (cell.width() * columns),
                                   qreal(room.height()) / (cell.height() * rows));
        cell = QSize(int(cell.width() * fit), int(cell.height() * fit));
    }
    const QSize size(cell.width() * columns, cell.height() * rows);
    const qreal dpr = label->devicePixelRatioF();
    QPixmap pixmap(int(size.width() * dpr), int(size.height() * dpr));
    pixmap.setDevicePixelRatio(dpr);
    if (!pixmap.isNull()) {
        QPainter painter(&pixmap);
        const QPalette &palette = label->palette();
        painter.fillRect(QRect(QPoint(), size), palette.brush(palette.currentColorGroup(), QPalette::Window));
        for (int k = 0; k < 3; ++k)
            drawSquare(painter, cell.width() * (piece.x(k) - piece.minX()), cell.height() * (piece.y(k) - piece.minY()),
                       piece.color(k), cell);
    }
    label->setPixmap(pixmap);
}

// A preview already drawn follows the board's cells, its label's size and
// the screen's pixel ratio; one never drawn stays empty.
void BlockDropBoard::refreshPreviews()
{
    if (nextPieceLabel && !nextPieceLabel->pixmap().isNull())
        showNextPiece();
    if (holdPieceLabel && !holdPieceLabel->pixmap().isNull())
        showHoldPiece();
}

void BlockDropBoard::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    refreshPreviews();
}

bool BlockDropBoard::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Resize || event->type() == QEvent::ScreenChangeInternal)
        && (watched == nextPieceLabel || watched == holdPieceLabel))
        refreshPreviews();
    return QFrame::eventFilter(watched, event);
}

// The text screen that covers the playfield, first match wins; a null
// string means the playfield itself.
QString BlockDropBoard::screenText() const
{
    if (isLoading)
        return tr("Loading, please wait!");
    if (isShowingCredits && !isStarted)
        return tr("Quillo / the Tumblox developers\n Tumblox \n v1.0.0 \n https://quillo.example/tumblox");
    if (isPaused)
        return tr("Pause");
    if (isGameOver)
        return HighScoreTable::gameOverText(mode, HighScoreTable::resultOf(mode, score, numLinesRemoved), highScores);
    return {};
}

void BlockDropBoard::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect contents = contentsRect();
    // The bar enters from above the grid; nothing may spill onto the frame.
    painter.setClipRect(contents);
    const QString text = screenText();
    if (!text.isNull())
        painter.drawText(contents, Qt::AlignCenter, text);
    else
        renderer.drawPlayfield(painter, contents, QSize(squareWidth(), squareHeight()), board, curPiece, curX, curY);
    if (cues && cues->isMuted())
        drawMutedNote(painter, contents);
}

// Small, in the top right corner, readable on the playfield and on the text screens.
void BlockDropBoard::drawMutedNote(QPainter &painter, const QRect &contents)
{
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    painter.setFont(font);
    const QString note = tr("Sound off (M)");
    const int margin = painter.fontMetrics().height() / 4;
    QRect box = painter.fontMetrics().boundingRect(note).adjusted(-margin, -margin, margin, margin);
    box.moveTopRight(contents.topRight() + QPoint(-margin, margin));
    painter.fillRect(box, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, note);
}
