// Holds the Wine desktop of a prefix open for as long as the prefix's Wine server lives.
// Wine's desktop process closes a second after the last program on the desktop has ended, and
// the next program starts it again: that costs the program a second, and the desktop process,
// started by a program under a test, would keep the test's output open while it lives. Started
// detached by the Wine session set-up (scripts/wine-env.sh); the file named on the command line
// is created once the desktop is up. Ends when the server is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (!GetDesktopWindow()) return 1;
    if (commandLine && *commandLine) {
        HANDLE ready =
            CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
}
