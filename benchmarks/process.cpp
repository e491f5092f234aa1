// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Process figures of the game: start-up to the first painted frame, and peak
// resident memory after autoplayed pieces.
//
//   tumblox-process spawn [runs] [game...]
//                                     start the game (tumblox) in fresh processes;
//                                     several builds of it take turns, run by run
//   tumblox-process autoplay [pieces] play the game here and report its memory
//
// Both start the development ad server on loopback first, and run offscreen
// on a screen the size of the handheld's unless QT_QPA_PLATFORM is set.

#include "adserverprocess.h"
#include "autoplayer.h"
#include "blockdropboard.h"
#include "blockdropwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct StartupRun
{
    double firstFrame = -1;
    double lastFrame = -1;
};

// Starts the game itself and reads the moments its window reaches the
// screen from Qt's own painting log, stamped with the monotonic clock
// (milliseconds). The last flush within the time box is the credits
// screen once the first ad has arrived; nothing else changes on screen.
StartupRun startOnce(const QProcessEnvironment &environment, const QString &program)
{
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setStandardOutputFile(QProcess::nullDevice());
    game.setReadChannel(QProcess::StandardError);
    const double spawnedAt = monotonicMs();
    game.start(program);
    QElapsedTimer box;
    box.start();
    QByteArray log;
    while (box.elapsed() < 1500) {
        game.waitForReadyRead(100);
        log += game.readAllStandardError();
    }
    game.kill();
    game.waitForFinished();

    StartupRun run;
    static const QRegularExpression flush(QStringLiteral("^\\s*([0-9.]+) Flushing top level"),
                                          QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &match : flush.globalMatch(QString::fromUtf8(log))) {
        run.lastFrame = match.captured(1).toDouble() * 1e3 - spawnedAt;
        if (run.firstFrame < 0)
            run.firstFrame = run.lastFrame;
    }
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Builds compared side by side take turns, so each meets the same load.
int spawn(int runs, QStringList games)
{
    if (games.isEmpty())
        games << QCoreApplication::applicationDirPath() + QStringLiteral("/tumblox");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting.info=true"));
    environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{time boot} %{message}"));
    std::vector<std::vector<double>> firstFrames(games.size());
    std::vector<std::vector<double>> lastFrames(games.size());
    for (int run = 0; run < runs; ++run) {
        for (int g = 0; g < games.size(); ++g) {
            const StartupRun result = startOnce(environment, games.at(g));
            if (result.firstFrame < 0) {
                std::fprintf(stderr, "tumblox-process: %s painted no frame\n", qPrintable(games.at(g)));
                return 1;
            }
            firstFrames[g].push_back(result.firstFrame);
            lastFrames[g].push_back(result.lastFrame);
        }
    }
    std::printf("exec to frame on screen, median of %d runs, milliseconds\n", runs);
    for (int g = 0; g < games.size(); ++g) {
        if (games.size() > 1)
            std::printf("%s\n", qPrintable(games.at(g)));
        std::printf("  first frame    %7.1f\n", median(firstFrames[g]));
        std::printf("  credits frame  %7.1f\n", median(lastFrames[g]));
    }
    return 0;
}

QByteArray memoryStatus()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    QByteArray lines;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM") || line.startsWith("VmRSS"))
            lines += "  " + line.simplified() + '\n';
    }
    return lines;
}

// Resident kilobytes per mapped file (anonymous memory as "[anon]"), largest
// first: what the resident memory is made of.
QByteArray largestMappings(int count)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    std::map<QByteArray, long> residentKb;
    QByteArray mapping;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-'))
            mapping = fields.size() >= 6 ? fields[5] : QByteArray("[anon]");
        else if (fields.size() >= 2 && fields[0] == "Rss:")
            residentKb[mapping] += fields[1].toLong();
    }
    std::vector<std::pair<long, QByteArray>> sorted;
    for (const auto &[name, kb] : residentKb)
        sorted.emplace_back(kb, name);
    std::sort(sorted.rbegin(), sorted.rend());
    QByteArray lines;
    for (int i = 0; i < count && i < int(sorted.size()); ++i)
        lines += QByteArray("  ") + QByteArray::number(qlonglong(sorted[i].first)).rightJustified(7) + " kB "
            + sorted[i].second + '\n';
    return lines;
}

// The game as the player sees it, events and paints included; ad dialogs are
// closed as soon as they open.
int autoplay(QApplication &app, int pieces)
{
    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    // Before the first ad, which would resume a game saved in its folder.
    Autoplayer player(*board);
    bool ready = false;
    QObject::connect(board, &BlockDropBoard::ready, [&ready] { ready = true; });
    window.show();
    window.showFullScreen();
    QElapsedTimer waited;
    waited.start();
    while (!ready && waited.elapsed() < 10000)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!ready) {
        std::fprintf(stderr, "tumblox-process: the first ad did not arrive\n");
        return 1;
    }
    std::printf("after the first ad\n%s", memoryStatus().constData());

    QTimer dialogCloser;
    QObject::connect(&dialogCloser, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    dialogCloser.start(20);
    for (int piece = 0; piece < pieces; ++piece) {
        player.landOne();
        app.processEvents();
        // The playfield's caches exist from the first piece on.
        if (piece == 0)
            std::printf("after the first piece\n%s", memoryStatus().constData());
    }
    std::printf("after %d pieces in %d games\n%s", pieces, player.gamesStarted(), memoryStatus().constData());
    std::printf("resident, largest first\n%s", largestMappings(12).constData());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: tumblox-process spawn [runs] [game...] | autoplay [pieces]\n");
    return 2;
}

// The handheld's 800 x 480 screen, offscreen, unless a platform is asked
// for; this process and its children use it.
void useHandheldScreen(QTemporaryFile &config)
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !config.open())
        return;
    config.write(R"({"screens": [{"name": "handheld", "x": 0, "y": 0, "width": 800, "height": 480,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

// Every ad client made from here on, in this process and its children, talks
// to the loopback server.
void pointClientsAt(const AdServerProcess &server)
{
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    QTemporaryFile screenConfig;
    useHandheldScreen(screenConfig);
    if (mode == QLatin1String("spawn")) {
        QCoreApplication app(argc, argv);
        const AdServerProcess server;
        pointClientsAt(server);
        return spawn(count > 0 ? count : 10, app.arguments().mid(3));
    }
    if (mode == QLatin1String("autoplay")) {
        QApplication app(argc, argv);
        // The ad client's stored identity goes to a scratch location.
        QStandardPaths::setTestModeEnabled(true);
        const AdServerProcess server;
        pointClientsAt(server);
        return autoplay(app, count > 0 ? count : 1000);
    }
    return usage();
}
