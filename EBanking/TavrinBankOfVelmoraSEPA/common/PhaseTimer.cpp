#include "common/PhaseTimer.h"

#include <psapi.h>

#include <cstdio>

namespace {

std::string EnvironmentValue(const char* name)
{
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// The process's working set now and at its peak so far, in MiB.
void MemoryInMiB(double& current, double& peak)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    current = peak = 0.0;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return;
    current = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    peak = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

} // namespace

CPhaseTimer::CPhaseTimer(const char* finalStep) : m_file(EnvironmentValue("SEPA_PHASE_TIMINGS")), m_finalStep(finalStep)
{
    if (!m_file.empty()) m_start = Now();
}

CPhaseTimer::~CPhaseTimer() { Lap(m_finalStep); }

void CPhaseTimer::Lap(const char* step)
{
    if (m_file.empty()) return;
    const LARGE_INTEGER now = Now();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double memory = 0.0, peakMemory = 0.0;
    MemoryInMiB(memory, peakMemory);
    if (FILE* file = std::fopen(m_file.c_str(), "a")) {
        std::fprintf(file,
                     "%s %.6f %.1f %.1f\n",
                     step,
                     static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart),
                     memory,
                     peakMemory);
        std::fclose(file);
    }
    m_start = Now();
}

void CPhaseTimer::Restart()
{
    if (!m_file.empty()) m_start = Now();
}

std::string IntermediateDocumentPath() { return EnvironmentValue("SEPA_SAVE_INTERMEDIATE"); }
