// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a signal of the event loop, so the
// program can end as its Quit button ends it: the handler only writes a byte
// to a socket pair, and the loop's read of it emits received(). A second such
// signal ends the program at once. One object for the program's whole run.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    void onReadable();

    QSocketNotifier *notifier = nullptr;
};
