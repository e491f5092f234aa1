// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QStringList>

// The development ad server of this build on a free loopback port, for as long as the object
// lives. One that does not start ends the program with its error: a client without an address
// would fall back to the default port, where a developer's own server may be listening.
class AdServerProcess
{
public:
    // Long runs would pile up the request log, so it is kept only on request.
    enum Log { DropLog, KeepLog };

    // arguments: extra options such as "--fault", "malformed".
    explicit AdServerProcess(const QStringList &arguments = {}, Log log = DropLog);
    ~AdServerProcess();

    QString url() const { return baseUrl; }

    // With KeepLog: one line per request so far, "GET /path?query "agent"".
    // Lines arrive through the event loop.
    QStringList requests() const { return requestLines; }

private:
    void readLog(Log log);

    QProcess process;
    QString baseUrl;
    QStringList requestLines;
};
