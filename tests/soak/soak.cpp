// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs that shake out leaks and rule breaks no single test would see.
//
//   tumblox-soak [--ad-cycles N] [--pieces N] [--seed S]
//
// Ad cycles: one ad client and one banner against the development ad server;
// resident memory after the second half of the cycles may not exceed that
// after the first half by more than 2 MiB.
// Play: random moves, drops, rotations, holds and pauses across the three
// modes; after every landing and every cascade the grid and score are checked.
//
// Prints its figures and exits 1 on any violation.

#include "adserverprocess.h"
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"
#include "inneractiveadwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr qint64 MaxGrowthBytes = 2 * 1024 * 1024;
// AddressSanitizer keeps freed memory in quarantine, so resident memory says
// nothing there; its leak checker has the last word at exit instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryBoundHolds = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool MemoryBoundHolds = false;
#else
constexpr bool MemoryBoundHolds = true;
#endif
#else
constexpr bool MemoryBoundHolds = true;
#endif
constexpr int CycleTimeLimitMs = 10000;
constexpr int PointsPerBlock = 15;
constexpr int MaxReportedViolations = 20;

int violations = 0;

void violation(const char *format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);
void violation(const char *format, ...)
{
    if (++violations > MaxReportedViolations)
        return;
    std::fputs("VIOLATION: ", stdout);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

double mebibytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

// The module's ad data record, as the banner would be fed from it.
namespace {

bool isAnimated(const QByteArray &image)
{
    return image.startsWith("GIF8");
}

QByteArray fetch(const QString &url)
{
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(url))));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(CycleTimeLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return reply->isFinished() ? reply->readAll() : QByteArray();
}

// Returns false when the cycle failed or ran out of time.
bool runAdCycle(InnerActiveAdModule &module)
{
    enum { Ready, Failed };
    QEventLoop loop;
    QObject::connect(&module, &InnerActiveAdModule::adDataReady, &loop, [&loop] { loop.exit(Ready); });
    QObject::connect(&module, &InnerActiveAdModule::adDataCorrupted, &loop, [&loop] { loop.exit(Failed); });
    QObject::connect(&module, &InnerActiveAdModule::networkError, &loop, [&loop] { loop.exit(Failed); });
    QTimer::singleShot(CycleTimeLimitMs, &loop, [&loop] { loop.exit(Failed); });
    if (module.requestAd() != InnerActiveAdModule::Success)
        return false;
    return loop.exec() == Ready;
}

void soakAds(int cycles)
{
    AdServerProcess server;
    if (server.url().isEmpty()) {
        violation("the development ad server did not start");
        return;
    }
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());

    QElapsedTimer clock;
    clock.start();
    InnerActiveAdModule module(nullptr, QStringLiteral("Quillo_Tumblox_Soak"), 0);
    const std::unique_ptr<InnerActiveAdWidget> banner(module.createAdWidget(nullptr, true));
    banner->resize(320, 60);
    banner->show();

    // The animated house ad, fetched once, so that even the cycles before the
    // rotation first serves it run an animation.
    QByteArray lastAnimated = fetch(server.url() + QStringLiteral("/ads/ad3.gif"));
    if (!isAnimated(lastAnimated))
        violation("the ad server has no animated ad");
    int failed = 0;
    int animatedShown = 0;
    qint64 afterFirstHalf = -1;
    const int half = cycles / 2;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (!runAdCycle(module)) {
            if (++failed <= 3)
                violation("ad cycle %d failed or took over %d ms", cycle, CycleTimeLimitMs);
        } else {
            if (module.updateAdWidget(banner.get()) != InnerActiveAdModule::Success)
                violation("ad cycle %d: the banner was not updated", cycle);
            const QByteArray image = InnerActiveAdModuleTestAccess::adImageBytes(module);
            if (isAnimated(image))
                lastAnimated = image;
            // The rotation serves a still two times in three; every cycle
            // also runs an animation through the banner.
            else if (!lastAnimated.isEmpty())
                banner->setContent(lastAnimated, InnerActiveAdModuleTestAccess::adLinkText(module), QString());
            if (!lastAnimated.isEmpty())
                ++animatedShown;
        }
        // Lets the movie step and the replies' deferred deletes run.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (cycle == half)
            afterFirstHalf = residentBytes();
    }
    const qint64 afterLastHalf = residentBytes();
    const double seconds = double(clock.elapsed()) / 1000.0;

    std::printf("ad cycles: %d (%d failed, %d with an animated banner) in %.1f s, %.2f ms per cycle\n",
                cycles, failed, animatedShown, seconds, cycles > 0 ? seconds * 1000.0 / cycles : 0.0);
    if (failed > 3)
        violation("%d ad cycles failed", failed);
    if (cycles >= 2) {
        const qint64 growth = afterLastHalf - afterFirstHalf;
        std::printf("resident memory: %.2f MiB after %d cycles, %.2f MiB after %d, growth %+.2f MiB (limit 2)\n",
                    mebibytes(afterFirstHalf), half, mebibytes(afterLastHalf), cycles,
                    mebibytes(growth));
        if (!MemoryBoundHolds)
            std::printf("resident memory: not bounded under AddressSanitizer\n");
        else if (afterFirstHalf < 0 || afterLastHalf < 0)
            violation("resident memory could not be read");
        else if (growth > MaxGrowthBytes)
            violation("resident memory grew by %.2f MiB over the second half of the ad cycles",
                      mebibytes(growth));
    }
    std::fflush(stdout);
}

