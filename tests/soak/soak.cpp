// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs that shake out leaks and rule breaks no single test would see.
//
//   tumblox-soak [--ad-cycles N] [--pieces N]
//
// Ad cycles: one ad client and one banner against the development ad server;
// resident memory after the second half of the cycles may not exceed that
// after the first half by more than 2 MiB (not under AddressSanitizer, whose
// quarantine keeps freed memory; its leak checker has the last word there).
// Play: the benchmarks' autoplayer lands pieces; after every landing the grid
// is checked, and after every clearing the score. Exits 1 on any violation.

#include "adserverprocess.h"
#include "autoplayer.h"
#include "blockdropboardtestaccess.h"
#include "gridpicture.h"
#include "inneractiveadmodule.h"
#include "inneractiveadwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
int violations = 0;

void violation(const QString &what)
{
    if (++violations <= 20)
        std::printf("VIOLATION: %s\n", qPrintable(what));
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    const QList<QByteArray> fields = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

void soakAds(int cycles)
{
    AdServerProcess server;
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
    InnerActiveAdModule module(nullptr, QStringLiteral("Quillo_Tumblox_Soak"), 0);
    const std::unique_ptr<InnerActiveAdWidget> banner(module.createAdWidget(nullptr, true));
    banner->show();
    qint64 afterFirstHalf = -1;
    for (int cycle = 1; cycle <= cycles && violations <= 20; ++cycle) {
        // Every third ad of the rotation is animated, so the banner runs its movie too.
        QEventLoop loop;
        QObject::connect(&module, &InnerActiveAdModule::adDataReady, &loop, [&loop] { loop.exit(0); });
        QObject::connect(&module, &InnerActiveAdModule::adDataCorrupted, &loop, [&loop] { loop.exit(1); });
        QObject::connect(&module, &InnerActiveAdModule::networkError, &loop, [&loop] { loop.exit(1); });
        QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
        if (module.requestAd() != InnerActiveAdModule::Success || loop.exec() != 0
            || module.updateAdWidget(banner.get()) != InnerActiveAdModule::Success)
            violation(QStringLiteral("ad cycle %1 failed").arg(cycle));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (cycle == cycles / 2)
            afterFirstHalf = residentBytes();
    }
    const double growth = double(residentBytes() - afterFirstHalf) / (1024.0 * 1024.0);
    std::printf("ad cycles: %d, resident memory grew %+.2f MiB over the second half (limit 2)\n", cycles, growth);
#if !defined(__SANITIZE_ADDRESS__)
    if (cycles >= 2 && (afterFirstHalf < 0 || growth > 2.0))
        violation(QStringLiteral("resident memory grew by %1 MiB").arg(growth));
#endif
}

void soakPlay(int pieces)
{
    BlockDropBoard board;
    BlockDropBoardTestAccess access{ board };
    access.skipAds();
    Autoplayer player(board);
    const ScoreKeeper keeper(board);
    int clearings = 0;
    QObject::connect(&board, &BlockDropBoard::linesRemovedChanged, &board, [&clearings] { ++clearings; });
    for (int piece = 1; piece <= pieces && violations <= 20; ++piece) {
        player.landOne();
        if (!isSettled(access.grid()))
            violation(QStringLiteral("piece %1: a cell out of range or a floating block").arg(piece));
        if (access.score() != keeper.expectedScore)
            violation(QStringLiteral("piece %1: score %2, expected %3").arg(piece).arg(access.score()).arg(keeper.expectedScore));
    }
    std::printf("play: %d pieces in %d games, %d clearings\n", pieces, player.gamesStarted(), clearings);
}
}

int main(int argc, char *argv[])
{
    // Client ids go to a settings folder of our own, not the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption cycles(QStringLiteral("ad-cycles"), QStringLiteral("Ad cycles."), QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption pieces(QStringLiteral("pieces"), QStringLiteral("Pieces to land."), QStringLiteral("N"), QStringLiteral("200000"));
    parser.addOptions({ cycles, pieces });
    parser.process(app);

    soakAds(parser.value(cycles).toInt());
    soakPlay(parser.value(pieces).toInt());
    std::printf("soak: %d violations\n", violations);
    return violations > 0 ? 1 : 0;
}
