// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"

#include <QApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns about every size-hint change of a shown
// window; that would bury the table.
void dropPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    // Figures are taken offscreen unless a platform is asked for.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    defaultHandler = qInstallMessageHandler(dropPlatformNoise);
    QApplication app(argc, argv);
    // The ad client's stored identity goes to a scratch location.
    QStandardPaths::setTestModeEnabled(true);

    // Every ad client made from here on talks to the loopback server.
    const AdServerProcess server;
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
