// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs for leaks and rule breaks no single test would see; tools/soak runs it.
#include "adserverprocess.h"
#include "autoplayer.h"
#include "blockdropboardtestaccess.h"
#include "gridpicture.h"
#include "inneractiveadmodule.h"
#include "inneractiveadwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSignalSpy>
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

// One ad client and one banner: resident memory may grow by at most 2 MiB over the second half of the cycles (not
// under AddressSanitizer, whose quarantine keeps freed memory; its leak checker has the last word there).
void soakAds(int cycles)
{
    AdServerProcess server;
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
    InnerActiveAdModule module(nullptr, QStringLiteral("Quillo_Tumblox_Soak"), 0);
    const std::unique_ptr<InnerActiveAdWidget> banner(module.createAdWidget(nullptr, true));
    banner->show();
    QSignalSpy ready(&module, &InnerActiveAdModule::adDataReady);
    qint64 afterFirstHalf = -1;
    for (int cycle = 1; cycle <= cycles && violations <= 20; ++cycle) {
        if (module.requestAd() != InnerActiveAdModule::Success || !ready.wait(10000)
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

// After every landing no cell is out of range, no block floats and the score is right.
void soakPlay(int pieces)
{
    BlockDropBoard board;
    BlockDropBoardTestAccess access{ board };
    // First, so its folder holds the saved game too: none left by a player is resumed.
    Autoplayer player(board);
    access.skipAds();
    const ScoreKeeper keeper(board);
    for (int piece = 1; piece <= pieces && violations <= 20; ++piece) {
        player.landOne();
        if (!isSettled(access.grid()))
            violation(QStringLiteral("piece %1: a cell out of range or a floating block").arg(piece));
        if (access.score() != keeper.expectedScore)
            violation(QStringLiteral("piece %1: score %2, expected %3").arg(piece).arg(access.score()).arg(keeper.expectedScore));
    }
    std::printf("play: %d pieces in %d games\n", pieces, player.gamesStarted());
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
