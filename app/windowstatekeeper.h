// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>
#include <QSettings>

class BlockDropWindow;

// Opens the window as the player left it, or by the first-start rule, and
// toggles full screen on F11. The mode and the normal geometry are kept in
// the [window] group of the settings file that holds the ad client's id,
// written whenever the player changes them. A child of the window.
class WindowStateKeeper : public QObject
{
public:
    explicit WindowStateKeeper(BlockDropWindow *window);

    void showWindow();
    void toggleFullScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void remember();

    BlockDropWindow *window;
    QSettings settings;
    // Where the window is, or goes back to, when not full screen.
    QRect normalGeometry;
};
