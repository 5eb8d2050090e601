#pragma once
// Timings of the runner's own steps, for measuring the host stand-in beside the component. They
// exist only in a benchmark build (SEPA_BENCHMARK_INSTRUMENTATION): there, when the environment
// variable SEPA_PHASE_TIMINGS names a file, every finished step appends a line to it in the
// component's format: the step, its seconds, and the process's working set after it and at its
// peak so far, in MiB. In any other build the timer is empty, reads no environment and writes
// nothing.
#include <windows.h>

#include <string>

namespace tavrin_host {

#if SEPA_BENCHMARK_INSTRUMENTATION

class StepTimer {
public:
    StepTimer();
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

    // Records the time since the start or the last lap under step, and measures the next step
    // from now.
    void Lap(const char* step);
    // Measures the next step from now, leaving out the time since the last lap.
    void Restart();

private:
    std::string m_file;
    LARGE_INTEGER m_start = {};
};

#else

class StepTimer {
public:
    StepTimer() = default;
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;
    void Lap(const char*) {}
    void Restart() {}
};

#endif

} // namespace tavrin_host
