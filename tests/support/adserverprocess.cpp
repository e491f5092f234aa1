// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"

#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

AdServerProcess::AdServerProcess(const QStringList &arguments, Log log)
{
    // Gone with us even when we are killed and no destructor runs.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(QStringLiteral(TUMBLOX_ADSERVER_PATH),
                  QStringList{ QStringLiteral("--port"), QStringLiteral("0") } + arguments);
    // The first line names the address.
    while (!process.canReadLine() && process.waitForReadyRead(5000)) {
    }
    const QString line = QString::fromUtf8(process.readLine());
    baseUrl = QRegularExpression(QStringLiteral("http://\\S+")).match(line).captured();
    if (baseUrl.isEmpty()) {
        process.waitForFinished(1000);
        qFatal("The development ad server did not start: %s", process.readAllStandardError().trimmed().constData());
    }
    // Read on, kept or not, so the pipes never fill.
    QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                     [this] { process.readAllStandardError(); });
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                     [this, log] { readLog(log); });
    readLog(log);
}

AdServerProcess::~AdServerProcess()
{
    process.kill();
    process.waitForFinished();
}

void AdServerProcess::readLog(Log log)
{
    while (process.canReadLine()) {
        const QString line = QString::fromUtf8(process.readLine()).chopped(1);
        if (log == KeepLog)
            requestLines.append(line);
    }
}
