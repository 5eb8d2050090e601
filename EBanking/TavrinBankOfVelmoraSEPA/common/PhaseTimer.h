#pragma once
// Timings of a payment run's steps, for measuring the component at scale. They exist only in a
// benchmark build (SEPA_BENCHMARK_INSTRUMENTATION): there, when the environment variable
// SEPA_PHASE_TIMINGS names a file, every finished step appends a line to it: the step, its
// seconds, and the process's working set after it and at its peak so far, in MiB. In any other
// build the timer is empty, reads no environment and writes nothing. Either way the run does the
// same work.
#include <windows.h>

#include <string>

#if SEPA_BENCHMARK_INSTRUMENTATION

class CPhaseTimer {
public:
    // Starts measuring. Whatever time is left when the timer goes out of scope (since the last
    // lap, or since the start) is recorded under finalStep.
    explicit CPhaseTimer(const char* finalStep);
    ~CPhaseTimer();
    CPhaseTimer(const CPhaseTimer&) = delete;
    CPhaseTimer& operator=(const CPhaseTimer&) = delete;

    // Records the time since the start or the last lap under step, and measures the next step
    // from now.
    void Lap(const char* step);
    // Measures the next step from now, leaving out the time since the last lap.
    void Restart();

private:
    std::string m_file;
    const char* m_finalStep;
    LARGE_INTEGER m_start = {};
};

// Where the credit transfer document of a run is to be saved as well, for measuring the XML
// engine on the same document: the file named by SEPA_SAVE_INTERMEDIATE, or empty.
std::string IntermediateDocumentPath();

#else

class CPhaseTimer {
public:
    explicit CPhaseTimer(const char*) {}
    CPhaseTimer(const CPhaseTimer&) = delete;
    CPhaseTimer& operator=(const CPhaseTimer&) = delete;
    void Lap(const char*) {}
    void Restart() {}
};

inline std::string IntermediateDocumentPath() { return std::string(); }

#endif
