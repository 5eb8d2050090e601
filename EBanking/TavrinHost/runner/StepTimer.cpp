#include "StepTimer.h"

#include <psapi.h>

#include <cstdio>

namespace tavrin_host {
namespace {

std::string TimingsFile()
{
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("SEPA_PHASE_TIMINGS", value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

} // namespace

StepTimer::StepTimer() : m_file(TimingsFile())
{
    if (!m_file.empty()) m_start = Now();
}

void StepTimer::Lap(const char* step)
{
    if (m_file.empty()) return;
    const LARGE_INTEGER now = Now();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) counters = {};
    if (FILE* file = std::fopen(m_file.c_str(), "a")) {
        std::fprintf(file,
                     "%s %.6f %.1f %.1f\n",
                     step,
                     static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart),
                     MiB(counters.WorkingSetSize),
                     MiB(counters.PeakWorkingSetSize));
        std::fclose(file);
    }
    m_start = Now();
}

void StepTimer::Restart()
{
    if (!m_file.empty()) m_start = Now();
}

} // namespace tavrin_host
