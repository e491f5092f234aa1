// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The full-screen "Network connection needed" button that ends the program.
// Closed any other way (the window manager's close, Alt+F4), it ends the
// program just the same, rather than leaving a game that cannot go on. A
// top-level widget without parent; the board deletes it.
class NetworkErrorScreen : public QWidget
{
public:
    NetworkErrorScreen();

protected:
    void closeEvent(QCloseEvent *event) override;
};
