// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "autoplayer.h"
#include "playfieldscene.h"

#include <benchmark/benchmark.h>

namespace {

// Pieces landed per second on the handheld's screen size, every cascade pass
// repainted as the game does. Wall time: a game over saves its high scores
// with a synchronous write, which costs no CPU but is part of the pace.
void enginePieces(benchmark::State &state)
{
    PlayfieldScene scene(QSize(800, 480));
    Autoplayer player(scene.board());
    for (auto _ : state)
        player.landOne();
    state.counters["pieces"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["games"] = player.gamesStarted();
}

} // namespace

BENCHMARK(enginePieces)->Name("engine/pieces")->Unit(benchmark::kMicrosecond)->UseRealTime();
