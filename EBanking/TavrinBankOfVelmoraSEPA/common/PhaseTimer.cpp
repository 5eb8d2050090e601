#include "common/PhaseTimer.h"

#include <cstdio>

namespace {

std::string EnvironmentValue(const char* name)
{
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
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

CPhaseTimer::~CPhaseTimer()
{
    Lap(m_finalStep);
}

void CPhaseTimer::Lap(const char* step)
{
    if (m_file.empty()) return;
    const LARGE_INTEGER now = Now();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    if (FILE* file = std::fopen(m_file.c_str(), "a")) {
        std::fprintf(file, "%s %.6f\n", step,
                     static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart));
        std::fclose(file);
    }
    m_start = Now();
}

void CPhaseTimer::Restart()
{
    if (!m_file.empty()) m_start = Now();
}

std::string IntermediateDocumentPath()
{
    return EnvironmentValue("SEPA_SAVE_INTERMEDIATE");
}
