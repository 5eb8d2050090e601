// A test program for the test harness itself: its one test announces that it is running by
// creating the file named in SESSION_PROBE_STARTED, then waits (up to a minute) for the file
// named in SESSION_PROBE_RELEASE, so that a harness test can end its Wine session meanwhile.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string Variable(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

TEST(SessionProbe, RunsUntilReleased)
{
    const std::string started = Variable("SESSION_PROBE_STARTED");
    const std::string release = Variable("SESSION_PROBE_RELEASE");
    ASSERT_FALSE(started.empty() || release.empty()) << "SESSION_PROBE_STARTED and _RELEASE name files";

    HANDLE file =
        CreateFileA(started.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << started;
    CloseHandle(file);

    for (int waited = 0; waited < 600 && !Exists(release); ++waited)
        Sleep(100);
    EXPECT_TRUE(Exists(release)) << "released within a minute";
}
