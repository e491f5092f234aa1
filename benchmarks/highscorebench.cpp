// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highscoretable.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A game over as the board runs it: the result merged into a full top-10 file
// and saved, then the game-over text built from the merged list.
void highscoresGameOver(benchmark::State &state)
{
    const QString mode = QStringLiteral("score");
    QTemporaryDir dir;
    const HighScoreTable table(dir.path());
    for (int entry = 1; entry <= HighScoreTable::MaxEntries; ++entry)
        table.record(mode, entry * 1000);

    int game = 0;
    for (auto _ : state) {
        // Results from 500 to 2400 land anywhere in the list.
        const int result = 500 + (game++ % 20) * 100;
        const QStringList merged = table.record(mode, result);
        benchmark::DoNotOptimize(HighScoreTable::gameOverText(mode, result, merged));
    }
}

} // namespace

BENCHMARK(highscoresGameOver)->Name("highscores/gameover")->Unit(benchmark::kMicrosecond);
