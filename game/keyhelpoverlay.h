// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The list of keys and pad buttons that F1 shows over the board. While it is
// open it takes every key press and click of the program, and the first one
// closes it, so the press that closes the help never reaches the game.
// A child of the board, which it covers.
class KeyHelpOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit KeyHelpOverlay(QWidget *board);

    void open();

signals:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void dismiss();
    void fitToBoard();
};