// Plays one board at random through its public slots and checks the rules
// after every landing and every cascade. Time never passes on its own: the
// fall timer's and the clock's ticks are delivered by the player.
class RandomPlayer
{
public:
    RandomPlayer(BlockDropBoard &board, quint32 seed)
        : board(board)
        , access{ board }
        , random(seed)
    {
        access.highScoreDirectory() = highScores.path();
        QObject::connect(&board, &BlockDropBoard::modeChanged, [this](const QString &) { gameStarted(); });
        QObject::connect(&board, &BlockDropBoard::linesRemovedChanged, [this](int total) { cascadeEnded(total); });
    }

    void landOne();

    int pieces = 0;
    int cascades = 0;
    int games[3] = {};
    qint64 blocksRemoved = 0;
    int highestLevel = 0;

private:
    enum Mode { Score, Lines, Timer };

    void startRandomGame();
    void makePieceReady();
    void tickClock();
    bool landed();
    void randomMove();
    void gameStarted();
    void cascadeEnded(int total);
    void checkGrid(const char *when);
    int blockCount();
    int lowestColumn();
    int columnHeight(int x);
    int matchingColumn(int fallback);

    BlockDropBoard &board;
    BlockDropBoardTestAccess access;
    QRandomGenerator random;
    QTemporaryDir highScores;

    Mode mode = Score;
    int linesSeen = 0;
    qint64 expectedScore = 0;
    int clockTicks = 0;
    // Settled blocks plus the falling piece's three, taken before a move
    // that may land it.
    int blocksBeforeLanding = 0;
    int droppedBefore = 0;
};

void RandomPlayer::startRandomGame()
{
    mode = Mode(random.bounded(3));
    ++games[mode];
    switch (mode) {
    case Score:
        board.start();
        break;
    case Lines:
        board.startLineMode();
        break;
    case Timer:
        board.startTimerMode();
        break;
    }
}

void RandomPlayer::gameStarted()
{
    linesSeen = 0;
    expectedScore = 0;
    clockTicks = 0;
}

void RandomPlayer::tickClock()
{
    if (!access.secondsTimer()->isActive())
        violation("timer mode is running without its clock");
    ++clockTicks;
    board.timerDone();
    if (access.score() != clockTicks)
        violation("timer mode: score %d after %d seconds", access.score(), clockTicks);
}

void RandomPlayer::makePieceReady()
{
    for (int step = 0; step < 8; ++step) {
        if (!access.isStarted() || access.isGameOver())
            startRandomGame();
        else if (access.isPaused())
            board.pause();
        else if (!access.curPiece().isReal())
            access.fallTick();
        else
            return;
    }
    qFatal("No piece to move after eight steps");
}

bool RandomPlayer::landed()
{
    return access.numPiecesDropped() != droppedBefore || !access.isStarted() || access.isGameOver();
}

int RandomPlayer::lowestColumn()
{
    int best = 0;
    int bestHeight = BlockDropGrid::BoardHeight + 1;
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        const int height = columnHeight(x);
        if (height < bestHeight) {
            best = x;
            bestHeight = height;
        }
    }
    return best;
}

int RandomPlayer::columnHeight(int x)
{
    int height = BlockDropGrid::BoardHeight;
    while (height > 0 && access.grid().cellAt(x, height - 1) == 0)
        --height;
    return height;
}

// The lowest column whose top block has the colour of the piece's bottom
// block, or the fallback when none has.
int RandomPlayer::matchingColumn(int fallback)
{
    const int bottom = access.curPiece().color(2);
    int best = fallback;
    int bestHeight = BlockDropGrid::BoardHeight + 1;
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        const int height = columnHeight(x);
        if (height > 0 && height < bestHeight && access.grid().cellAt(x, height - 1) == bottom) {
            best = x;
            bestHeight = height;
        }
    }
    return best;
}

int RandomPlayer::blockCount()
{
    int count = 0;
    for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            count += access.grid().cellAt(x, y) != 0;
    }
    return count;
}

void RandomPlayer::randomMove()
{
    switch (random.bounded(10)) {
    case 0:
    case 1:
    case 2:
        board.left();
        break;
    case 3:
    case 4:
    case 5:
        board.right();
        break;
    case 6:
    case 7:
        board.rotate();
        break;
    case 8:
        board.hold();
        break;
    case 9: {
        // A pause changes nothing on the playfield and moves nothing.
        const BlockDropGrid before = access.grid();
        const int x = access.curX();
        const int y = access.curY();
        board.pause();
        board.left();
        board.rotate();
        board.drop();
        if (access.grid() != before || access.curX() != x || access.curY() != y)
            violation("a paused game moved its piece or grid");
        board.pause();
        break;
    }
    }
}

