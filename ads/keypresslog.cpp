// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keypresslog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

KeyPressLog *KeyPressLog::instance()
{
    static QPointer<KeyPressLog> log;
    if (!log)
        log = new KeyPressLog;
    return log;
}

KeyPressLog::KeyPressLog()
    : QObject(QCoreApplication::instance())
{
    sinceStart.start();
    QCoreApplication::instance()->installEventFilter(this);
}

qint64 KeyPressLog::now() const
{
    return clock ? clock() : sinceStart.elapsed();
}

void KeyPressLog::setClock(Clock clock)
{
    this->clock = std::move(clock);
}

qint64 KeyPressLog::quietBeforeLastPress() const
{
    return lastPressAt - previousPressAt;
}

bool KeyPressLog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const quint64 stamp = static_cast<QKeyEvent *>(event)->timestamp();
        if (event != lastPress || stamp != lastPressStamp) {
            previousPressAt = lastPressAt;
            lastPressAt = now();
            lastPress = event;
            lastPressStamp = stamp;
        }
    }
    return QObject::eventFilter(watched, event);
}
