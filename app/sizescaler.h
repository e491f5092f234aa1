// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <utility>

class QWidget;

// Keeps widgets at their size on the handheld's screen and grows them in
// proportion with the window's height above it, so that the previews and the
// counters stay readable on larger screens. A child of the window it watches.
class SizeScaler : public QObject
{
public:
    // The height of the handheld's screen, where every widget has its base size.
    static constexpr int BaseHeight = 480;

    explicit SizeScaler(QWidget *window);

    // Fixes the widget at its base size, grown for the window's height.
    void add(QWidget *widget, QSize base);
    // Sizes every widget for a window of this height.
    void scaleTo(int windowHeight);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window;
    QList<std::pair<QPointer<QWidget>, QSize>> widgets;
};