void RandomPlayer::landOne()
{
    makePieceReady();
    droppedBefore = access.numPiecesDropped();
    blocksBeforeLanding = blockCount() + 3;

    for (int moves = int(random.bounded(6)); moves > 0; --moves)
        randomMove();
    // Most pieces go where they match or to the lowest column, so games last
    // into the higher levels; the rest anywhere.
    int target = int(random.bounded(BlockDropGrid::BoardWidth));
    const int choice = int(random.bounded(6));
    if (choice >= 3)
        target = matchingColumn(lowestColumn());
    else if (choice >= 1)
        target = lowestColumn();
    for (int step = 0; step < BlockDropGrid::BoardWidth && access.curX() > target; ++step)
        board.left();
    for (int step = 0; step < BlockDropGrid::BoardWidth && access.curX() < target; ++step)
        board.right();
    // One piece in four falls tick by tick or by Down, the rest is dropped.
    if (random.bounded(4) == 0) {
        for (int step = 0; step < 64 && !landed(); ++step) {
            if (random.bounded(2))
                board.down();
            else
                access.fallTick();
            if (!landed() && !access.curPiece().isReal())
                break;
        }
    }
    if (!landed() && access.curPiece().isReal() && !access.isPaused())
        board.drop();
    if (!landed())
        violation("a piece did not land (paused %d, real %d)", access.isPaused(), access.curPiece().isReal());

    ++pieces;
    highestLevel = std::max(highestLevel, access.level());
    if (mode == Timer && access.isStarted() && !access.isPaused() && random.bounded(3) == 0)
        tickClock();
    checkGrid("after a landing");
}

void RandomPlayer::cascadeEnded(int total)
{
    ++cascades;
    const int marks = total - linesSeen;
    linesSeen = total;
    const int removed = blocksBeforeLanding - blockCount();
    blocksRemoved += removed;
    // A block in a row run and a column run at once counts twice.
    if (removed < 3 || marks < removed || marks > 2 * removed)
        violation("cascade counted %d marks for %d removed blocks", marks, removed);
    checkGrid("after a cascade");

    expectedScore += qint64(marks) * PointsPerBlock * access.level();
    if (mode != Timer && access.score() != expectedScore)
        violation("score %d after a cascade, expected %lld (level %d)", access.score(), expectedScore,
                  access.level());
}

void RandomPlayer::checkGrid(const char *when)
{
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        bool gapBelow = false;
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
            const int color = access.grid().cellAt(x, y);
            if (color < 0 || color > 7)
                violation("%s: cell (%d, %d) holds %d", when, x, y, color);
            if (color == 0) {
                gapBelow = true;
            } else if (gapBelow) {
                violation("%s: block at (%d, %d) floats", when, x, y);
                break;
            }
        }
    }
}

void soakPlay(int pieces, quint32 seed)
{
    QElapsedTimer clock;
    clock.start();
    BlockDropBoard board;
    // No ad client: the play runs without an event loop and without ads.
    BlockDropBoardTestAccess{ board }.skipAds();
    RandomPlayer player(board, seed);
    while (player.pieces < pieces && violations <= MaxReportedViolations)
        player.landOne();
    const double seconds = double(clock.elapsed()) / 1000.0;
    std::printf("play: %d pieces in %.1f s (%.0f per second), seed %u\n", player.pieces, seconds,
                seconds > 0 ? player.pieces / seconds : 0.0, seed);
    std::printf("play: %d score, %d line and %d timer games; %d cascades removed %lld blocks; highest level %d\n",
                player.games[0], player.games[1], player.games[2], player.cascades, player.blocksRemoved,
                player.highestLevel);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    // Client ids go to a settings folder of our own, not the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak runs of the ad client and the game rules."));
    parser.addHelpOption();
    const QCommandLineOption cycles(QStringLiteral("ad-cycles"), QStringLiteral("Ad cycles to run."),
                                    QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption pieces(QStringLiteral("pieces"), QStringLiteral("Pieces to autoplay."),
                                    QStringLiteral("N"), QStringLiteral("200000"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the random play."),
                                  QStringLiteral("S"));
    parser.addOptions({ cycles, pieces, seed });
    parser.process(app);

    const quint32 playSeed = parser.isSet(seed) ? parser.value(seed).toUInt() : QRandomGenerator::global()->generate();
    soakAds(parser.value(cycles).toInt());
    soakPlay(parser.value(pieces).toInt(), playSeed);

    if (violations > 0) {
        std::printf("soak: %d violations\n", violations);
        return 1;
    }
    std::printf("soak: no violations\n");
    return 0;
}
