// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropgrid.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int Colours = 7;

// A fixed xorshift, so every machine builds the same grids.
class Random
{
public:
    int below(int n)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return int(state % std::uint64_t(n));
    }

private:
    std::uint64_t state = 0x9e3779b97f4a7c15ULL;
};

int passesOf(BlockDropGrid grid)
{
    int passes = 0;
    while (grid.clearPass() > 0)
        ++passes;
    return passes;
}

// Each column, bottom to top: levels k-1 .. 1 once each, three of level 0,
// then two each of levels 1 .. k-1. Every pass removes the innermost triple
// and closes the next level into one. Neighbouring columns are one colour
// apart at every height and stay in step, so no run forms across.
BlockDropGrid nestedColumns()
{
    const int levels = BlockDropGrid::BoardHeight / 3;
    std::vector<int> column;
    for (int level = levels - 1; level > 0; --level)
        column.push_back(level);
    column.insert(column.end(), 3, 0);
    for (int level = 1; level < levels; ++level)
        column.insert(column.end(), 2, level);
    // The rows left over hold colours beyond every level.
    for (int extra = levels; int(column.size()) < BlockDropGrid::BoardHeight; ++extra)
        column.push_back(extra);

    BlockDropGrid grid;
    for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y)
            grid.setCell(x, y, (column[y] * 2 + x) % Colours + 1);
    }
    return grid;
}

// Lengthens the chain by recolouring single cells, keeping every change that
// does not shorten it.
BlockDropGrid longestChain()
{
    BlockDropGrid best = nestedColumns();
    int bestPasses = passesOf(best);
    Random random;
    for (int attempt = 0; attempt < 20000; ++attempt) {
        BlockDropGrid candidate = best;
        candidate.setCell(random.below(BlockDropGrid::BoardWidth), random.below(BlockDropGrid::BoardHeight),
                          random.below(Colours) + 1);
        const int passes = passesOf(candidate);
        if (passes >= bestPasses) {
            best = candidate;
            bestPasses = passes;
        }
    }
    return best;
}

std::vector<BlockDropGrid> randomFullGrids(int count)
{
    Random random;
    std::vector<BlockDropGrid> grids(count);
    for (BlockDropGrid &grid : grids) {
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
            for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
                grid.setCell(x, y, random.below(Colours) + 1);
        }
    }
    return grids;
}

// Runs whole cascades, each on a fresh copy of the next grid in turn.
void runCascades(benchmark::State &state, const std::vector<BlockDropGrid> &grids)
{
    std::size_t next = 0;
    std::int64_t passes = 0;
    for (auto _ : state) {
        BlockDropGrid grid = grids[next];
        next = (next + 1) % grids.size();
        while (grid.clearPass() > 0)
            ++passes;
        benchmark::DoNotOptimize(grid);
    }
    state.counters["passes"] = double(passes) / double(state.iterations());
    state.counters["pass_rate"] = benchmark::Counter(double(passes), benchmark::Counter::kIsRate);
}

// The search takes seconds; it runs once, not on every run of the benchmark.
void cascadeWorst(benchmark::State &state)
{
    static const std::vector<BlockDropGrid> worst = { longestChain() };
    runCascades(state, worst);
}

void cascadeRandom(benchmark::State &state)
{
    static const std::vector<BlockDropGrid> random = randomFullGrids(64);
    runCascades(state, random);
}

} // namespace

BENCHMARK(cascadeWorst)->Name("cascade/worst")->Unit(benchmark::kMicrosecond);
BENCHMARK(cascadeRandom)->Name("cascade/random")->Unit(benchmark::kMicrosecond);
