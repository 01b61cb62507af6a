#pragma once
// A measurement next to its baseline in the same process. Every round runs both, in turns
// (which one goes first alternates), so both meet the same machine; the counters are the
// median of the rounds' ratios, which a busy machine moves far less than either time.
//   ratio    measured time / baseline time (below 1: faster than the baseline)
//   speedup  baseline time / measured time (1 / ratio)
//   ms, baseline_ms  the median round of each side
// Work that only burns the processor is timed on this thread's processor clock, so other
// programs on the machine do not count; work that waits for a disk is timed on the wall clock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace qen::bench {

enum class Clock { Wall, ThreadCpu };

inline double SecondsNow(Clock clock) {
    timespec now{};
    clock_gettime(clock == Clock::Wall ? CLOCK_MONOTONIC : CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One side of a round: `prepare` runs untimed before `run`; `run` gives false on failure.
struct Side {
    std::function<bool()> run;
    std::function<void()> prepare = [] {};
};

class SideBySide {
public:
    SideBySide(benchmark::State& state, Clock clock) : state_(state), clock_(clock) {}

    // Times one round of each side and reports the measured side's time as the
    // iteration's (register the benchmark with UseManualTime). False when a side failed.
    bool Round(const Side& measured, const Side& baseline) {
        double measuredSeconds = 0, baselineSeconds = 0;
        const bool baselineFirst = rounds_++ % 2 == 1;
        if (baselineFirst && !Time(baseline, baselineSeconds)) return false;
        if (!Time(measured, measuredSeconds)) return false;
        if (!baselineFirst && !Time(baseline, baselineSeconds)) return false;
        measured_.push_back(measuredSeconds);
        baseline_.push_back(baselineSeconds);
        if (baselineSeconds > 0 && measuredSeconds > 0) ratios_.push_back(measuredSeconds / baselineSeconds);
        state_.SetIterationTime(std::max(measuredSeconds, 1e-9));
        return true;
    }

    void Report() const {
        const double ratio = Median(ratios_);
        state_.counters["ratio"] = ratio;
        state_.counters["speedup"] = ratio > 0 ? 1 / ratio : 0;
        state_.counters["ms"] = 1000 * Median(measured_);
        state_.counters["baseline_ms"] = 1000 * Median(baseline_);
    }

private:
    bool Time(const Side& side, double& seconds) const {
        side.prepare();
        const double start = SecondsNow(clock_);
        const bool ok = side.run();
        seconds = SecondsNow(clock_) - start;
        return ok;
    }

    benchmark::State& state_;
    Clock clock_;
    int rounds_ = 0;
    std::vector<double> measured_, baseline_, ratios_;
};

}  // namespace qen::bench
