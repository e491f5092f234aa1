// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdroprenderer.h"
#include "playfieldscene.h"
#include "referenceplayfield.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>

namespace {

constexpr QImage::Format PaintFormat = QImage::Format_ARGB32_Premultiplied;

QSize windowSize(const benchmark::State &state)
{
    return QSize(int(state.range(0)), int(state.range(1)));
}

// The device pixel ratio of the paint: 1, or 2 as on a HiDPI screen.
qreal ratio(const benchmark::State &state)
{
    return qreal(state.range(2));
}

QImage paintTarget(QSize size, qreal ratio)
{
    QImage image(size * ratio, PaintFormat);
    image.setDevicePixelRatio(ratio);
    return image;
}

void labelWithBoard(benchmark::State &state, QSize board)
{
    state.SetLabel(QStringLiteral("board %1x%2").arg(board.width()).arg(board.height()).toStdString());
}

// The board's paint as the toolkit runs it: frame, paintEvent, painter on
// an offscreen image of the device's ratio.
QImage renderBoard(BlockDropBoard &board, qreal ratio)
{
    QImage image = paintTarget(board.size(), ratio);
    board.render(&image);
    return image;
}

// One blit of a board-sized picture into a board-sized image through an open
// painter: what any paint of the board costs at the least.
class FloorBlit
{
public:
    explicit FloorBlit(const QImage &picture)
        : source(picture)
        , target(paintTarget(picture.deviceIndependentSize().toSize(), picture.devicePixelRatio()))
        , painter(&target)
    {
    }

    // Not inlined, so callgrind can count it by name.
    Q_NEVER_INLINE void once() { painter.drawImage(0, 0, source); }

private:
    QImage source;
    QImage target;
    QPainter painter;
};

// CPU time of this thread, which other processes on a shared machine leave alone.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double secondsFor(benchmark::IterationCount iterations, const std::function<void()> &work)
{
    const double start = threadSeconds();
    for (benchmark::IterationCount i = 0; i < iterations; ++i)
        work();
    return threadSeconds() - start;
}

void paintPlayfield(benchmark::State &state)
{
    PlayfieldScene scene(windowSize(state));
    BlockDropBoard &board = scene.board();
    // The first paint builds the caches and is left out.
    QImage image = renderBoard(board, ratio(state));
    const double start = threadSeconds();
    for (auto _ : state)
        board.render(&image);
    const double playfield = threadSeconds() - start;

    // The floor right after, for the ratio; both in CPU time.
    FloorBlit floor(image);
    floor.once();
    const double blit = secondsFor(state.iterations(), [&] { floor.once(); });
    state.counters["ratio"] = playfield / blit;
    labelWithBoard(state, board.size());
}

void paintFloor(benchmark::State &state)
{
    PlayfieldScene scene(windowSize(state));
    FloorBlit floor(renderBoard(scene.board(), ratio(state)));
    floor.once();
    for (auto _ : state)
        floor.once();
    labelWithBoard(state, scene.board().size());
}

using PlayfieldPainter = std::function<void(QPainter &, const QRect &, QSize, const BlockDropGrid &,
                                            const BlockDropPiece &, int, int)>;

// The playfield alone, through a fresh painter as each paint opens one; the
// cell size is the board's (contents divided by the grid).
void paintWith(benchmark::State &state, const PlayfieldPainter &paint)
{
    PlayfieldScene scene(windowSize(state));
    BlockDropBoard &board = scene.board();
    BlockDropBoardTestAccess access{ board };
    const QRect contents = board.contentsRect();
    const QSize cell(contents.width() / BlockDropGrid::BoardWidth, contents.height() / BlockDropGrid::BoardHeight);
    QImage image = paintTarget(board.size(), ratio(state));
    const auto paintOnce = [&] {
        QPainter painter(&image);
        paint(painter, contents, cell, access.grid(), access.curPiece(), access.curX(), access.curY());
    };
    paintOnce();
    for (auto _ : state)
        paintOnce();
    labelWithBoard(state, board.size());
}

void paintReference(benchmark::State &state)
{
    paintWith(state, referencePlayfield);
}

void paintRenderer(benchmark::State &state)
{
    BlockDropRenderer renderer;
    paintWith(state, [&renderer](QPainter &painter, const QRect &contents, QSize cell, const BlockDropGrid &grid,
                                 const BlockDropPiece &piece, int x, int y) {
        renderer.drawPlayfield(painter, contents, cell, grid, piece, x, y);
    });
}

// The handheld and a desktop screen, each at ratio 1 and at ratio 2.
void windowSizes(benchmark::internal::Benchmark *b)
{
    b->ArgNames({ "w", "h", "dpr" })->Unit(benchmark::kMicrosecond);
    for (const int dpr : { 1, 2 })
        b->Args({ 800, 480, dpr })->Args({ 1920, 1080, dpr });
}

} // namespace

BENCHMARK(paintPlayfield)->Name("paint/playfield")->Apply(windowSizes);
BENCHMARK(paintFloor)->Name("paint/floor")->Apply(windowSizes);
BENCHMARK(paintRenderer)->Name("paint/renderer")->Apply(windowSizes);
BENCHMARK(paintReference)->Name("paint/reference")->Apply(windowSizes);
