// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

AdServerProcess::AdServerProcess()
{
    process.setStandardErrorFile(QProcess::nullDevice());
    // Gone with us even when we are killed and no destructor runs.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tumblox-adserver"),
                  { QStringLiteral("--port"), QStringLiteral("0") });
    // The first line names the address.
    while (!process.canReadLine() && process.waitForReadyRead(5000)) {
    }
    const QString line = QString::fromUtf8(process.readLine());
    baseUrl = QRegularExpression(QStringLiteral("http://\\S+")).match(line).captured();
    // One log line per request follows; drain them so the pipe never fills.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                     [this] { process.readAllStandardOutput(); });
}

AdServerProcess::~AdServerProcess()
{
    process.kill();
    process.waitForFinished();
}
