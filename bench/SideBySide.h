#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace bench {

// Runs our version and the standard library's version of the same work alternately, in batches timed the same
// way, and reports the time of one run of each (ours_ns, std_ns) and their ratio (ours / std: 1.5 means ours takes
// half as long again). Both run under the same load at the same moment, so the ratio holds on a busy machine where
// absolute times do not.
template <class Ours, class Standard>
void RunSideBySide(benchmark::State& state, Ours ours, Standard standard)
{
    using Clock = std::chrono::steady_clock;
    const auto timeBatch = [](auto& work, std::int64_t runs) {
        const Clock::time_point start = Clock::now();
        for (std::int64_t i = 0; i < runs; ++i) {
            work();
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    // A batch long enough that reading the clock is lost in it.
    constexpr double kBatchSeconds = 50e-6;
    ours();
    std::int64_t batch = 1;
    while (timeBatch(standard, batch) < kBatchSeconds) {
        batch *= 2;
    }

    double oursSeconds = 0;
    double standardSeconds = 0;
    for (auto _ : state) {
        oursSeconds += timeBatch(ours, batch);
        standardSeconds += timeBatch(standard, batch);
    }
    const double runs = static_cast<double>(state.iterations()) * static_cast<double>(batch);
    state.counters["ours_ns"] = oursSeconds / runs * 1e9;
    state.counters["std_ns"] = standardSeconds / runs * 1e9;
    state.counters["ratio"] = oursSeconds / standardSeconds;
}

// The same for work that takes a while in each round: times our way and a baseline way in turns, one round each,
// the order alternating from round to round. Reports the time per item of each and their
// ratio (ours / baseline). The benchmark's own time is ours: register it with UseManualTime().
template <class Ours, class Baseline>
void RunRoundsSideBySide(benchmark::State& state, double itemsPerRound, Ours&& ours, Baseline&& baseline)
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

}  // namespace bench
