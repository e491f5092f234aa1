// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedgamefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

// A game half way up the grid, with a held piece: a save as large as play makes them.
SavedGame gameInProgress()
{
    SavedGame game;
    game.mode = QStringLiteral("score");
    for (int y = 0; y < BlockDropGrid::BoardHeight / 2; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            game.grid.setCell(x, y, (x + 2 * y) % 7 + 1);
    }
    game.curPiece = BlockDropPiece::withColors(1, 2, 3, 5);
    game.curX = 4;
    game.curY = 20;
    game.nextPiece = BlockDropPiece::withColors(4, 5, 6, 2);
    game.holdPiece = BlockDropPiece::withColors(7, 7, 1, 3);
    game.score = 123450;
    game.numPiecesDropped = 300;
    game.level = 1 + 300 / 35;
    game.numLinesRemoved = 2400;
    game.randomState = 3405691582u;
    return game;
}

// Each save is timed on its own, for the median and the 99th percentile.
void reportPercentiles(benchmark::State &state, std::vector<double> &micros)
{
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros.at(micros.size() / 2);
    state.counters["p99_us"] = micros.at(micros.size() * 99 / 100);
}

// One save after a resting bar, timed on its own. With waitForDisk, until the
// file is on the disk: the JSON document written whole through QSaveFile,
// which syncs it before renaming it over the last one, in a folder beside the
// benchmark, on the disk where the game saves. Without, what the game's own
// thread pays: the document made and handed to the writer thread.
void saveAfterBar(benchmark::State &state, bool waitForDisk)
{
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/savebench-XXXXXX"));
    SavedGameFile file(dir.path());
    const SavedGame game = gameInProgress();
    std::vector<double> micros;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        file.save(game);
        if (waitForDisk)
            file.flush();
        micros.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    reportPercentiles(state, micros);
}

} // namespace

BENCHMARK_CAPTURE(saveAfterBar, disk, true)->Name("save/disk")->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(1000);
BENCHMARK_CAPTURE(saveAfterBar, game, false)->Name("save/game")->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(1000);
