// SPDX-License-Identifier: GPL-3.0-or-later
// Process figures of the game: start-up to the first painted frame, and peak
// resident memory after autoplayed pieces.
//
//   tumblox-process spawn [runs]      start the game's window in fresh processes
//   tumblox-process autoplay [pieces] play the game and report its memory
//
// Both start the development ad server on loopback first.

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
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

QElapsedTimer sinceMain;

void report(const char *checkpoint)
{
    std::printf("%s %.2f\n", checkpoint, double(sinceMain.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

// Reports the board's first frame and its first frame after the first ad,
// each once it has reached the screen: a zero timer runs on the loop's next
// pass, after the backing store is flushed. Quits after the second.
class FrameProbe : public QObject
{
public:
    explicit FrameProbe(BlockDropBoard &board)
    {
        board.installEventFilter(this);
        connect(&board, &BlockDropBoard::ready, this, [this] {
            adArrived = true;
            report("ready");
        });
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const bool showsAd = adArrived;
            QTimer::singleShot(0, this, [this, showsAd] { framePainted(showsAd); });
        }
        return false;
    }

private:
    void framePainted(bool showsAd)
    {
        if (!firstFrameSeen) {
            firstFrameSeen = true;
            report("first-frame");
        }
        if (showsAd && !done) {
            done = true;
            report("ready-frame");
            QCoreApplication::quit();
        }
    }

    bool adArrived = false;
    bool firstFrameSeen = false;
    bool done = false;
};

// The game's own start-up, as main() runs it, with checkpoints: the loading
// screen is the first frame, the credits after the first ad the second.
int startup(QApplication &app)
{
    report("application");
    BlockDropWindow window;
    report("window");
    FrameProbe probe(*window.findChild<BlockDropBoard *>());
    window.show();
    window.showFullScreen();
    report("shown");
    QTimer::singleShot(10000, &app, [&app] { app.exit(1); });
    return app.exec();
}

std::vector<double> checkpointTimes(const QString &output, const QString &checkpoint)
{
    const QRegularExpression line(QStringLiteral("^%1 ([0-9.]+)$").arg(checkpoint),
                                  QRegularExpression::MultilineOption);
    std::vector<double> times;
    for (const QRegularExpressionMatch &match : line.globalMatch(output))
        times.push_back(match.captured(1).toDouble());
    return times;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the start-up in fresh processes. "exec" checkpoints count from the
// spawn, the others from the child's main().
int spawn(int runs)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QString output;
    std::vector<double> toFirstFrame;
    std::vector<double> toReadyFrame;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        QElapsedTimer sinceSpawn;
        sinceSpawn.start();
        child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("startup") });
        QString childOutput;
        double firstFrame = 0;
        while (child.waitForReadyRead(10000)) {
            childOutput += QString::fromUtf8(child.readAllStandardOutput());
            if (firstFrame == 0 && childOutput.contains(QStringLiteral("first-frame")))
                firstFrame = double(sinceSpawn.nsecsElapsed()) / 1e6;
            if (childOutput.contains(QStringLiteral("ready-frame")))
                break;
        }
        toReadyFrame.push_back(double(sinceSpawn.nsecsElapsed()) / 1e6);
        toFirstFrame.push_back(firstFrame);
        child.waitForFinished();
        if (child.exitCode() != 0) {
            std::fprintf(stderr, "tumblox-process: the game did not reach its first ad\n");
            return 1;
        }
        output += childOutput;
    }
    std::printf("median of %d runs, milliseconds\n", runs);
    std::printf("  exec to first frame      %8.1f\n", median(toFirstFrame));
    std::printf("  exec to credits frame    %8.1f\n", median(toReadyFrame));
    for (const char *checkpoint : { "application", "window", "shown", "first-frame", "ready", "ready-frame" })
        std::printf("  main() to %-14s %8.1f\n", checkpoint,
                    median(checkpointTimes(output, QString::fromLatin1(checkpoint))));
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
    Autoplayer player(*board);
    for (int piece = 0; piece < pieces; ++piece) {
        player.landOne();
        app.processEvents();
    }
    std::printf("after %d pieces in %d games\n%s", pieces, player.gamesStarted(), memoryStatus().constData());
    std::printf("resident, largest first\n%s", largestMappings(12).constData());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: tumblox-process spawn [runs] | autoplay [pieces]\n");
    return 2;
}

// Every ad client made from here on, in this process and its children, talks
// to the loopback server.
bool pointClientsAt(const AdServerProcess &server)
{
    if (server.url().isEmpty()) {
        std::fprintf(stderr, "tumblox-process: the development ad server did not start\n");
        return false;
    }
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    sinceMain.start();
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    if (mode == QLatin1String("startup")) {
        QApplication app(argc, argv);
        return startup(app);
    }
    if (mode == QLatin1String("spawn")) {
        QCoreApplication app(argc, argv);
        const AdServerProcess server;
        return pointClientsAt(server) ? spawn(count > 0 ? count : 10) : 1;
    }
    if (mode == QLatin1String("autoplay")) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        // The ad client's stored identity goes to a scratch location.
        QStandardPaths::setTestModeEnabled(true);
        const AdServerProcess server;
        return pointClientsAt(server) ? autoplay(app, count > 0 ? count : 1000) : 1;
    }
    return usage();
}
