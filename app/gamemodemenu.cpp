// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamemodemenu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>
#include <QTimer>

GameModeMenu::GameModeMenu(QPushButton *button)
    : QObject(button)
    , button(button)
{
    menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("gameModeMenu"));
    // The keys that start the same games between games.
    addMode(tr("&Score mode"), QStringLiteral("1"), QStringLiteral("score"));
    addMode(tr("&Line mode"), QStringLiteral("2"), QStringLiteral("lines"));
    addMode(tr("&Timer mode"), QStringLiteral("3"), QStringLiteral("timer"));

    holdTimer = new QTimer(this);
    holdTimer->setObjectName(QStringLiteral("holdTimer"));
    holdTimer->setSingleShot(true);
    holdTimer->setInterval(QGuiApplication::styleHints()->mousePressAndHoldInterval());
    connect(holdTimer, &QTimer::timeout, this, &GameModeMenu::onHeld);
    button->installEventFilter(this);
}

void GameModeMenu::addMode(const QString &text, const QString &key, const QString &mode)
{
    // After a tab the menu shows the key as a hint, without making it a shortcut.
    QAction *action = menu->addAction(text + u'\t' + key);
    connect(action, &QAction::triggered, this, [this, mode] { emit modeChosen(mode); });
}

bool GameModeMenu::eventFilter(QObject *watched, QEvent *event)
{
    // A disabled button still sees its events here; it offers no games.
    if (watched != button || !button->isEnabled())
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ContextMenu:
        popUp(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            pressedAt = mouse->globalPosition().toPoint();
            holdTimer->start();
        }
        break;
    }
    case QEvent::MouseMove:
        // A press that wanders off is a drag, not a hold.
        if ((static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - pressedAt).manhattanLength()
            > QApplication::startDragDistance())
            holdTimer->stop();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::Leave:
    case QEvent::Hide:
        holdTimer->stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// The press becomes the menu's: the button comes up without clicking.
void GameModeMenu::onHeld()
{
    if (!button->isDown())
        return;
    button->setDown(false);
    popUp(pressedAt);
}

void GameModeMenu::popUp(const QPoint &globalPos)
{
    holdTimer->stop();
    menu->popup(globalPos);
}
