// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"

#include "blockdropboard.h"
#include "gamemodemenu.h"
#include "gamepads.h"
#include "sizescaler.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QPushButton>

BlockDropWindow::BlockDropWindow()
    : QWidget(nullptr)
{
    scaler = new SizeScaler(this);
    gameBoard = new BlockDropBoard(this);

    nextPieceLabel = createPreview();
    gameBoard->setNextPieceLabel(nextPieceLabel);

    // Shown by the board once a bar is held; its place is kept meanwhile, so
    // the board does not change size in the middle of a game.
    holdPieceLabel = createPreview();
    holdPieceLabel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QSizePolicy holdPolicy = holdPieceLabel->sizePolicy();
    holdPolicy.setRetainSizeWhenHidden(true);
    holdPieceLabel->setSizePolicy(holdPolicy);
    holdPieceLabel->hide();
    gameBoard->setHoldPieceLabel(holdPieceLabel);

    scoreLcd = createCounter();
    levelLcd = createCounter();

    newGameButton = createButton(tr("&New Game"));
    newGameButton->setEnabled(false);
    quitButton = createButton(tr("&Quit"));
    pauseButton = createButton(tr("&Pause"));
    leftButton = createButton(tr("&Left"));
    rightButton = createButton(tr("&Right"));
    dropButton = createButton(tr("&Drop"));
    rotateButton = createButton(tr("&Rotate"));
    downButton = createButton(tr("&Down"));
    for (QPushButton *button : { leftButton, rightButton, dropButton, rotateButton, downButton })
        button->setFixedHeight(80);

    connectSignals();
    layOut();
    setWindowTitle(tr("Tumblox"));
}

void BlockDropWindow::setCues(GameCues *cues)
{
    gameBoard->setCues(cues);
}

// A piece preview the board draws into. Like the counters it has its fixed
// size on the handheld and grows with taller windows; the piece sits in its
// middle. Without parent until the layout is installed, which adopts it.
QLabel *BlockDropWindow::createPreview()
{
    auto *label = new QLabel;
    label->setFrameStyle(QFrame::Box | QFrame::Raised);
    label->setAlignment(Qt::AlignCenter);
    scaler->add(label, QSize(75, 80));
    return label;
}

QLCDNumber *BlockDropWindow::createCounter()
{
    auto *lcd = new QLCDNumber(6);
    lcd->setSegmentStyle(QLCDNumber::Filled);
    scaler->add(lcd, QSize(75, 50));
    return lcd;
}

QSize BlockDropWindow::sizeForSquareCells(int height)
{
    scaler->scaleTo(height);
    // Wide enough for every column; the spare width all goes to the board.
    const int width = 4 * height;
    layout->setGeometry(QRect(0, 0, width, height));
    const QRect contents = gameBoard->contentsRect();
    const int square = BlockDropGrid::BoardWidth * (contents.height() / BlockDropGrid::BoardHeight);
    return QSize(width - contents.width() + square, height).expandedTo(layout->minimumSize());
}

// The buttons never take the focus, so key presses always reach the board.
// They may be narrower than the style's usual minimum, down to their text, so
// that a desktop window with square cells still fits three under the board.
QPushButton *BlockDropWindow::createButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setFocusPolicy(Qt::NoFocus);
    const QFontMetrics metrics = button->fontMetrics();
    button->setMinimumWidth(metrics.horizontalAdvance(QString(text).remove(u'&')) + metrics.height());
    return button;
}

void BlockDropWindow::showPaused(bool paused)
{
    pauseButton->setText(paused ? tr("&Resume") : tr("&Pause"));
}

void BlockDropWindow::connectSignals()
{
    connect(newGameButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::start);
    connect(new GameModeMenu(newGameButton), &GameModeMenu::modeChosen, gameBoard, &BlockDropBoard::newGame);
    connect(gameBoard, &BlockDropBoard::pausedChanged, this, &BlockDropWindow::showPaused);
    // A pad pulled out in the middle of a game would leave it running unattended.
    connect(new Gamepads(gameBoard), &Gamepads::padRemoved, gameBoard, &BlockDropBoard::suspend);
    connect(pauseButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::pause);
    connect(quitButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::quit);
    connect(gameBoard, &BlockDropBoard::levelChanged, levelLcd, qOverload<int>(&QLCDNumber::display));
    connect(gameBoard, &BlockDropBoard::modeChanged, this, &BlockDropWindow::setMode);
    connect(gameBoard, &BlockDropBoard::ready, this, &BlockDropWindow::ready);
    connect(gameBoard, &BlockDropBoard::linesRemovedChanged, this, &BlockDropWindow::setLinesLcd);
    connect(gameBoard, &BlockDropBoard::scoreChanged, this, &BlockDropWindow::setScoreLcd);
    connect(leftButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::left);
    connect(rightButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::right);
    connect(dropButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::drop);
    connect(rotateButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::rotate);
    connect(downButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::down);
}

// Top row: New Game, Pause, Quit. The board fills rows 1 to 6 of the first
// three columns; the right column holds the next and hold previews side by
// side, the counters and Rotate;
// the bottom row holds Left, Down, Drop and Right.
void BlockDropWindow::layOut()
{
    const Qt::Alignment captionAlignment = Qt::AlignHCenter | Qt::AlignBottom;
    layout = new QGridLayout;
    auto *previews = new QHBoxLayout;
    previews->addWidget(nextPieceLabel);
    previews->addWidget(holdPieceLabel);
    layout->addLayout(previews, 1, 3);
    layout->addWidget(newGameButton, 0, 0, 1, 2);
    layout->addWidget(pauseButton, 0, 2);
    layout->addWidget(quitButton, 0, 3);
    layout->addWidget(gameBoard, 1, 0, 6, 3);
    scoreLabel = new QLabel(tr("SCORE"));
    scoreLabel->setAlignment(captionAlignment);
    layout->addWidget(scoreLabel, 2, 3);
    layout->addWidget(scoreLcd, 3, 3, Qt::AlignRight);
    levelLabel = new QLabel(tr("LEVEL"));
    levelLabel->setAlignment(captionAlignment);
    layout->addWidget(levelLabel, 4, 3);
    layout->addWidget(levelLcd, 5, 3, Qt::AlignRight);
    layout->addWidget(rotateButton, 6, 3);
    layout->addWidget(leftButton, 7, 0);
    layout->addWidget(downButton, 7, 1);
    layout->addWidget(dropButton, 7, 2);
    layout->addWidget(rightButton, 7, 3);
    setLayout(layout);
}

void BlockDropWindow::setMode(const QString &text)
{
    modeText = text;
    if (text == QLatin1String("score") || text == QLatin1String("lines")) {
        scoreLcd->display(0);
        scoreLabel->setText(tr("SCORE"));
        levelLabel->setText(tr("LEVEL"));
    } else if (text == QLatin1String("timer")) {
        scoreLcd->display(0);
        scoreLabel->setText(tr("SCORE"));
        levelLabel->setText(tr("TIME LEFT"));
    }
}

// In line mode the upper counter shows the removed blocks instead.
void BlockDropWindow::setScoreLcd(int i)
{
    if (modeText == QLatin1String("score") || modeText == QLatin1String("timer"))
        scoreLcd->display(i);
}

void BlockDropWindow::setLinesLcd(int i)
{
    if (modeText == QLatin1String("lines"))
        scoreLcd->display(i);
}

void BlockDropWindow::ready()
{
    newGameButton->setEnabled(true);
}
