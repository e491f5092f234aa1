// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sizescaler.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace {

QSize grown(QSize base, int windowHeight)
{
    const qreal factor = std::max(1.0, qreal(windowHeight) / SizeScaler::BaseHeight);
    return QSize(qRound(base.width() * factor), qRound(base.height() * factor));
}

} // namespace

SizeScaler::SizeScaler(QWidget *window)
    : QObject(window)
    , window(window)
{
    window->installEventFilter(this);
}

void SizeScaler::add(QWidget *widget, QSize base)
{
    widgets.append({ widget, base });
    widget->setFixedSize(grown(base, window->height()));
}

void SizeScaler::scaleTo(int windowHeight)
{
    for (const auto &[widget, base] : std::as_const(widgets)) {
        if (widget)
            widget->setFixedSize(grown(base, windowHeight));
    }
}

// The window's layout takes the new sizes on its next pass.
bool SizeScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Resize)
        scaleTo(window->height());
    return QObject::eventFilter(watched, event);
}
