// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

class QMenu;
class QPushButton;
class QTimer;

// The menu of the three game modes on the New Game button. A right-click or
// a press held on the button (a touch-and-hold on a touch screen) opens it;
// a plain click stays the button's own. A child of the button.
class GameModeMenu : public QObject
{
    Q_OBJECT

public:
    explicit GameModeMenu(QPushButton *button);

signals:
    void modeChosen(const QString &mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addMode(const QString &text, const QString &key, const QString &mode);
    void onHeld();
    void popUp(const QPoint &globalPos);

    QPushButton *button = nullptr;
    QMenu *menu = nullptr;
    QTimer *holdTimer = nullptr;
    QPoint pressedAt;
};
