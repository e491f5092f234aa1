// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <limits>

// Remembers when keys were last pressed anywhere in the program, so that the
// ad dialog can tell a deliberate press from one in a run of presses that was
// meant for the game. One per application: a child of it and its event filter,
// made by the first caller of instance().
class KeyPressLog : public QObject
{
public:
    using Clock = std::function<qint64()>;

    static KeyPressLog *instance();

    // Milliseconds on a monotonic clock; tests set their own.
    qint64 now() const;
    void setClock(Clock clock);

    // While a press is handled: how long before it the one before it came,
    // effectively forever when there was none.
    qint64 quietBeforeLastPress() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyPressLog();

    static constexpr qint64 Never = std::numeric_limits<qint64>::min() / 2;

    Clock clock;
    QElapsedTimer sinceStart;
    // The same press passes the filter once for each widget it is offered to;
    // it keeps its address and its time stamp meanwhile.
    const QEvent *lastPress = nullptr;
    quint64 lastPressStamp = 0;
    qint64 lastPressAt = Never;
    qint64 previousPressAt = Never;
};
