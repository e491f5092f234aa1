// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class BlockDropBoard;
class GameCues;
class QGridLayout;
class QLabel;
class QLCDNumber;
class QPushButton;
class SizeScaler;

// The top-level window: the board, the next-piece and hold previews, the two
// counters with their captions and the eight buttons. It owns all of them through Qt
// parenthood; the entry point owns the window.
class BlockDropWindow : public QWidget
{
    Q_OBJECT

public:
    BlockDropWindow();

    // The window size nearest to this height at which the board's cells come
    // out square, and no smaller than the window can be. Lays the window out
    // for that height, so ask while it is hidden.
    QSize sizeForSquareCells(int height);

    // For the board; not owned.
    void setCues(GameCues *cues);

public slots:
    void setMode(const QString &text);
    void setScoreLcd(int i);
    void setLinesLcd(int i);
    void ready();

private:
    QLabel *createPreview();
    QLCDNumber *createCounter();
    QPushButton *createButton(const QString &text);
    void showPaused(bool paused);
    void connectSignals();
    void layOut();

    // Lets the tests reach the widgets; defined by the tests only.
    friend struct BlockDropWindowTestAccess;

    QLabel *scoreLabel = nullptr;
    QLabel *levelLabel = nullptr;
    QString modeText;
    BlockDropBoard *gameBoard = nullptr;
    QLabel *nextPieceLabel = nullptr;
    QLabel *holdPieceLabel = nullptr;
    QLCDNumber *scoreLcd = nullptr;
    QLCDNumber *levelLcd = nullptr;
    QPushButton *newGameButton = nullptr;
    QPushButton *quitButton = nullptr;
    QPushButton *pauseButton = nullptr;
    QPushButton *leftButton = nullptr;
    QPushButton *rightButton = nullptr;
    QPushButton *dropButton = nullptr;
    QPushButton *downButton = nullptr;
    QPushButton *rotateButton = nullptr;
    QGridLayout *layout = nullptr;
    // Grows the previews and the counters with the window.
    SizeScaler *scaler = nullptr;
};
