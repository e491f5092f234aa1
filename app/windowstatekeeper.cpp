// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowstatekeeper.h"

#include "blockdropboard.h"
#include "blockdropwindow.h"
#include "windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

namespace {
const QString FullScreenKey = QStringLiteral("window/fullScreen");
const QString GeometryKey = QStringLiteral("window/geometry");
}

WindowStateKeeper::WindowStateKeeper(BlockDropWindow *window)
    : QObject(window)
    , window(window)
    , settings(QStringLiteral("InnerActive"), BlockDropBoard::applicationId())
{
    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F11), window);
    connect(shortcut, &QShortcut::activated, this, &WindowStateKeeper::toggleFullScreen);
    window->installEventFilter(this);
}

void WindowStateKeeper::showWindow()
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const WindowPlacement placement = WindowPlacement::choose(
            window->screen()->availableGeometry(), screens, settings.value(FullScreenKey),
            settings.value(GeometryKey), [this](int height) { return window->sizeForSquareCells(height); });
    normalGeometry = placement.geometry;
    window->setGeometry(placement.geometry);
    if (placement.fullScreen)
        window->showFullScreen();
    else
        window->show();
}

void WindowStateKeeper::toggleFullScreen()
{
    if (window->isFullScreen())
        window->showNormal();
    else
        window->showFullScreen();
    remember();
}

void WindowStateKeeper::remember()
{
    settings.setValue(FullScreenKey, window->isFullScreen());
    settings.setValue(GeometryKey, normalGeometry);
}

// A normal window that the player moved or resized.
bool WindowStateKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && window->isVisible() && window->windowState() == Qt::WindowNoState && window->geometry() != normalGeometry) {
        normalGeometry = window->geometry();
        remember();
    }
    return QObject::eventFilter(watched, event);
}
