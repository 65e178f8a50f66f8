#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace ZV::Bench {

// Times our way and a baseline way of doing the same work in turns, within one benchmark, so that both meet the
// machine in the same state; the order alternates from round to round. Reports the time per item of each and their
// ratio (ours / baseline). The benchmark's own time is ours: register it with UseManualTime().
template <class Ours, class Baseline>
void RunSideBySide(benchmark::State& state, double itemsPerRound, Ours&& ours, Baseline&& baseline)
{
    using Clock = std::chrono::steady_clock;
    const auto secondsOf = [](auto& work) {
        const Clock::time_point start = Clock::now();
        work();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double oursSeconds = 0.0;
    double baselineSeconds = 0.0;
    bool oursFirst = true;
    for (auto _ : state) {
        double oursRound = 0.0;
        if (oursFirst) {
            oursRound = secondsOf(ours);
            baselineSeconds += secondsOf(baseline);
        } else {
            baselineSeconds += secondsOf(baseline);
            oursRound = secondsOf(ours);
        }
        oursFirst = !oursFirst;
        oursSeconds += oursRound;
        state.SetIterationTime(oursRound);
    }
    const double items = static_cast<double>(state.iterations()) * itemsPerRound;
    state.counters["ours_ns"] = oursSeconds * 1e9 / items;
    state.counters["base_ns"] = baselineSeconds * 1e9 / items;
    state.counters["ratio"] = baselineSeconds > 0.0 ? oursSeconds / baselineSeconds : 0.0;
}

}  // namespace ZV::Bench
