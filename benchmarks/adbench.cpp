// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveadmodule.h"

#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int ExchangeFailed = 1;

// A fresh client per cycle, so each one fetches the logo, the ad answer and
// the ad's image from the loopback server until adDataReady.
void adsCycle(benchmark::State &state)
{
    for (auto _ : state) {
        InnerActiveAdModule module(nullptr, QStringLiteral("Quillo_Tumblox_Bench"), 0);
        QEventLoop loop;
        QObject::connect(&module, &InnerActiveAdModule::adDataReady, &loop, &QEventLoop::quit);
        QObject::connect(&module, &InnerActiveAdModule::adDataCorrupted, &loop,
                         [&loop] { loop.exit(ExchangeFailed); });
        QObject::connect(&module, &InnerActiveAdModule::networkError, &loop,
                         [&loop] { loop.exit(ExchangeFailed); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(ExchangeFailed); });
        module.requestAd();
        if (loop.exec() == ExchangeFailed) {
            state.SkipWithError("the ad cycle failed or timed out");
            break;
        }
    }
}

} // namespace

BENCHMARK(adsCycle)->Name("ads/cycle")->Unit(benchmark::kMillisecond)->UseRealTime();
