// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"

#include "blockdropboard.h"

#include <QGridLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QPushButton>

BlockDropWindow::BlockDropWindow()
    : QWidget(nullptr)
{
    gameBoard = new BlockDropBoard(this);

    // Without parent until the layout is installed, which adopts it.
    nextPieceLabel = new QLabel;
    nextPieceLabel->setFrameStyle(QFrame::Box | QFrame::Raised);
    nextPieceLabel->setFixedWidth(75);
    nextPieceLabel->setFixedHeight(80);
    gameBoard->setNextPieceLabel(nextPieceLabel);

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

QLCDNumber *BlockDropWindow::createCounter()
{
    auto *lcd = new QLCDNumber(6);
    lcd->setSegmentStyle(QLCDNumber::Filled);
    lcd->setFixedWidth(75);
    lcd->setFixedHeight(50);
    return lcd;
}

// The buttons never take the focus, so key presses always reach the board.
QPushButton *BlockDropWindow::createButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void BlockDropWindow::connectSignals()
{
    connect(newGameButton, &QPushButton::clicked, gameBoard, &BlockDropBoard::start);
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
// three columns; the right column holds the preview, the counters and Rotate;
// the bottom row holds Left, Down, Drop and Right.
void BlockDropWindow::layOut()
{
    const Qt::Alignment captionAlignment = Qt::AlignHCenter | Qt::AlignBottom;
    layout = new QGridLayout;
    layout->addWidget(nextPieceLabel, 1, 3);
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
